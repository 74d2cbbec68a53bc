#pragma once

#include "host/StringListModel.h"

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// A string list model whose rows may be headings: a heading is shown but is neither enabled,
// editable nor selectable, and no value maps to it. Heading rows keep their place among the
// other rows, so rows still count through them.
class StringListWithHeadersModel : public StringListModel {
public:
    StringListWithHeadersModel();
    explicit StringListWithHeadersModel(std::vector<std::string> strings);
    ~StringListWithHeadersModel() override;

    void appendHeader(const std::string& text);
    void insertHeader(int row, const std::string& text);
    // Turns an existing row into a heading or back into an ordinary entry.
    void setHeader(int row, bool header);
    int headerCount() const;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
