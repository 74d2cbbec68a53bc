#include "host/StringListWithHeadersModel.h"
#include "propertyframework/models/ListModelProxy.h"
#include "propertyframework/models/PremappedListModel.h"

#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qelmar::sdk::ui::dialogs::propertybindings::models;

namespace {

// Every signal of a model as one readable line, in the order they came.
class ModelSpy {
public:
    template <typename T> explicit ModelSpy(const ListModelInterface<T>& model) {
        m_connections.add(model.connectToDataChangedSignal([this] { events.push_back("data"); }));
        m_connections.add(model.connectToItemChangedSignal(
            [this](int row) { events.push_back("item " + std::to_string(row)); }));
        m_connections.add(model.connectToItemsInsertedSignal([this](int first, int last) {
            events.push_back("inserted " + std::to_string(first) + "-" + std::to_string(last));
        }));
        m_connections.add(model.connectToItemsRemovedSignal([this](int first, int last) {
            events.push_back("removed " + std::to_string(first) + "-" + std::to_string(last));
        }));
    }

    std::vector<std::string> events;

private:
    qelmar::sdk::SignalConnectionCollection m_connections;
};

using Events = std::vector<std::string>;

const ModelValueInfo<long> depths[] = {{"1 bit", 1}, {"4 bits", 4}, {"again 1 bit", 1}, {"8 bits", 8}};

} // namespace

TEST(PremappedListModelTest, IndexOfFindsTheFirstRowOfAValue) {
    const PremappedListModel<long> model(depths);
    EXPECT_EQ(model.size(), 4);
    EXPECT_EQ(model.indexOf(1), 0);
    EXPECT_EQ(model.indexOf(8), 3);
    EXPECT_EQ(model.indexOf(2), -1);
}

TEST(ListModelProxyTest, SetModelSwapsTheContentAndForwardsOnlyTheCurrentModel) {
    auto first = std::make_shared<StringListModel>(std::vector<std::string>{"a", "b"});
    const ListModelProxy<int> proxy(first);
    ModelSpy spy(proxy);

    first->append("c");
    EXPECT_EQ(proxy.size(), 3);
    EXPECT_EQ(proxy.getStr(2), "c");

    auto replacement = std::make_shared<StringListModel>(std::vector<std::string>{"x"});
    proxy.setModel(replacement);
    EXPECT_EQ(proxy.size(), 1);
    EXPECT_EQ(proxy.indexOf(0), 0);
    first->append("ignored");
    replacement->erase(0);
    EXPECT_EQ(spy.events, Events({"inserted 2-2", "data", "removed 0-0"}));
}

TEST(ListModelProxyTest, DestroyedProxyNoLongerListensToItsModel) {
    auto model = std::make_shared<StringListModel>();
    {
        const ListModelProxy<int> proxy(model);
        ModelSpy spy(proxy);
    }
    model->append("after");
    EXPECT_EQ(model->size(), 1);
}

TEST(StringListModelTest, EveryEditSignalsOnce) {
    StringListModel model;
    ModelSpy spy(model);
    model.append("a");
    model.append(std::vector<std::string>{"b", "c", "d"});
    model.insert(1, "between");
    model.setText(0, "A");
    model.setText(0, "A");
    model.erase(1);
    // Scattered rows cannot be one removed batch, so the whole list is announced.
    model.erase(std::set<int>{0, 2});
    model.erase(std::set<int>{1, 9});
    EXPECT_EQ(model.strings(), std::vector<std::string>({"b"}));
    model.clear();
    model.clear();
    EXPECT_EQ(spy.events, Events({"inserted 0-0", "inserted 1-3", "inserted 1-1", "item 0", "removed 1-1",
                                  "data", "removed 1-1", "data"}));
}

TEST(StringListModelTest, KernelListsGoInAndComeOutInOrder) {
    qelmar::standin::testing::KernelTestControl kernel;
    StringList_s* in = QelUtilStringListFromNLString("alpha\nbeta\ngamma");
    StringListModel model;
    ModelSpy spy(model);
    model.setValues(in);
    QelUtilStringListDealloc(&in);
    EXPECT_EQ(model.strings(), std::vector<std::string>({"alpha", "beta", "gamma"}));
    EXPECT_EQ(spy.events, Events({"data"}));

    StringList_s* out = model.getStringList();
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(QelUtilStringListGetCount(out), 3);
    EXPECT_STREQ(QelUtilStringListGetRawStringPtr(out, 3), "gamma");
    QelUtilStringListDealloc(&out);

    model.setValues(nullptr);
    EXPECT_EQ(model.size(), 0);
}

TEST(StringListWithHeadersModelTest, HeadersTakeRowsButHoldNoValue) {
    StringListWithHeadersModel model({"x", "y"});
    model.setEditable(true);
    ModelSpy spy(model);
    model.insertHeader(0, "File 1");
    model.appendHeader("File 2");
    EXPECT_EQ(model.size(), 4);
    EXPECT_TRUE(model.isHeader(0));
    EXPECT_FALSE(model.isHeader(1));
    EXPECT_EQ(model.indexOf(0), -1);
    EXPECT_EQ(model.indexOf(1), 1);
    EXPECT_FALSE(model.setEditedItem("renamed", 3));
    EXPECT_EQ(model.headerCount(), 2);

    model.setHeader(0, false);
    EXPECT_EQ(model.indexOf(0), 0);
    model.erase(3);
    EXPECT_EQ(model.headerCount(), 0);
    EXPECT_EQ(spy.events, Events({"inserted 0-0", "inserted 3-3", "item 0", "removed 3-3"}));
}
