#pragma once

#include "propertyframework/models/ListModelInterface.h"

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// Base of read-only models: nothing can be set or edited and no row is a heading.
template <typename T> class ListModelAbstract : public virtual ListModelInterface<T> {
public:
    std::string getStrForEdit(int row) const override { return this->getStr(row); }
    void set(T, int) override {}
    bool setEditedItem(const std::string&, int) const override { return false; }
    bool isEditable() const override { return false; }
    bool isHeader(int) const override { return false; }

    int indexOf(const T& value) const override {
        const int rows = this->size();
        for (int row = 0; row < rows; ++row) {
            if (this->get(row) == value)
                return row;
        }
        return -1;
    }
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
