#include "postload/VariableAliasesApplier.h"

#include "postload/ExistingVariableMatches.h"
#include "postload/TrimmedName.h"

#include "host/KernelMessages.h"
#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"

#include <QString>

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>
#include <unordered_map>

namespace qelmar::sdk::ui::postload {

namespace {

// Calls `visit` with every non-null entry of a kernel list, in order.
template <typename Visit> void forEachEntry(const StringList_s* list, Visit visit) {
    const long count = QelUtilStringListGetCount(list);
    for (long position = 1; position <= count; ++position) {
        if (const char* text = QelUtilStringListGetRawStringPtr(list, position))
            visit(text);
    }
}

// The entry the first of a member's LF-separated names designates, or -1. A member may be a
// whole to-load entry, as Combine pairs a name with an entry that already carries several.
int offsetOfMember(const StringList_s* list, const char* member) {
    const toolbox::StringList names = toolbox::StringList::fromNLString(member);
    for (long index = 0; index < names.size(); ++index) {
        const char* name = names[index];
        const int offset = name ? QelAppVarNameListGetVarOffset(list, name) : -1;
        if (offset != -1)
            return offset;
    }
    return -1;
}

// The offset of the first entry of the group's members found in the list, or -1.
int offsetOfGroupMember(const StringList_s* list, const StringList_s* group) {
    const long count = QelUtilStringListGetCount(group);
    for (long position = 1; position <= count; ++position) {
        const char* member = QelUtilStringListGetRawStringPtr(group, position);
        const int offset = member ? offsetOfMember(list, member) : -1;
        if (offset != -1)
            return offset;
    }
    return -1;
}

// Calls `visit` with each LF-separated name of a text, as the kernel splits an entry.
template <typename Visit> void forEachName(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        visit(text.substr(start, end - start));
        start = end + 1;
    }
}

// The alias groups by the names they hold. Asking the kernel whether each group holds a name
// costs every name of the files a question to every group, which grows with the square of the
// data; the index leaves only the groups holding a name that folds to the same key, and the
// kernel still decides for those. The key is the name without blanks around it, case-folded: two
// names the kernel takes for one another, exactly or by case, always share it.
class AliasGroupIndex {
public:
    explicit AliasGroupIndex(const std::vector<StringList_s*>& groups) {
        for (std::size_t group = 0; group < groups.size(); ++group) {
            forEachEntry(groups[group], [&](const char* entry) {
                forEachName(entry, [&](std::string_view name) { add(name, group); });
            });
        }
    }

    // The positions of the groups that may hold the name, ascending.
    const std::vector<std::size_t>& candidates(std::string_view name) const {
        static const std::vector<std::size_t> none;
        const auto found = m_groupsByKey.find(keyOf(name));
        return found == m_groupsByKey.end() ? none : found->second;
    }

private:
    static std::string keyOf(std::string_view name) {
        return QString::fromUtf8(name.data(), static_cast<int>(name.size()))
            .trimmed()
            .toCaseFolded()
            .toStdString();
    }

    void add(std::string_view name, std::size_t group) {
        std::vector<std::size_t>& groups = m_groupsByKey[keyOf(name)];
        if (groups.empty() || groups.back() != group)
            groups.push_back(group);
    }

    std::unordered_map<std::string, std::vector<std::size_t>> m_groupsByKey;
};

// The entry a (possibly LF-separated) name designates, directly or through the first alias
// group that holds the name and has a member in the list. The index only narrows the groups
// down to those that may hold the name; the kernel decides which of them do.
int GetVarOrAliasOffsetByName(const StringList_s* list, const std::string& name,
                              const std::vector<StringList_s*>& aliases, const AliasGroupIndex& index) {
    const toolbox::StringList parts = toolbox::StringList::fromNLString(name.c_str());
    for (long position = 0; position < parts.size(); ++position) {
        const char* part = parts[position];
        if (!part)
            continue;
        const int direct = QelAppVarNameListGetVarOffset(list, part);
        if (direct != -1)
            return direct;
        for (const std::size_t group : index.candidates(part)) {
            if (QelAppVarNameListGetVarOffset(aliases[group], part) == -1)
                continue;
            const int offset = offsetOfGroupMember(list, aliases[group]);
            if (offset != -1)
                return offset;
        }
    }
    return -1;
}

void reportError(const char* prefix, const std::exception& e) {
    QelUtilDialogErrMsg((std::string(prefix) + e.what()).c_str());
}

} // namespace

struct VariableAliasesApplier::Impl {
    std::vector<std::set<int>> fileResolvedOffsets;
    // Entries added from the files are filled for every file. They are kept once here rather
    // than in each file's set, so that adding thousands of variables from tens of files does
    // not cost files times variables.
    std::set<int> resolvedForEveryFile;
    long existingVarCount = 0;

    std::set<int>& resolvedOffsetsOfFile(std::size_t file) {
        if (file >= fileResolvedOffsets.size())
            fileResolvedOffsets.resize(file + 1);
        return fileResolvedOffsets[file];
    }

    bool isResolved(const std::set<int>& ofFile, int offset) const {
        return ofFile.count(offset) || resolvedForEveryFile.count(offset);
    }

