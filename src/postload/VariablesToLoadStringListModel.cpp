#include "postload/VariablesToLoadStringListModel.h"

#include "host/KernelStrings.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "postload/HtmlEscaped.h"
#include "postload/VariablesInformationRepository.h"

#include <cstdio>
#include <map>
#include <new>

namespace qelmar::sdk::ui::postload {

namespace {

using Status = VariablesInformationRepository::VariableStatus_e;

const char* cssClass(Status status) {
    switch (status) {
    case VariablesInformationRepository::NotCombined:
        return "not-combined";
    case VariablesInformationRepository::AutoCombined:
        return "auto-combined";
    case VariablesInformationRepository::Combined:
        return "combined";
    case VariablesInformationRepository::New:
        return "new-variable";
    default:
        return "";
    }
}

std::string numberPrefix(int number) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%3d: ", number);
    return prefix;
}

// The rule for new variables names a class no span carries ("new-variables", the spans say
// "new-variable"), so new names keep the view's own text colour, which stays readable on the
// highlight too.
std::string styleBlock(const bool (&occurs)[4]) {
    std::string style = "<style>";
    if (occurs[VariablesInformationRepository::AutoCombined])
        style += ".auto-combined{color:'blue';}";
    if (occurs[VariablesInformationRepository::Combined])
        style += ".combined{color:'green';} .not-combined{color:'green';}";
    if (occurs[VariablesInformationRepository::NotCombined] &&
        !occurs[VariablesInformationRepository::Combined])
        style += ".not-combined{color:'black';}";
    if (occurs[VariablesInformationRepository::New])
        style += ".new-variables{color:'black';}";
    return style + "</style>";
}

} // namespace

struct VariablesToLoadStringListModel::Impl {
    VariablesToLoadStringListModel& model;
    StringList_s* existingDatasetVarNames = nullptr;
    const VariablesInformationRepository& information;
    std::map<std::string, int> varNumMap;
    int lastExistingRow = 0;
    std::vector<long> nullPositions;

    Impl(VariablesToLoadStringListModel& owner, const VariablesInformationRepository& repository)
        : model(owner)
        , information(repository) {}

    // Existing variables keep their data set numbers; new ones follow every existing variable.
    void number(const std::string& text, int row) { varNumMap[text] = computeNumber(text, row); }

    int computeNumber(const std::string& text, int row) {
        if (!existingDatasetVarNames)
            return row;
        const toolbox::StringList names = toolbox::StringList::fromNLString(text.c_str());
        if (const char* existingName = firstExistingName(names)) {
            lastExistingRow = row;
            const int offset = QelAppVarNameListGetVarOffset(existingDatasetVarNames, existingName);
            if (offset != -1)
                return offset + 1;
        }
        return row + static_cast<int>(QelUtilStringListGetCount(existingDatasetVarNames)) - lastExistingRow;
    }

    const char* firstExistingName(const toolbox::StringList& names) const {
        for (long index = 0; index < names.size(); ++index) {
            const char* name = names[index];
            if (name && information.getVariableStatus(name) < VariablesInformationRepository::Combined)
                return name;
        }
        return nullptr;
    }

    void removeFromVarNumMap(const std::set<int>& erasedRows) {
        int erasedAbove = 0;
        for (int row = 0; row < model.size(); ++row) {
            const std::string text = model.getRawStr(row);
            if (erasedRows.count(row)) {
                varNumMap.erase(text);
                ++erasedAbove;
            } else {
                number(text, row - erasedAbove + 1);
            }
        }
    }

    std::string decorateVarName(const std::string& text) const {
        if (text.empty())
            return {};
        StringList_s* split = QelUtilStringListFromNLString(text.c_str());
        if (!split)
            return {};
        const toolbox::StringList names(split);
        std::string body;
        bool occurs[4] = {false, false, false, false};
        for (long index = 0; index < names.size(); ++index) {
            const char* name = names[index];
            if (!name)
                continue;
            if (index != 0)
                body += ';';
            const Status status = information.getVariableStatus(name);
            if (status <= VariablesInformationRepository::New)
                occurs[status] = true;
            body += "<span class='";
            body += cssClass(status);
            body += "'>";
            body += htmlEscaped(name);
            body += "</span>";
        }
        const auto found = varNumMap.find(text);
        return styleBlock(occurs) + numberPrefix(found == varNumMap.end() ? 0 : found->second) + body;
    }
};

VariablesToLoadStringListModel::VariablesToLoadStringListModel(
    const VariablesInformationRepository& information)
    : m_impl(std::make_unique<Impl>(*this, information)) {}

VariablesToLoadStringListModel::~VariablesToLoadStringListModel() = default;

void VariablesToLoadStringListModel::setExistingDatasetVarNames(StringList_s* existing) {
    m_impl->existingDatasetVarNames = existing;
}

std::string VariablesToLoadStringListModel::getRawStr(int row) const {
    return StringListModel::getStr(row);
}

std::string VariablesToLoadStringListModel::getStr(int row) const {
    return m_impl->decorateVarName(getRawStr(row));
}

StringList_s* VariablesToLoadStringListModel::getStringList() const {
    // A copy the kernel could not make must not pass for an empty to-load list.
    toolbox::StringList list = toolbox::adoptNewList(StringListModel::getStringList());
    for (const long position : m_impl->nullPositions) {
        if (!QelUtilStringListInsertString(list.getRef(), position, nullptr))
            throw std::bad_alloc();
    }
    return list.release();
}

void VariablesToLoadStringListModel::setValues(StringList_s* values) {
    toolbox::StringList entries = toolbox::adoptNewList(QelUtilStringListAlloc());
    m_impl->nullPositions.clear();
    const long count = QelUtilStringListGetCount(values);
    for (long position = 1; position <= count; ++position) {
        const char* text = QelUtilStringListGetRawStringPtr(values, position);
        if (!text)
            m_impl->nullPositions.push_back(position);
        else if (!entries.append(text))
            throw std::bad_alloc();
    }
    m_impl->varNumMap.clear();
    m_impl->lastExistingRow = 0;
    for (long index = 0; index < entries.size(); ++index)
        m_impl->number(entries.get(index), static_cast<int>(index) + 1);
    StringListModel::setValues(entries.getRef());
}

void VariablesToLoadStringListModel::append(const std::string& text) {
    m_impl->number(text, size() + 1);
    StringListModel::append(text);
}

void VariablesToLoadStringListModel::append(const std::vector<std::string>& texts) {
    int row = size();
    for (const std::string& text : texts)
        m_impl->number(text, ++row);
    StringListModel::append(texts);
}

void VariablesToLoadStringListModel::erase(int row) {
    m_impl->removeFromVarNumMap({row});
    StringListModel::erase(row);
}

void VariablesToLoadStringListModel::erase(const std::set<int>& rows) {
    m_impl->removeFromVarNumMap(rows);
    StringListModel::erase(rows);
}

void VariablesToLoadStringListModel::clear() {
    StringListModel::clear();
    m_impl->varNumMap.clear();
    m_impl->lastExistingRow = 0;
}

} // namespace qelmar::sdk::ui::postload
