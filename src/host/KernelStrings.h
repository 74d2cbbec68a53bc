#pragma once

// Kernel strings and string lists (positions count from 1). Strings returned as `char*` are
// allocated by the kernel and freed with QelUtilStringDealloc. An entry may be null: appending,
// inserting or setting a null string makes one, and reading it gives null. Joining a list with LF
// writes a null entry as an empty line.

struct StringList_s;

void QelUtilStringDealloc(char** string);

StringList_s* QelUtilStringListAlloc();
void QelUtilStringListDealloc(StringList_s** list);
long QelUtilStringListGetCount(const StringList_s* list);
const char* QelUtilStringListGetRawStringPtr(const StringList_s* list, long position);
char* QelUtilStringListGetString(const StringList_s* list, long position);
bool QelUtilStringListAppendString(StringList_s* list, const char* string);
bool QelUtilStringListAppend(StringList_s* target, const StringList_s* source);
bool QelUtilStringListInsertString(StringList_s* list, long position, const char* string);
bool QelUtilStringListSetString(StringList_s* list, long position, const char* string);
void QelUtilStringListRemoveString(StringList_s* list, long position);
void QelUtilStringListClear(StringList_s* list);
StringList_s* QelUtilStringListCopy(const StringList_s* list);
StringList_s* QelUtilStringListFromNLString(const char* text);
char* QelUtilStringListToNLString(const StringList_s* list);
