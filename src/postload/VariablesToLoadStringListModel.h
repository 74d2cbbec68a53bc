#pragma once

#include "host/StringListModel.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qelmar::sdk::ui::postload {

class VariablesInformationRepository;

// The "Variables to load" list: one entry per variable of the resulting data set (its names
// separated by LF), shown as HTML with the variable's future number and each name coloured by
// its status. Null entries of the list given to setValues come back in place from
// getStringList.
class VariablesToLoadStringListModel : public dialogs::propertybindings::models::StringListModel {
public:
    explicit VariablesToLoadStringListModel(const VariablesInformationRepository& information);
    ~VariablesToLoadStringListModel() override;

    // The data set's variable-name list the numbers follow; not owned, may be null.
    void setExistingDatasetVarNames(StringList_s* existing);
    // The entry's text, without decoration.
    std::string getRawStr(int row) const;

    std::string getStr(int row) const override;
    StringList_s* getStringList() const override;
    void setValues(StringList_s* values) override;
    void append(const std::string& text) override;
    void append(const std::vector<std::string>& texts) override;
    void erase(int row) override;
    void erase(const std::set<int>& rows) override;
    void clear() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
