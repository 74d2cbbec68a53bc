#include "BindingTestSupport.h"
#include "bindings/ComboBoxPropertyBinding.h"
#include "bindings/ListViewPropertySynchronizer.h"
#include "host/StringListModel.h"
#include "kernel/testing/KernelTestControl.h"
#include "propertyframework/models/ListModelAbstract.h"
#include "propertyframework/models/ListModelProxy.h"
#include "propertyframework/models/PremappedListModel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

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

enum Format_e { Format_Png = 10, Format_Jpeg = 11, Format_Eps = 12, Format_Avi = 13 };

const ModelValueInfo<Format_e> imageFormats[] = {
    {"PNG", Format_Png}, {"JPEG", Format_Jpeg}, {"EPS", Format_Eps}};
const ModelValueInfo<Format_e> movieFormats[] = {{"AVI", Format_Avi}, {"PNG frames", Format_Png}};
const ModelValueInfo<long> depths[] = {{"1 bit", 1}, {"4 bits", 4}, {"8 bits", 8}};

std::shared_ptr<ListModelInterface<Format_e>> imageModel() {
    return std::make_shared<PremappedListModel<Format_e>>(imageFormats);
}

using Selection = std::set<int>;

} // namespace

TEST(ComboBoxPropertyBinding, ShowsTheModelAndFollowsThePropertyBothWays) {
    KernelTestControl kernel;
    QWidget form;
    auto* combo = new QComboBox(&form);
    auto property = std::make_shared<LockCheckingProperty<Format_e>>(Format_Jpeg);
    ComboBoxPropertyBinding<Format_e> binding(*combo, property, imageModel());

    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), "EPS");
    EXPECT_EQ(combo->currentIndex(), 1);

    combo->setCurrentIndex(2);
    EXPECT_EQ(property->retrieveValue(), Format_Eps);
    EXPECT_TRUE(property->storedUnderLock);
    property->setValue(Format_Png);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(property->stores, 2) << "showing the value must not come back as a choice";
}

TEST(ComboBoxPropertyBinding, NonEditableComboShowsAndTakesTheFirstItemForAValueNotInTheModel) {
    KernelTestControl kernel;
    QWidget form;
    auto* combo = new QComboBox(&form);
    auto property = std::make_shared<Property<Format_e>>(Format_Avi);
    ComboBoxPropertyBinding<Format_e> binding(*combo, property, imageModel());
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(property->retrieveValue(), Format_Png) << "the row shown is the value OK uses";
}

TEST(ComboBoxPropertyBinding, ProxyReplacingItsModelReloadsTheComboAtIdle) {
    KernelTestControl kernel;
    QWidget form;
    auto* combo = new QComboBox(&form);
    auto proxy = std::make_shared<ListModelProxy<Format_e>>(imageModel());
    auto property = std::make_shared<LockCheckingProperty<Format_e>>(Format_Png);
    ComboBoxPropertyBinding<Format_e> binding(*combo, property, proxy,
                                              BindingInterface::ModelUpdate_DeferredWhileBusy);

    proxy->setModel(std::make_shared<PremappedListModel<Format_e>>(movieFormats));
    EXPECT_FALSE(combo->updatesEnabled()) << "painting waits while the model is busy";
    processIdle();
    EXPECT_TRUE(combo->updatesEnabled());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "AVI");
    EXPECT_EQ(combo->currentIndex(), 1) << "the row of the property's value";
    EXPECT_EQ(property->retrieveValue(), Format_Png);
    EXPECT_EQ(property->stores, 0) << "the combo's own moves during the reload are not choices";

    // A value the new model lacks gives way to its first row, once the reload is done.
    proxy->setModel(imageModel());
    property->setValue(Format_Jpeg);
    proxy->setModel(std::make_shared<PremappedListModel<Format_e>>(movieFormats));
    processIdle();
    EXPECT_EQ(combo->currentText(), "AVI");
    EXPECT_EQ(property->retrieveValue(), Format_Avi);
}

