#include "host/KernelArgList.h"

#include "host/KernelStrings.h"
#include "kernel/ArgListData.h"

using Entry = ArgList_s::Entry;
using Kind = ArgList_s::Kind;

namespace {

// A key may appear once: a second value under the same key would be silently ignored by every
// reader, which hides mistakes in the caller.
bool append(ArgList_s* args, const char* key, Entry entry) {
    if (!args || !key || !*key || args->contains(key))
        return false;
    entry.key = key;
    args->entries.push_back(std::move(entry));
    return true;
}

Entry entryOf(Kind kind) {
    Entry entry;
    entry.kind = kind;
    return entry;
}

} // namespace

ArgList_s* QelUtilArgListAlloc() {
    return new ArgList_s;
}

void QelUtilArgListDealloc(ArgList_s** args) {
    if (!args)
        return;
    delete *args;
    *args = nullptr;
}

long QelUtilArgListGetCount(const ArgList_s* args) {
    return args ? static_cast<long>(args->entries.size()) : 0;
}

void QelUtilArgListClear(ArgList_s* args) {
    if (args)
        args->entries.clear();
}

bool QelUtilArgListHasKey(const ArgList_s* args, const char* key) {
    return args && key && args->contains(key);
}

bool QelUtilArgListAppendString(ArgList_s* args, const char* key, const char* value) {
    Entry entry = entryOf(Kind::String);
    entry.text = value ? value : "";
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendInt(ArgList_s* args, const char* key, long value) {
    Entry entry = entryOf(Kind::Int);
    entry.integer = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendArbParam(ArgList_s* args, const char* key, long value) {
    Entry entry = entryOf(Kind::ArbParam);
    entry.integer = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendArbParamPtr(ArgList_s* args, const char* key, long* value) {
    if (!value)
        return false;
    Entry entry = entryOf(Kind::ArbParamPtr);
    entry.integerOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendDoublePtr(ArgList_s* args, const char* key, double* value) {
    if (!value)
        return false;
    Entry entry = entryOf(Kind::DoublePtr);
    entry.realOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendStringPtr(ArgList_s* args, const char* key, char** value) {
    if (!value)
        return false;
    Entry entry = entryOf(Kind::StringPtr);
    entry.textOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendDouble(ArgList_s* args, const char* key, double value) {
    Entry entry = entryOf(Kind::Double);
    entry.real = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendStringList(ArgList_s* args, const char* key, const StringList_s* value) {
    if (!value)
        return false;
    Entry entry = entryOf(Kind::StringList);
    const long count = QelUtilStringListGetCount(value);
    for (long position = 1; position <= count; ++position) {
        const char* string = QelUtilStringListGetRawStringPtr(value, position);
        entry.strings.emplace_back(string ? string : "");
    }
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendIdentifierPath(ArgList_s* args, const char* key, const long* path) {
    if (!path)
        return false;
    Entry entry = entryOf(Kind::IdentifierPath);
    for (const long* identifier = path; *identifier != -1; ++identifier)
        entry.identifiers.push_back(*identifier);
    return append(args, key, std::move(entry));
}
