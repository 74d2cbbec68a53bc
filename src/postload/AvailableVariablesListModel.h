#pragma once

#include "host/StringListWithHeadersModel.h"
#include "postload/HtmlEscaped.h"

#include <string>

namespace qelmar::sdk::ui::postload {

// The "Available variables" list. Its view paints rows as HTML, so a row's display text is the
// name escaped, its blanks kept; the names themselves (getName, strings, getStringList) stay
// as the files wrote them.
class AvailableVariablesListModel : public dialogs::propertybindings::models::StringListWithHeadersModel {
public:
    std::string getStr(int row) const override {
        return "<span style='white-space:pre'>" + htmlEscaped(getName(row)) + "</span>";
    }
    std::string getName(int row) const { return StringListModel::getStr(row); }
};

} // namespace qelmar::sdk::ui::postload