TEST(ComboBoxPropertyBinding, EditableComboCommitsTypedNumbersAndShowsValuesOutsideTheModel) {
    KernelTestControl kernel;
    QWidget form;
    auto* combo = new QComboBox(&form);
    combo->setEditable(true);
    auto property = std::make_shared<Property<long>>(16);
    ComboBoxPropertyBinding<long> binding(*combo, property,
                                          std::make_shared<PremappedListModel<long>>(depths));

    EXPECT_EQ(combo->currentText(), "16");
    ASSERT_NE(combo->lineEdit()->validator(), nullptr);
    combo->lineEdit()->setText("24");
    EXPECT_TRUE(binding.editingFinished());
    EXPECT_EQ(property->retrieveValue(), 24);
    property->setValue(4);
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST(ComboBoxPropertyBinding, OutlivesItsComboBox) {
    auto property = std::make_shared<Property<Format_e>>(Format_Png);
    auto proxy = std::make_shared<ListModelProxy<Format_e>>(imageModel());
    auto form = std::make_unique<QWidget>();
    auto binding = std::make_unique<ComboBoxPropertyBinding<Format_e>>(
        *new QComboBox(form.get()), property, proxy, BindingInterface::ModelUpdate_DeferredWhileBusy);
    form.reset();
    property->setValue(Format_Eps);
    proxy->setModel(imageModel());
    processIdle();
    binding.reset();
    proxy->setModel(imageModel());
    processIdle();
}

namespace {

// A list view over string rows whose values are the row numbers, as the dialogs use them.
struct ListForm {
    explicit ListForm(BindingInterface::WidgetUpdateMode_e mode = BindingInterface::WidgetUpdate_Immediate) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        binding = ListViewPropertySynchronizer<Selection>::bind(*view, property, model, mode);
    }
    Selection selectedRows() const {
        Selection rows;
        for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
            rows.insert(index.row());
        return rows;
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    QWidget form;
    QListView* view = new QListView(&form);
    std::shared_ptr<StringListModel> model =
        std::make_shared<StringListModel>(std::vector<std::string>{"U", "V", "W", "X", "Y"});
    std::shared_ptr<LockCheckingProperty<Selection>> property =
        std::make_shared<LockCheckingProperty<Selection>>(Selection{1});
    std::unique_ptr<ListViewPropertyBinding> binding;
};

} // namespace

TEST(ListViewPropertySynchronizer, SelectionAndPropertyFollowEachOther) {
    KernelTestControl kernel;
    ListForm ui;
    ui.form.resize(200, 300);
    ui.form.show();
    EXPECT_EQ(ui.selectedRows(), Selection{1});

    ui.clickRow(3);
    ui.clickRow(4, Qt::ControlModifier);
    EXPECT_EQ(ui.property->retrieveValue(), (Selection{3, 4}));
    EXPECT_TRUE(ui.property->storedUnderLock);

    const int stores = ui.property->stores;
    ui.property->setValue(Selection{0, 2, 3});
    processIdle();
    EXPECT_EQ(ui.selectedRows(), (Selection{0, 2, 3}));
    EXPECT_EQ(ui.property->stores, stores + 1) << "rebuilding the selection must not store it again";
}

TEST(ListViewPropertySynchronizer, RemovedRowsLeaveTheProperty) {
    KernelTestControl kernel;
    for (const auto mode :
         {BindingInterface::WidgetUpdate_Immediate, BindingInterface::WidgetUpdate_OnIdle}) {
        ListForm ui(mode);
        ui.property->setValue(Selection{0, 4});
        processIdle();
        ASSERT_EQ(ui.selectedRows(), (Selection{0, 4}));

        ui.model->erase(4);
        processIdle();
        EXPECT_EQ(ui.property->retrieveValue(), Selection{0}) << "mode " << mode;
        EXPECT_EQ(ui.selectedRows(), Selection{0});

        ui.model->clear();
        processIdle();
        EXPECT_TRUE(ui.property->retrieveValue().empty());
        EXPECT_TRUE(ui.selectedRows().empty());
    }
}

TEST(ListViewPropertySynchronizer, RefusedSelectionIsShownAndTheViewReturns) {
    KernelTestControl kernel;
    QWidget form;
    auto* view = new QListView(&form);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto model = std::make_shared<StringListModel>(std::vector<std::string>{"a", "b", "c"});
    auto property = std::make_shared<Property<Selection>>(
        Selection{0}, std::make_shared<RefusingValidator<Selection>>(Selection{2}, "Cannot use c alone."));
    auto binding = ListViewPropertySynchronizer<Selection>::bind(*view, property, model);

    view->selectionModel()->select(view->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(property->retrieveValue(), Selection{0});
    ASSERT_EQ(kernel.messagesOfType(0).size(), 1u);
    EXPECT_EQ(kernel.messagesOfType(0).front().text, "Cannot use c alone.");
    EXPECT_TRUE(view->selectionModel()->isRowSelected(0, QModelIndex()));
    EXPECT_FALSE(view->selectionModel()->isRowSelected(2, QModelIndex()));
}

TEST(ListViewPropertySynchronizer, ViewDestroyedBeforeTheBindingLeavesNothingBehind) {
    KernelTestControl kernel;
    auto ui = std::make_unique<ListForm>(BindingInterface::WidgetUpdate_OnIdle);
    auto binding = std::move(ui->binding);
    auto model = ui->model;
    auto property = ui->property;
    ui.reset();
    property->setValue(Selection{2});
    model->erase(0);
    processIdle();
    binding.reset();
    model->erase(0);
    property->setValue(Selection{});
    processIdle();
}

namespace {

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

INSTANTIATE_TEST_SUITE_P(
    BothUpdateModes, ListViewSelectionOnModelChange,
    ::testing::Values(BindingInterface::WidgetUpdate_Immediate, BindingInterface::WidgetUpdate_OnIdle),
    [](const ::testing::TestParamInfo<Mode>& info) {
        return std::string(info.param == BindingInterface::WidgetUpdate_Immediate ? "Immediate" : "OnIdle");
    });
