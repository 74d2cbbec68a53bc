#include "postload/VariableAliasesApplier.h"

#include "postload/ExistingVariableMatches.h"
#include "postload/TrimmedName.h"

#include "host/KernelMessages.h"
#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"

#include <exception>
#include <new>

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

// The entry a (possibly LF-separated) name designates, directly or through the first alias
// group that holds the name and has a member in the list.
int GetVarOrAliasOffsetByName(const StringList_s* list, const std::string& name,
                              const std::vector<StringList_s*>& aliases) {
    const toolbox::StringList parts = toolbox::StringList::fromNLString(name.c_str());
    for (long index = 0; index < parts.size(); ++index) {
        const char* part = parts[index];
        if (!part)
            continue;
        const int direct = QelAppVarNameListGetVarOffset(list, part);
        if (direct != -1)
            return direct;
        for (const StringList_s* group : aliases) {
            if (QelAppVarNameListGetVarOffset(group, part) == -1)
                continue;
            const int offset = offsetOfGroupMember(list, group);
            if (offset != -1)
                return offset;
        }
    }
    return -1;
}

void reportError(const char* prefix, const std::exception& e) {
    QelUtilDialogErrMsg((std::string(prefix) + e.what()).c_str());
}

// The groups that hold at least one of the names, in their order. Only these can lead one of
// the names anywhere, and an aliases file has far more groups than a file has matching names.
std::vector<StringList_s*> groupsMentioning(const std::vector<StringList_s*>& aliases,
                                            const StringList_s* names) {
    std::vector<StringList_s*> mentioning;
    for (StringList_s* group : aliases) {
        bool mentioned = false;
        forEachEntry(group, [&](const char* member) {
            mentioned = mentioned || QelAppVarNameListGetVarOffset(names, trimmedName(member).c_str()) != -1;
        });
        if (mentioned)
            mentioning.push_back(group);
    }
    return mentioning;
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
            for (std::size_t file = 0; file < available.size(); ++file)
                attachNamesOfFile(groupsMentioning(aliases, available[file]), toLoad, available[file],
                                  resolvedOffsetsOfFile(file), attached);
        } catch (const std::exception& e) {
            reportError("An error occurred while applying the variable names aliases: ", e);
        }
        return attached;
    }

    // A name the kernel refuses to attach is dropped: it is neither attached nor available.
    void attachNamesOfFile(const std::vector<StringList_s*>& aliases, StringList_s* toLoad,
                           StringList_s* availableNames, std::set<int>& resolved,
                           std::set<std::string>& attached) const {
        std::vector<std::string> unresolved;
        forEachEntry(availableNames, [&](const char* text) {
            std::string name = trimmedName(text);
            const int offset = GetVarOrAliasOffsetByName(toLoad, name, aliases);
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
        for (std::size_t file = 0; file < selection.size(); ++file) {
            const std::set<int>& resolved = resolvedOffsetsOfFile(file);
            const long count = QelUtilStringListGetCount(selection[file]);
            for (long position = 1; position <= count; ++position) {
                const char* text = QelUtilStringListGetRawStringPtr(selection[file], position);
                if (!text)
                    continue;
                const int offset = GetVarOrAliasOffsetByName(toLoad, trimmedName(text), aliases);
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
    m_impl->fileResolvedOffsets.assign(incoming.size(), {});
    m_impl->resolvedForEveryFile.clear();
    m_impl->existingVarCount = QelUtilStringListGetCount(existing);
    for (std::size_t file = 0; file < incoming.size(); ++file) {
        std::set<int>& resolved = m_impl->fileResolvedOffsets[file];
        for (const int offset : existingOffsetsOf(existing, incoming[file])) {
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

} // namespace qelmar::sdk::ui::postload