    std::set<std::string> applyVarAliases(const std::vector<StringList_s*>& aliases, StringList_s* toLoad,
                                          const std::vector<StringList_s*>& available) {
        std::set<std::string> attached;
        try {
            const AliasGroupIndex index(aliases);
            for (std::size_t file = 0; file < available.size(); ++file)
                attachNamesOfFile(aliases, index, toLoad, available[file], resolvedOffsetsOfFile(file),
                                  attached);
        } catch (const std::exception& e) {
            reportError("An error occurred while applying the variable names aliases: ", e);
        }
        return attached;
    }

    // A name the kernel refuses to attach is dropped: it is neither attached nor available.
    void attachNamesOfFile(const std::vector<StringList_s*>& aliases, const AliasGroupIndex& index,
                           StringList_s* toLoad, StringList_s* availableNames, std::set<int>& resolved,
                           std::set<std::string>& attached) const {
        std::vector<std::string> unresolved;
        forEachEntry(availableNames, [&](const char* text) {
            std::string name = trimmedName(text);
            const int offset = GetVarOrAliasOffsetByName(toLoad, name, aliases, index);
            if (offset == -1 || isResolved(resolved, offset)) {
                unresolved.push_back(std::move(name));
                return;
            }
            if (QelAppVarNameListAddVarName(toLoad, offset, name.c_str())) {
                resolved.insert(offset);
                attached.insert(std::move(name));
            }
        });
        QelUtilStringListClear(availableNames);
        for (const std::string& name : unresolved) {
            if (!QelUtilStringListAppendString(availableNames, name.c_str()))
                throw std::bad_alloc();
        }
    }

    bool canBeAliased(const std::vector<StringList_s*>& aliases, const StringList_s* toLoad,
                      const std::vector<StringList_s*>& selection) {
        const AliasGroupIndex index(aliases);
        for (std::size_t file = 0; file < selection.size(); ++file) {
            const std::set<int>& resolved = resolvedOffsetsOfFile(file);
            const long count = QelUtilStringListGetCount(selection[file]);
            for (long position = 1; position <= count; ++position) {
                const char* text = QelUtilStringListGetRawStringPtr(selection[file], position);
                if (!text)
                    continue;
                const int offset = GetVarOrAliasOffsetByName(toLoad, trimmedName(text), aliases, index);
                if (offset == -1 || isResolved(resolved, offset))
                    return false;
            }
        }
        return true;
    }

    std::set<int> withoutRemoved(const std::set<int>& offsets, const std::set<int>& removed) const {
        std::set<int> result;
        int shift = 0;
        for (const int offset : offsets) {
            if (removed.count(offset)) {
                // Only entries added from the files leave the list; the data set's own stay.
                if (offset >= existingVarCount)
                    ++shift;
                continue;
            }
            result.insert(offset - shift);
        }
        return result;
    }
};

VariableAliasesApplier::VariableAliasesApplier()
    : m_impl(std::make_unique<Impl>()) {}

VariableAliasesApplier::~VariableAliasesApplier() = default;

void VariableAliasesApplier::init(StringList_s* existing, const std::vector<StringList_s*>& incoming) {
    init(existing, incoming, existingOffsetsOfFiles(existing, incoming));
}

void VariableAliasesApplier::init(StringList_s* existing, const std::vector<StringList_s*>& incoming,
                                  const std::vector<std::vector<int>>& existingOffsets) {
    m_impl->fileResolvedOffsets.assign(incoming.size(), {});
    m_impl->resolvedForEveryFile.clear();
    m_impl->existingVarCount = QelUtilStringListGetCount(existing);
    for (std::size_t file = 0; file < incoming.size() && file < existingOffsets.size(); ++file) {
        std::set<int>& resolved = m_impl->fileResolvedOffsets[file];
        for (const int offset : existingOffsets[file]) {
            if (offset != -1)
                resolved.insert(offset);
        }
    }
}

std::set<std::string> VariableAliasesApplier::apply(const std::vector<StringList_s*>& aliases,
                                                    StringList_s* toLoad,
                                                    const std::vector<StringList_s*>& available) {
    return m_impl->applyVarAliases(aliases, toLoad, available);
}

bool VariableAliasesApplier::selectedVariablesCanBeAliased(const std::vector<StringList_s*>& aliases,
                                                           StringList_s* toLoad,
                                                           const std::vector<StringList_s*>& selection) {
    try {
        return m_impl->canBeAliased(aliases, toLoad, selection);
    } catch (const std::exception& e) {
        reportError("An error occurred while verifying the variable names aliases: ", e);
        return true;
    }
}

void VariableAliasesApplier::markAsResolved(int offset) {
    m_impl->resolvedForEveryFile.insert(offset);
}

// Each file's offsets shift by the removed entries among them, so the shared offsets are merged
// into every file's set before the rewrite.
void VariableAliasesApplier::markAsUnresolved(const std::set<int>& removedOffsets) {
    for (std::set<int>& resolved : m_impl->fileResolvedOffsets) {
        resolved.insert(m_impl->resolvedForEveryFile.begin(), m_impl->resolvedForEveryFile.end());
        resolved = m_impl->withoutRemoved(resolved, removedOffsets);
    }
    m_impl->resolvedForEveryFile.clear();
}

bool VariableAliasesApplier::fills(std::size_t file, int offset) const {
    if (m_impl->resolvedForEveryFile.count(offset))
        return true;
    return file < m_impl->fileResolvedOffsets.size() && m_impl->fileResolvedOffsets[file].count(offset);
}

} // namespace qelmar::sdk::ui::postload
