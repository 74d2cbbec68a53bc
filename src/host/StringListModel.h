#pragma once

#include "host/KernelStrings.h"
#include "propertyframework/models/ListModelInterface.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// A list of strings as a list model: the value of a row is its row number, the text is the
// string. Every change signals once: appends and inserts as one inserted batch, a removal of
// contiguous rows as one removed batch, anything larger (replacing the content, clearing,
// removing scattered rows) as data changed.
//
// The editing operations never call each other, so a derived model that overrides one of them
// sees each change exactly once.
class StringListModel : public virtual ListModelInterface<int> {
public:
    StringListModel();
    explicit StringListModel(std::vector<std::string> strings);
    ~StringListModel() override;

    int size() const override;
    int get(int row) const override;
    std::string getStr(int row) const override;
    std::string_view getStrView(int row, std::string& buffer) const override;
    // The stored text of a row, without a copy; empty for a row that does not exist.
    const std::string& text(int row) const;
    std::string getStrForEdit(int row) const override;
    // Values are row numbers, so there is nothing to set.
    void set(int value, int row) override;
    bool setEditedItem(const std::string& text, int row) const override;
    bool isEditable() const override;
    bool isHeader(int row) const override;
    int indexOf(const int& value) const override;

    // A new kernel list with every row's text; the caller frees it with QelUtilStringListDealloc.
    // Null only when the kernel cannot allocate.
    virtual StringList_s* getStringList() const;
    // Replaces the content with the non-null entries of a kernel list (null clears the model).
    virtual void setValues(StringList_s* values);
    virtual void append(const std::string& text);
    virtual void append(const std::vector<std::string>& texts);
    virtual void erase(int row);
    virtual void erase(const std::set<int>& rows);
    virtual void clear();
    virtual void insert(int row, const std::string& text);
    virtual void setText(int row, const std::string& text);

    void setStrings(std::vector<std::string> strings);
    std::vector<std::string> strings() const;

    // Whether views may edit the texts; off by default.
    void setEditable(bool editable);

protected:
    // For models with heading rows: inserts rows that are shown but cannot be selected.
    void insertRows(int row, const std::vector<std::string>& texts, bool headers);
    void insertRows(int row, const std::string* texts, std::size_t count, bool headers);
    void setHeaderRow(int row, bool header);
    bool isValidRow(int row) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
