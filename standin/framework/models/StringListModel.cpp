#include "host/StringListModel.h"
#include "host/KernelHandle.h"
#include "host/StringListWithHeadersModel.h"

#include <algorithm>
#include <iterator>
#include <typeinfo>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

namespace {

struct Row {
    std::string text;
    bool header = false;
};

bool isContiguous(const std::set<int>& rows) {
    return !rows.empty() && *rows.rbegin() - *rows.begin() + 1 == static_cast<int>(rows.size());
}

} // namespace

struct StringListModel::Impl {
    std::vector<Row> rows;
    bool editable = false;

    void assign(std::vector<std::string> strings) {
        rows.clear();
        rows.reserve(strings.size());
        for (auto& text : strings)
            rows.push_back(Row{std::move(text), false});
    }
};

StringListModel::StringListModel()
    : m_impl(std::make_unique<Impl>()) {}

StringListModel::StringListModel(std::vector<std::string> strings)
    : StringListModel() {
    m_impl->assign(std::move(strings));
}

StringListModel::~StringListModel() = default;

int StringListModel::size() const {
    return static_cast<int>(m_impl->rows.size());
}

int StringListModel::get(int row) const {
    return row;
}

std::string StringListModel::getStr(int row) const {
    return text(row);
}

std::string_view StringListModel::getStrView(int row, std::string& buffer) const {
    // A derived model may show other texts than it stores, by overriding getStr; only the models
    // known to show their texts as stored hand them out directly.
    if (typeid(*this) != typeid(StringListModel) && typeid(*this) != typeid(StringListWithHeadersModel))
        return ListModelInterface<int>::getStrView(row, buffer);
    return text(row);
}

const std::string& StringListModel::text(int row) const {
    static const std::string none;
    return isValidRow(row) ? m_impl->rows[row].text : none;
}

std::string StringListModel::getStrForEdit(int row) const {
    return StringListModel::getStr(row);
}

void StringListModel::set(int, int) {}

bool StringListModel::setEditedItem(const std::string& text, int row) const {
    if (!m_impl->editable || !isValidRow(row) || m_impl->rows[row].header)
        return false;
    if (m_impl->rows[row].text != text) {
        m_impl->rows[row].text = text;
        emitItemChanged(row);
    }
    return true;
}

bool StringListModel::isEditable() const {
    return m_impl->editable;
}

bool StringListModel::isHeader(int row) const {
    return isValidRow(row) && m_impl->rows[row].header;
}

int StringListModel::indexOf(const int& value) const {
    return isValidRow(value) && !m_impl->rows[value].header ? value : -1;
}

StringList_s* StringListModel::getStringList() const {
    sdk::KernelHandle<StringList_s, QelUtilStringListDealloc> list(QelUtilStringListAlloc());
    if (list.isNull())
        return nullptr;
    for (const Row& row : m_impl->rows) {
        if (!QelUtilStringListAppendString(list.get(), row.text.c_str()))
            return nullptr;
    }
    return list.release();
}

void StringListModel::setValues(StringList_s* values) {
    std::vector<std::string> strings;
    const long count = values ? QelUtilStringListGetCount(values) : 0;
    strings.reserve(static_cast<std::size_t>(std::max(count, 0L)));
    for (long position = 1; position <= count; ++position) {
        if (const char* text = QelUtilStringListGetRawStringPtr(values, position))
            strings.emplace_back(text);
    }
    setStrings(std::move(strings));
}

void StringListModel::append(const std::string& text) {
    insertRows(size(), &text, 1, false);
}

void StringListModel::append(const std::vector<std::string>& texts) {
    insertRows(size(), texts, false);
}

void StringListModel::insert(int row, const std::string& text) {
    insertRows(row, &text, 1, false);
}

void StringListModel::erase(int row) {
    if (!isValidRow(row))
        return;
    m_impl->rows.erase(m_impl->rows.begin() + row);
    emitItemsRemoved(row, row);
}

void StringListModel::erase(const std::set<int>& rows) {
    std::set<int> valid;
    std::copy_if(rows.begin(), rows.end(), std::inserter(valid, valid.end()),
                 [this](int row) { return isValidRow(row); });
    if (valid.empty())
        return;
    // Highest row first, so that the rows still to go keep their numbers.
    for (auto it = valid.rbegin(); it != valid.rend(); ++it)
        m_impl->rows.erase(m_impl->rows.begin() + *it);
    if (isContiguous(valid))
        emitItemsRemoved(*valid.begin(), *valid.rbegin());
    else
        emitDataChanged();
}

void StringListModel::clear() {
    if (m_impl->rows.empty())
        return;
    m_impl->rows.clear();
    emitDataChanged();
}

void StringListModel::setText(int row, const std::string& text) {
    if (!isValidRow(row) || m_impl->rows[row].text == text)
        return;
    m_impl->rows[row].text = text;
    emitItemChanged(row);
}

void StringListModel::setStrings(std::vector<std::string> strings) {
    m_impl->assign(std::move(strings));
    emitDataChanged();
}

std::vector<std::string> StringListModel::strings() const {
    std::vector<std::string> strings;
    strings.reserve(m_impl->rows.size());
    for (const Row& row : m_impl->rows)
        strings.push_back(row.text);
    return strings;
}

void StringListModel::setEditable(bool editable) {
    if (m_impl->editable == editable)
        return;
    m_impl->editable = editable;
    // Views take the editable flag from the items, so they have to look again.
    if (!m_impl->rows.empty())
        emitDataChanged();
}

void StringListModel::insertRows(int row, const std::vector<std::string>& texts, bool headers) {
    insertRows(row, texts.data(), texts.size(), headers);
}

void StringListModel::insertRows(int row, const std::string* texts, std::size_t count, bool headers) {
    if (count == 0)
        return;
    row = std::clamp(row, 0, size());
    // Empty rows first, then each text copied once into its place.
    std::vector<Row>& rows = m_impl->rows;
    rows.insert(rows.begin() + row, count, Row{std::string(), headers});
    for (std::size_t i = 0; i < count; ++i)
        rows[static_cast<std::size_t>(row) + i].text = texts[i];
    emitItemsInserted(row, row + static_cast<int>(count) - 1);
}

void StringListModel::setHeaderRow(int row, bool header) {
    if (!isValidRow(row) || m_impl->rows[row].header == header)
        return;
    m_impl->rows[row].header = header;
    emitItemChanged(row);
}

bool StringListModel::isValidRow(int row) const {
    // Not through size(): views ask for every row on every paint, and size() is a virtual call
    // through the virtual base.
    return row >= 0 && static_cast<std::size_t>(row) < m_impl->rows.size();
}

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
