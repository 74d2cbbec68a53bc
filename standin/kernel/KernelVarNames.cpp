#include "host/KernelVarNames.h"

#include "kernel/KernelState.h"
#include "kernel/StringListData.h"
#include "kernel/VarNameMatching.h"

#include <QString>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace qelmar::standin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string_view trimmedView(std::string_view name) {
    const auto first = std::find_if_not(name.begin(), name.end(), isBlank);
    const auto last =
        std::find_if_not(name.rbegin(), std::string_view::reverse_iterator(first), isBlank).base();
    return name.substr(static_cast<std::size_t>(first - name.begin()),
                       static_cast<std::size_t>(last - first));
}

// Writes the case-folded form of a trimmed name into `out`, reusing its storage: ASCII names, the
// common case, fold in place without allocating.
void normaliseInto(std::string_view trimmed, std::string& out) {
    if (!isAscii(trimmed)) {
        // Letters outside ASCII fold through Qt so that "Température" matches "TEMPÉRATURE".
        out = QString::fromUtf8(trimmed.data(), static_cast<int>(trimmed.size()))
                  .trimmed()
                  .toCaseFolded()
                  .toStdString();
        return;
    }
    out.assign(trimmed);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
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

// Makes the name lead to the offset, unless an earlier entry holds it; a second spelling of its
// case-folded form in another entry makes that form lead nowhere.
void indexName(VarNameIndex& index, std::string_view name, int offset) {
    std::string exact = trimmedVarName(name);
    if (exact.empty())
        return;
    auto [found, inserted] = index.exact.emplace(exact, offset);
    if (!inserted && found->second > offset)
        found->second = offset;
    auto [folded, first] =
        index.folded.emplace(normalisedVarName(exact), VarNameIndex::Folded{offset, exact});
    if (first)
        return;
    VarNameIndex::Folded& known = folded->second;
    if (known.offset != offset && known.spelling != exact)
        known.ambiguous = true;
    known.offset = std::min(known.offset, offset);
}

void indexEntry(VarNameIndex& index, std::string_view text, int offset) {
    forEachName(text, [&](std::string_view name) { indexName(index, name, offset); });
}

const VarNameIndex& indexOf(const StringList_s& list) {
    if (!list.varNameIndex) {
        auto index = std::make_unique<VarNameIndex>();
        index->exact.reserve(list.strings.size());
        index->folded.reserve(list.strings.size());
        for (std::size_t i = 0; i < list.strings.size(); ++i) {
            if (list.strings[i])
                indexEntry(*index, *list.strings[i], static_cast<int>(i));
        }
        list.varNameIndex = std::move(index);
    }
    return *list.varNameIndex;
}

// The index is keyed by std::string, which cannot be searched by a view before C++20; a
// buffer per thread holds the key instead, so that a load matching millions of names does not
// allocate a key for each of them.
std::string& lookupKey() {
    thread_local std::string key;
    return key;
}

VarNameMatch matchOfName(const VarNameIndex& index, std::string_view name) {
    const std::string_view exact = trimmedView(name);
    if (exact.empty())
        return {};
    std::string& key = lookupKey();
    key.assign(exact);
    if (const auto found = index.exact.find(key); found != index.exact.end())
        return {found->second, true};
    normaliseInto(exact, key);
    const auto folded = index.folded.find(key);
    if (folded == index.folded.end() || folded->second.ambiguous)
        return {};
    return {folded->second.offset, false};
}

// The match of the first of the text's names that leads anywhere.
VarNameMatch matchOfText(const VarNameIndex& index, std::string_view text) {
    VarNameMatch match;
    forEachName(text, [&](std::string_view name) {
        if (match.offset < 0)
            match = matchOfName(index, name);
    });
    return match;
}

// The offset of an entry holding one of the text's names exactly as written, or -1.
int exactOffset(const VarNameIndex& index, std::string_view text) {
    int offset = -1;
    forEachName(text, [&](std::string_view name) {
        if (offset >= 0)
            return;
        std::string& key = lookupKey();
        key.assign(trimmedView(name));
        const auto found = index.exact.find(key);
        if (found != index.exact.end())
            offset = found->second;
    });
    return offset;
}

bool hasExactName(std::string_view text, std::string_view wanted) {
    bool found = false;
    forEachName(text, [&](std::string_view name) { found = found || trimmedView(name) == wanted; });
    return found;
}

// A list's entries grown name by name, its index kept up to date rather than rebuilt.
struct GrowingList {
    StringList_s list;

    VarNameIndex& index() {
        indexOf(list);
        return *list.varNameIndex;
    }
    void append(std::string_view entry) {
        const int offset = static_cast<int>(list.strings.size());
        VarNameIndex& names = index();
        list.strings.emplace_back(entry);
        indexEntry(names, entry, offset);
    }
    void addSpellings(int offset, std::string_view entry) {
        VarNameIndex& index = this->index();
        std::string& names = *list.strings[static_cast<std::size_t>(offset)];
        forEachName(entry, [&](std::string_view name) {
            const std::string trimmed = trimmedVarName(name);
            if (!trimmed.empty() && !hasExactName(names, trimmed)) {
                names.append("\n").append(name);
                indexName(index, name, offset);
            }
        });
    }
};

// Views of the list's entries, which outlive the merge that reads them: copying every name of
// hundreds of files costs more than matching them.
std::vector<std::string_view> namesOf(const StringList_s* list) {
    std::vector<std::string_view> names;
    if (!list)
        return names;
    names.reserve(list->strings.size());
    for (const auto& entry : list->strings) {
        if (entry && !trimmedView(*entry).empty())
            names.emplace_back(*entry);
    }
    return names;
}

} // namespace

