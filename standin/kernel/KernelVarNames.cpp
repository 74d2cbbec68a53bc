#include "host/KernelVarNames.h"

#include "kernel/KernelState.h"
#include "kernel/StringListData.h"
#include "kernel/VarNameMatching.h"

#include <QString>

#include <algorithm>

namespace qelmar::standin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Calls `visit` with each LF-separated name of an entry's text.
template <typename Visit> void forEachName(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        visit(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return;
        start = end + 1;
    }
}

// Makes every name of the entry designate the offset, unless an earlier entry holds the name.
void indexEntry(VarNameIndex& index, std::string_view text, int offset) {
    forEachName(text, [&](std::string_view name) {
        std::string key = normalisedVarName(name);
        if (key.empty())
            return;
        auto [found, inserted] = index.emplace(std::move(key), offset);
        if (!inserted && found->second > offset)
            found->second = offset;
    });
}

const VarNameIndex& indexOf(const StringList_s& list) {
    if (!list.varNameIndex) {
        auto index = std::make_unique<VarNameIndex>();
        index->reserve(list.strings.size());
        for (std::size_t i = 0; i < list.strings.size(); ++i) {
            if (list.strings[i])
                indexEntry(*index, *list.strings[i], static_cast<int>(i));
        }
        list.varNameIndex = std::move(index);
    }
    return *list.varNameIndex;
}

int offsetIn(const VarNameIndex& index, std::string_view name) {
    const auto found = index.find(normalisedVarName(name));
    return found == index.end() ? -1 : found->second;
}

// The first entry of the index that any name of the text designates, or -1.
int firstOffsetOfAnyName(const VarNameIndex& index, std::string_view text) {
    int first = -1;
    forEachName(text, [&](std::string_view name) {
        const int offset = offsetIn(index, name);
        if (offset >= 0 && (first < 0 || offset < first))
            first = offset;
    });
    return first;
}

bool hasExactName(std::string_view text, std::string_view wanted) {
    bool found = false;
    forEachName(text, [&](std::string_view name) { found = found || name == wanted; });
    return found;
}

} // namespace

std::string normalisedVarName(std::string_view name) {
    const auto first = std::find_if_not(name.begin(), name.end(), isBlank);
    const auto last =
        std::find_if_not(name.rbegin(), std::string_view::reverse_iterator(first), isBlank).base();
    std::string trimmed(first, last);
    if (isAscii(trimmed)) {
        std::transform(trimmed.begin(), trimmed.end(), trimmed.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        return trimmed;
    }
    // Letters outside ASCII fold through Qt so that "Température" matches "TEMPÉRATURE".
    return QString::fromUtf8(trimmed.data(), static_cast<int>(trimmed.size()))
        .trimmed()
        .toCaseFolded()
        .toStdString();
}

int varNameOffset(const StringList_s& list, std::string_view name) {
    return offsetIn(indexOf(list), name);
}

} // namespace qelmar::standin

using namespace qelmar::standin;

int QelAppVarNameListGetVarOffset(const StringList_s* list, const char* name) {
    if (!KernelState::instance().beginCall("QelAppVarNameListGetVarOffset") || !list || !name)
        return -1;
    return varNameOffset(*list, name);
}

bool QelAppVarNameListAddVarName(StringList_s* list, int offset, const char* name) {
    if (!KernelState::instance().beginCall("QelAppVarNameListAddVarName") || !list || !name ||
        normalisedVarName(name).empty() || offset < 0 || offset >= static_cast<int>(list->strings.size()))
        return false;
    auto& entry = list->strings[static_cast<std::size_t>(offset)];
    entry = entry && !entry->empty() ? *entry + '\n' + name : std::string(name);
    // Adding a name to one entry cannot change what the other names designate, so a built index
    // is updated rather than dropped: the manager adds names and looks them up in turn.
    if (list->varNameIndex)
        indexEntry(*list->varNameIndex, name, offset);
    return true;
}

StringList_s* QelAppVarNameListCreateDefault(const StringList_s* existing, StringList_s* const* incoming,
                                             long incomingCount, int flags) {
    if (!KernelState::instance().beginCall("QelAppVarNameListCreateDefault"))
        return nullptr;
    auto merged = existing ? std::make_unique<StringList_s>(*existing) : std::make_unique<StringList_s>();
    auto index = std::make_unique<VarNameIndex>(existing ? indexOf(*existing) : VarNameIndex());
    const std::size_t existingCount = merged->strings.size();
    const bool asWritten = flags & 1;
    for (long file = 0; incoming && file < incomingCount; ++file) {
        if (!incoming[file])
            continue;
        for (const auto& entry : incoming[file]->strings) {
            if (!entry || normalisedVarName(*entry).empty())
                continue;
            const int offset = firstOffsetOfAnyName(*index, *entry);
            if (offset < 0) {
                const int added = static_cast<int>(merged->strings.size());
                merged->strings.emplace_back(*entry);
                indexEntry(*index, *entry, added);
            } else if (!asWritten && static_cast<std::size_t>(offset) >= existingCount) {
                // Without flag 1 a new variable collects every spelling the files gave it.
                auto& names = *merged->strings[static_cast<std::size_t>(offset)];
                forEachName(*entry, [&](std::string_view name) {
                    if (!normalisedVarName(name).empty() && !hasExactName(names, name))
                        names.append("\n").append(name);
                });
                indexEntry(*index, *entry, offset);
            }
        }
    }
    merged->varNameIndex = std::move(index);
    return merged.release();
}
