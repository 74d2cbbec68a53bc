#include "postload/VariablesInformationRepository.h"

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"

#include <cctype>
#include <map>

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

} // namespace

struct VariablesInformationRepository::Impl {
    std::map<std::string, VariableStatus_e> statuses;
    StringList_s* existingDatasetVarNames = nullptr;
};

VariablesInformationRepository::VariablesInformationRepository()
    : m_impl(std::make_unique<Impl>()) {}

VariablesInformationRepository::~VariablesInformationRepository() = default;

void VariablesInformationRepository::init(StringList_s* existing,
                                          const std::vector<StringList_s*>& incoming) {
    m_impl->existingDatasetVarNames = existing;
    auto& statuses = m_impl->statuses;
    for (const StringList_s* names : incoming) {
        forEachName(names, [&](const char* name) {
            if (QelAppVarNameListGetVarOffset(existing, name) != -1)
                statuses[upperCased(name)] = AutoCombined;
        });
    }
    forEachName(existing, [&](const char* name) { statuses.emplace(upperCased(name), NotCombined); });
}

VariablesInformationRepository::VariableStatus_e
VariablesInformationRepository::getVariableStatus(const std::string& name) const {
    const auto found = m_impl->statuses.find(upperCased(name));
    return found == m_impl->statuses.end() ? NoStatus : found->second;
}

bool VariablesInformationRepository::isRemovable(const std::string& name) const {
    const VariableStatus_e status = getVariableStatus(name);
    return status == NoStatus || status == Combined || status == New;
}

void VariablesInformationRepository::setCombined(const std::string& name) {
    m_impl->statuses[upperCased(name)] = Combined;
}

void VariablesInformationRepository::setNew(const std::string& name) {
    m_impl->statuses[upperCased(name)] = New;
}

} // namespace qelmar::sdk::ui::postload