std::string trimmedVarName(std::string_view name) {
    return std::string(trimmedView(name));
}

std::string normalisedVarName(std::string_view name) {
    std::string normalised;
    normaliseInto(trimmedView(name), normalised);
    return normalised;
}

int varNameOffset(const StringList_s& list, std::string_view name) {
    return matchOfText(indexOf(list), name).offset;
}

std::vector<VarNameMatch> matchVarNames(const StringList_s& list,
                                        const std::vector<std::string_view>& names) {
    const VarNameIndex& index = indexOf(list);
    std::vector<VarNameMatch> matches;
    matches.reserve(names.size());
    std::vector<int> namesPerEntry(list.strings.size(), 0);
    for (const std::string_view name : names) {
        matches.push_back(matchOfText(index, name));
        if (matches.back().offset >= 0)
            ++namesPerEntry[static_cast<std::size_t>(matches.back().offset)];
    }
    for (VarNameMatch& match : matches) {
        if (match.offset >= 0 && !match.exact && namesPerEntry[static_cast<std::size_t>(match.offset)] > 1)
            match = {};
    }
    return matches;
}

std::vector<VarNameMatch> matchVarNames(const StringList_s& list, const std::vector<std::string>& names) {
    return matchVarNames(list, std::vector<std::string_view>(names.begin(), names.end()));
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
    // A built index is updated name by name rather than dropped: the manager adds names and
    // looks them up in turn.
    if (list->varNameIndex)
        indexEntry(*list->varNameIndex, name, offset);
    return true;
}

// The existing entries in order, then one entry per incoming variable that none of them takes.
// New variables of different files are one variable only when spelled alike: whether "t" of one
// file and "T" of another are the same is the user's call in the post-load window. Without flag
// 1 a new variable also collects the other spellings the files give it.
StringList_s* QelAppVarNameListCreateDefault(const StringList_s* existing, StringList_s* const* incoming,
                                             long incomingCount, int flags) {
    if (!KernelState::instance().beginCall("QelAppVarNameListCreateDefault"))
        return nullptr;
    const StringList_s none;
    const StringList_s& existingList = existing ? *existing : none;
    const bool asWritten = flags & 1;
    GrowingList fresh;
    for (long file = 0; incoming && file < incomingCount; ++file) {
        const std::vector<std::string_view> names = namesOf(incoming[file]);
        const std::vector<VarNameMatch> inExisting = matchVarNames(existingList, names);
        std::vector<std::string_view> unmatched;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (inExisting[i].offset < 0)
                unmatched.push_back(names[i]);
        }
        const std::vector<VarNameMatch> inFresh =
            asWritten ? std::vector<VarNameMatch>(unmatched.size()) : matchVarNames(fresh.list, unmatched);
        for (std::size_t i = 0; i < unmatched.size(); ++i) {
            if (inFresh[i].offset >= 0)
                fresh.addSpellings(inFresh[i].offset, unmatched[i]);
            else if (exactOffset(fresh.index(), unmatched[i]) < 0)
                fresh.append(unmatched[i]);
        }
    }
    auto merged = std::make_unique<StringList_s>(existingList);
    for (auto& entry : fresh.list.strings)
        merged->strings.push_back(std::move(entry));
    return merged.release();
}
