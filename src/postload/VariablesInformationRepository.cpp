#include "postload/VariablesInformationRepository.h"

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "postload/ExistingVariableMatches.h"
#include "postload/TrimmedName.h"

#include <cctype>
#include <map>
#include <set>
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
    Impl& d = *m_impl;
    // A status from an earlier load would make a variable that load added look new and so
    // removable, although it now belongs to the data set.
    d.statuses.clear();
    d.spellingsByUpperCase.clear();
    d.existingDatasetVarNames = existing;
    for (const StringList_s* file : incoming) {
        const std::vector<int> offsets = existingOffsetsOf(existing, file);
        for (std::size_t index = 0; index < offsets.size(); ++index) {
            const char* name = QelUtilStringListGetRawStringPtr(file, static_cast<long>(index) + 1);
            if (offsets[index] != -1)
                d.markMatched(name, offsets[index]);
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
