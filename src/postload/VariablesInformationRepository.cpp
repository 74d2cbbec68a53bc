#include "postload/VariablesInformationRepository.h"

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "postload/ExistingVariableMatches.h"
#include "postload/TrimmedName.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qelmar::sdk::ui::postload {

namespace {

std::string upperCased(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// Calls `visit` with every non-null LF-separated name of every non-null entry of a kernel list.
template <typename Visit> void forEachName(const StringList_s* list, Visit visit) {
    const long count = QelUtilStringListGetCount(list);
    for (long position = 1; position <= count; ++position) {
        const char* entry = QelUtilStringListGetRawStringPtr(list, position);
        if (!entry)
            continue;
        const toolbox::StringList names = toolbox::StringList::fromNLString(entry);
        for (long index = 0; index < names.size(); ++index) {
            if (const char* name = names[index])
                visit(name);
        }
    }
}

std::vector<std::string> namesOfEntry(const char* entry) {
    std::vector<std::string> names;
    const toolbox::StringList split = toolbox::StringList::fromNLString(entry);
    for (long index = 0; index < split.size(); ++index) {
        if (const char* name = split[index])
            names.emplace_back(name);
    }
    return names;
}

// Whether the kernel takes `name` for `existingName`: the same name, or another spelling of it.
bool designates(const std::string& name, const std::string& existingName) {
    if (trimmedName(name) == trimmedName(existingName))
        return true;
    const toolbox::StringList single{existingName.c_str()};
    return QelAppVarNameListGetVarOffset(single.getRef(), name.c_str()) != -1;
}

} // namespace

// Statuses are kept per name as written, so that "t" and "T", which the kernel keeps apart when
// both occur, never share one. A name without a status of its own finds the status of its only
// other-case spelling.
struct VariablesInformationRepository::Impl {
    std::map<std::string, VariableStatus_e> statuses;
    std::map<std::string, std::set<std::string>> spellingsByUpperCase;
    StringList_s* existingDatasetVarNames = nullptr;

    void set(const std::string& name, VariableStatus_e status) {
        statuses[name] = status;
        spellingsByUpperCase[upperCased(name)].insert(name);
    }
    bool has(const std::string& name) const { return statuses.count(name) != 0; }

    // An existing variable an incoming name matches is provided by that file, whichever of its
    // names the kernel matched.
    void markMatched(const std::string& incomingName, int offset) {
        set(incomingName, AutoCombined);
        const char* entry = QelUtilStringListGetRawStringPtr(existingDatasetVarNames, offset + 1);
        for (const std::string& name : namesOfEntry(entry ? entry : "")) {
            if (designates(incomingName, name))
                set(name, AutoCombined);
        }
    }
};

VariablesInformationRepository::VariablesInformationRepository()
    : m_impl(std::make_unique<Impl>()) {}

VariablesInformationRepository::~VariablesInformationRepository() = default;

void VariablesInformationRepository::init(StringList_s* existing,
                                          const std::vector<StringList_s*>& incoming) {
    init(existing, incoming, existingOffsetsOfFiles(existing, incoming));
}

void VariablesInformationRepository::init(StringList_s* existing, const std::vector<StringList_s*>& incoming,
                                          const std::vector<std::vector<int>>& existingOffsets) {
    Impl& d = *m_impl;
    // A status from an earlier load would make a variable that load added look new and so
    // removable, although it now belongs to the data set.
    d.statuses.clear();
    d.spellingsByUpperCase.clear();
    d.existingDatasetVarNames = existing;
    // Files of one load share most of their names; each name is marked once for each variable
    // it fills, not once per file that has it.
    const std::size_t variables = static_cast<std::size_t>(std::max(QelUtilStringListGetCount(existing), 0L));
    // Most names are spelled as the variable's only name; those are told apart without hashing.
    std::vector<bool> markedAsEntry(variables, false);
    std::vector<std::unordered_set<std::string_view>> markedPerVariable(variables);
    for (std::size_t fileIndex = 0; fileIndex < incoming.size() && fileIndex < existingOffsets.size();
         ++fileIndex) {
        const StringList_s* file = incoming[fileIndex];
        const std::vector<int>& offsets = existingOffsets[fileIndex];
        for (std::size_t index = 0; index < offsets.size(); ++index) {
            const char* name = QelUtilStringListGetRawStringPtr(file, static_cast<long>(index) + 1);
            const int offset = offsets[index];
            if (offset < 0 || static_cast<std::size_t>(offset) >= variables)
                continue;
            const auto variable = static_cast<std::size_t>(offset);
            const char* entry = QelUtilStringListGetRawStringPtr(existing, offset + 1);
            const bool asEntry = entry && std::strcmp(entry, name) == 0;
            if (asEntry ? !markedAsEntry[variable] : markedPerVariable[variable].insert(name).second)
                d.markMatched(name, offset);
            if (asEntry)
                markedAsEntry[variable] = true;
        }
    }
    forEachName(existing, [&](const char* name) {
        if (!d.has(name))
            d.set(name, NotCombined);
    });
}

VariablesInformationRepository::VariableStatus_e
VariablesInformationRepository::getVariableStatus(const std::string& name) const {
    const auto& statuses = m_impl->statuses;
    if (const auto found = statuses.find(name); found != statuses.end())
        return found->second;
    const auto spellings = m_impl->spellingsByUpperCase.find(upperCased(name));
    if (spellings == m_impl->spellingsByUpperCase.end() || spellings->second.size() != 1)
        return NoStatus;
    return statuses.at(*spellings->second.begin());
}

bool VariablesInformationRepository::isRemovable(const std::string& name) const {
    const VariableStatus_e status = getVariableStatus(name);
    return status == NoStatus || status == Combined || status == New;
}

void VariablesInformationRepository::setCombined(const std::string& name) {
    m_impl->set(name, Combined);
}

void VariablesInformationRepository::setNew(const std::string& name) {
    m_impl->set(name, New);
}

} // namespace qelmar::sdk::ui::postload
