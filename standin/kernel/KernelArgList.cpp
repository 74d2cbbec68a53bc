#include "host/KernelArgList.h"

#include "host/KernelStrings.h"
#include "kernel/ArgListData.h"
#include "kernel/KernelState.h"

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

bool begin(const char* call) {
    return qelmar::standin::KernelState::instance().beginCall(call);
}

Entry entryOf(Kind kind) {
    Entry entry;
    entry.kind = kind;
    return entry;
}

} // namespace

ArgList_s* QelUtilArgListAlloc() {
    if (!begin("QelUtilArgListAlloc"))
        return nullptr;
    return new ArgList_s;
}

void QelUtilArgListDealloc(ArgList_s** args) {
    begin("QelUtilArgListDealloc"); // releasing cannot fail; journalled only
    if (!args)
        return;
    delete *args;
    *args = nullptr;
}

long QelUtilArgListGetCount(const ArgList_s* args) {
    if (!begin("QelUtilArgListGetCount"))
        return 0;
    return args ? static_cast<long>(args->entries.size()) : 0;
}

void QelUtilArgListClear(ArgList_s* args) {
    if (!begin("QelUtilArgListClear"))
        return;
    if (args)
        args->entries.clear();
}

bool QelUtilArgListHasKey(const ArgList_s* args, const char* key) {
    if (!begin("QelUtilArgListHasKey"))
        return false;
    return args && key && args->contains(key);
}

bool QelUtilArgListAppendString(ArgList_s* args, const char* key, const char* value) {
    if (!begin("QelUtilArgListAppendString"))
        return false;
    Entry entry = entryOf(Kind::String);
    entry.text = value ? value : "";
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendInt(ArgList_s* args, const char* key, long value) {
    if (!begin("QelUtilArgListAppendInt"))
        return false;
    Entry entry = entryOf(Kind::Int);
    entry.integer = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendArbParam(ArgList_s* args, const char* key, long value) {
    if (!begin("QelUtilArgListAppendArbParam"))
        return false;
    Entry entry = entryOf(Kind::ArbParam);
    entry.integer = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendArbParamPtr(ArgList_s* args, const char* key, long* value) {
    if (!begin("QelUtilArgListAppendArbParamPtr"))
        return false;
    if (!value)
        return false;
    Entry entry = entryOf(Kind::ArbParamPtr);
    entry.integerOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendDoublePtr(ArgList_s* args, const char* key, double* value) {
    if (!begin("QelUtilArgListAppendDoublePtr"))
        return false;
    if (!value)
        return false;
    Entry entry = entryOf(Kind::DoublePtr);
    entry.realOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendStringPtr(ArgList_s* args, const char* key, char** value) {
    if (!begin("QelUtilArgListAppendStringPtr"))
        return false;
    if (!value)
        return false;
    Entry entry = entryOf(Kind::StringPtr);
    entry.textOut = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendDouble(ArgList_s* args, const char* key, double value) {
    if (!begin("QelUtilArgListAppendDouble"))
        return false;
    Entry entry = entryOf(Kind::Double);
    entry.real = value;
    return append(args, key, std::move(entry));
}

bool QelUtilArgListAppendStringList(ArgList_s* args, const char* key, const StringList_s* value) {
    if (!begin("QelUtilArgListAppendStringList"))
        return false;
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
    if (!begin("QelUtilArgListAppendIdentifierPath"))
        return false;
    if (!path)
        return false;
    Entry entry = entryOf(Kind::IdentifierPath);
    for (const long* identifier = path; *identifier != -1; ++identifier)
        entry.identifiers.push_back(*identifier);
    return append(args, key, std::move(entry));
}
