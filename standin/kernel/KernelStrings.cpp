#include "host/KernelStrings.h"

#include "kernel/KernelState.h"
#include "kernel/StringListData.h"

#include <string>
#include <vector>

using qelmar::standin::allocKernelString;
using qelmar::standin::KernelState;

namespace {

using Entry = std::optional<std::string>;

// Positions count from 1; anything else is outside the list.
bool isValidPosition(const StringList_s* list, long position) {
    return list && position >= 1 && position <= static_cast<long>(list->strings.size());
}

Entry entryOf(const char* string) {
    return string ? Entry(string) : std::nullopt;
}

bool begin(const char* call) {
    return KernelState::instance().beginCall(call);
}

} // namespace

// Releasing memory cannot fail: the switch only journals these, and a test that switches them off
// must not turn a release into a leak.
void QelUtilStringDealloc(char** string) {
    begin("QelUtilStringDealloc");
    if (!string)
        return;
    delete[] * string;
    *string = nullptr;
}

StringList_s* QelUtilStringListAlloc() {
    if (!begin("QelUtilStringListAlloc"))
        return nullptr;
    return new StringList_s;
}

void QelUtilStringListDealloc(StringList_s** list) {
    begin("QelUtilStringListDealloc");
    if (!list)
        return;
    delete *list;
    *list = nullptr;
}

long QelUtilStringListGetCount(const StringList_s* list) {
    if (!begin("QelUtilStringListGetCount"))
        return 0;
    return list ? static_cast<long>(list->strings.size()) : 0;
}

const char* QelUtilStringListGetRawStringPtr(const StringList_s* list, long position) {
    if (!begin("QelUtilStringListGetRawStringPtr"))
        return nullptr;
    if (!isValidPosition(list, position))
        return nullptr;
    const Entry& entry = list->strings[position - 1];
    return entry ? entry->c_str() : nullptr;
}

char* QelUtilStringListGetString(const StringList_s* list, long position) {
    if (!begin("QelUtilStringListGetString"))
        return nullptr;
    if (!isValidPosition(list, position))
        return nullptr;
    const Entry& entry = list->strings[position - 1];
    return entry ? allocKernelString(*entry) : nullptr;
}

bool QelUtilStringListAppendString(StringList_s* list, const char* string) {
    if (!begin("QelUtilStringListAppendString"))
        return false;
    if (!list)
        return false;
    list->strings.push_back(entryOf(string));
    list->changed();
    return true;
}

bool QelUtilStringListAppend(StringList_s* target, const StringList_s* source) {
    if (!begin("QelUtilStringListAppend"))
        return false;
    if (!target || !source)
        return false;
    // Copy first: appending a list to itself must not read what it is writing.
    const std::vector<Entry> appended = source->strings;
    target->strings.insert(target->strings.end(), appended.begin(), appended.end());
    target->changed();
    return true;
}

bool QelUtilStringListInsertString(StringList_s* list, long position, const char* string) {
    if (!begin("QelUtilStringListInsertString"))
        return false;
    if (!list || position < 1 || position > static_cast<long>(list->strings.size()) + 1)
        return false;
    list->strings.insert(list->strings.begin() + (position - 1), entryOf(string));
    list->changed();
    return true;
}

bool QelUtilStringListSetString(StringList_s* list, long position, const char* string) {
    if (!begin("QelUtilStringListSetString"))
        return false;
    if (!list || position < 1)
        return false;
    // Setting past the end grows the list with empty strings, as the kernel's lists do.
    if (position > static_cast<long>(list->strings.size()))
        list->strings.resize(position, Entry(std::string()));
    list->strings[position - 1] = entryOf(string);
    list->changed();
    return true;
}

void QelUtilStringListRemoveString(StringList_s* list, long position) {
    if (!begin("QelUtilStringListRemoveString"))
        return;
    if (!isValidPosition(list, position))
        return;
    list->strings.erase(list->strings.begin() + (position - 1));
    list->changed();
}

void QelUtilStringListClear(StringList_s* list) {
    if (!begin("QelUtilStringListClear"))
        return;
    if (!list)
        return;
    list->strings.clear();
    list->changed();
}

StringList_s* QelUtilStringListCopy(const StringList_s* list) {
    if (!begin("QelUtilStringListCopy"))
        return nullptr;
    return list ? new StringList_s(*list) : nullptr;
}

StringList_s* QelUtilStringListFromNLString(const char* text) {
    if (!begin("QelUtilStringListFromNLString"))
        return nullptr;
    auto* list = new StringList_s;
    if (!text || !*text)
        return list;
    std::string current;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            list->strings.emplace_back(std::move(current));
            current.clear();
        } else {
            current += *c;
        }
    }
    list->strings.emplace_back(std::move(current));
    return list;
}

char* QelUtilStringListToNLString(const StringList_s* list) {
    if (!begin("QelUtilStringListToNLString"))
        return nullptr;
    if (!list)
        return nullptr;
    std::string text;
    for (std::size_t i = 0; i < list->strings.size(); ++i) {
        if (i)
            text += '\n';
        if (list->strings[i])
            text += *list->strings[i];
    }
    return allocKernelString(text);
}
