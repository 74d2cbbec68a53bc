#pragma once

// Argument lists: named, typed arguments for kernel calls that take many options (style value
// access, layout saving). Keys are unique within a list; appending a key twice fails.

struct ArgList_s;
using ArgList_pa = ArgList_s*;
struct StringList_s;

ArgList_s* QelUtilArgListAlloc();
void QelUtilArgListDealloc(ArgList_s** args);
long QelUtilArgListGetCount(const ArgList_s* args);
void QelUtilArgListClear(ArgList_s* args);
bool QelUtilArgListHasKey(const ArgList_s* args, const char* key);

bool QelUtilArgListAppendString(ArgList_s* args, const char* key, const char* value);
bool QelUtilArgListAppendInt(ArgList_s* args, const char* key, long value);
// An arbitrary parameter: an integer wide enough for any value the kernel passes around.
bool QelUtilArgListAppendArbParam(ArgList_s* args, const char* key, long value);
// Receiving arguments: the kernel writes the result of a call through the pointer, which must
// stay valid until the call returns. A received string is kernel-allocated; free it with
// QelUtilStringDealloc.
bool QelUtilArgListAppendArbParamPtr(ArgList_s* args, const char* key, long* value);
bool QelUtilArgListAppendDoublePtr(ArgList_s* args, const char* key, double* value);
bool QelUtilArgListAppendStringPtr(ArgList_s* args, const char* key, char** value);
bool QelUtilArgListAppendDouble(ArgList_s* args, const char* key, double value);
// The list is copied: the caller keeps ownership of its own.
bool QelUtilArgListAppendStringList(ArgList_s* args, const char* key, const StringList_s* value);
// Copies the identifiers up to, not including, the terminating -1.
bool QelUtilArgListAppendIdentifierPath(ArgList_s* args, const char* key, const long* path);
