#include "host/StringListWithHeadersModel.h"

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

StringListWithHeadersModel::StringListWithHeadersModel() = default;

StringListWithHeadersModel::StringListWithHeadersModel(std::vector<std::string> strings)
    : StringListModel(std::move(strings)) {}

StringListWithHeadersModel::~StringListWithHeadersModel() = default;

void StringListWithHeadersModel::appendHeader(const std::string& text) {
    insertRows(size(), {text}, true);
}

void StringListWithHeadersModel::insertHeader(int row, const std::string& text) {
    insertRows(row, {text}, true);
}

void StringListWithHeadersModel::setHeader(int row, bool header) {
    setHeaderRow(row, header);
}

int StringListWithHeadersModel::headerCount() const {
    int headers = 0;
    for (int row = 0; row < size(); ++row)
        headers += isHeader(row) ? 1 : 0;
    return headers;
}

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
