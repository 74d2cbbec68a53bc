#pragma once

#include "propertyframework/models/ListModelAbstract.h"
#include "propertyframework/models/ModelValueInfo.h"

#include <cstdint>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// A model over a fixed table of label and value pairs. The table is not copied: it must outlive
// the model (the tables are static). Rows are not range-checked; the model never changes and
// so never signals.
template <typename T> class PremappedListModel : public ListModelAbstract<T> {
public:
    PremappedListModel(const ModelValueInfo<T>* table, std::int32_t length)
        : m_table(table)
        , m_length(length) {}

    template <std::size_t N>
    explicit PremappedListModel(const ModelValueInfo<T> (&table)[N])
        : PremappedListModel(table, static_cast<std::int32_t>(N)) {}

    int size() const override { return m_length; }
    T get(int row) const override { return m_table[row].value; }
    std::string getStr(int row) const override { return m_table[row].label; }

private:
    const ModelValueInfo<T>* m_table;
    std::int32_t m_length;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
