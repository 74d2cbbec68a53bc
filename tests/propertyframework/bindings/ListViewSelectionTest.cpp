#include "BindingTestSupport.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/bindings/ListViewPropertySynchronizer.h"
#include "propertyframework/models/ListModelAbstract.h"

#include <gtest/gtest.h>

#include <QListView>

#include <set>
#include <string>
#include <vector>

using namespace qelmar;
using namespace qelmar::sdk::ui::dialogs;
using namespace qelmar::sdk::ui::dialogs::propertybindings;
using namespace qelmar::sdk::ui::dialogs::propertybindings::models;
using namespace bindingtest;
using qelmar::standin::testing::KernelTestControl;

namespace {

using Selection = std::set<int>;
using Mode = BindingInterface::WidgetUpdateMode_e;

// Rows whose values are not their row numbers, so that a row read without mapping it through
// a change gives a wrong value instead of a lucky right one.
class ValueListModel : public ListModelAbstract<int> {
public:
    explicit ValueListModel(std::vector<int> values)
        : m_values(std::move(values)) {}
    int size() const override { return static_cast<int>(m_values.size()); }
    int get(int row) const override { return m_values.at(row); }
    std::string getStr(int row) const override { return std::to_string(m_values.at(row)); }

    void eraseValue(int value) {
        for (int row = 0; row < size(); ++row) {
            if (m_values[row] == value) {
                m_values.erase(m_values.begin() + row);
                emitItemsRemoved(row, row);
                return;
            }
        }
    }
    void replaceAll(std::vector<int> values) {
        m_values = std::move(values);
        emitDataChanged();
    }

private:
    std::vector<int> m_values;
};

struct ValueListForm {
    explicit ValueListForm(Mode mode) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        binding = ListViewPropertySynchronizer<Selection>::bind(*view, property, model, mode);
    }
    Selection selectedValues() const {
        Selection values;
        for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
            values.insert(model->get(index.row()));
        return values;
    }

    QWidget form;
    QListView* view = new QListView(&form);
    std::shared_ptr<ValueListModel> model =
        std::make_shared<ValueListModel>(std::vector<int>{10, 20, 30, 40, 50});
    std::shared_ptr<LockCheckingProperty<Selection>> property =
        std::make_shared<LockCheckingProperty<Selection>>(Selection{20, 40});
    std::unique_ptr<ListViewPropertyBinding> binding;
};

struct RemovalCase {
    Selection selected;
    int removed;
    Selection expected;
};

class ListViewSelectionOnModelChange : public ::testing::TestWithParam<Mode> {
protected:
    KernelTestControl kernel;
};

} // namespace

// Removing a row may only take that row's value out of the selection: the other selected
// values stay, and no value the user never chose comes in.
TEST_P(ListViewSelectionOnModelChange, RemovingARowKeepsTheOtherSelectedValues) {
    const RemovalCase cases[] = {
        {{20, 40}, 20, {40}},     // selected middle row
        {{20, 40}, 30, {20, 40}}, // unselected row between selected ones
        {{10, 30}, 10, {30}},     // selected first row
        {{20, 40}, 10, {20, 40}}, // unselected first row
        {{20, 50}, 50, {20}},     // selected last row
        {{10, 30}, 50, {10, 30}}, // unselected last row
        {{10, 20, 30, 40, 50}, 30, {10, 20, 40, 50}},
    };
    for (const RemovalCase& removal : cases) {
        ValueListForm ui(GetParam());
        ui.property->setValue(removal.selected);
        processIdle();
        ASSERT_EQ(ui.selectedValues(), removal.selected);

        ui.model->eraseValue(removal.removed);
        processIdle();
        EXPECT_EQ(ui.property->retrieveValue(), removal.expected) << "removed " << removal.removed;
        EXPECT_EQ(ui.selectedValues(), removal.expected) << "removed " << removal.removed;
    }
}

TEST_P(ListViewSelectionOnModelChange, ResetKeepsTheValuesThatAreStillOffered) {
    ValueListForm ui(GetParam());
    processIdle();
    ui.model->replaceAll({40, 60, 20});
    processIdle();
    EXPECT_EQ(ui.property->retrieveValue(), (Selection{20, 40}));
    EXPECT_EQ(ui.selectedValues(), (Selection{20, 40}));

    ui.model->replaceAll({70});
    processIdle();
    EXPECT_TRUE(ui.property->retrieveValue().empty());
    EXPECT_TRUE(ui.selectedValues().empty());
}

INSTANTIATE_TEST_SUITE_P(BothUpdateModes, ListViewSelectionOnModelChange,
                         ::testing::Values(BindingInterface::WidgetUpdate_Immediate,
                                           BindingInterface::WidgetUpdate_OnIdle));
