#include "host/BooleanPropertyDependentRelevance.h"
#include "host/StringListModel.h"
#include "propertyframework/ModelDependentRelevance.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyDependentRelevance.h"
#include "propertyframework/PropertyPredicateDependentRelevance.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace qelmar;
using namespace qelmar::sdk::ui::propertymanager;
using qelmar::sdk::ui::dialogs::propertybindings::models::StringListModel;

namespace {

struct NotificationCounter {
    explicit NotificationCounter(const RelevanceInterface& relevance)
        : connection(relevance.connectToRelevanceChangedSignal([this] { ++count; })) {}
    int count = 0;
    boost::signals2::scoped_connection connection;
};

enum Format { Png, Jpeg, Eps, Ps };

} // namespace

TEST(PropertyDependentRelevanceTest, FollowsTheValueAndNotifiesOnEveryChange) {
    auto format = std::make_shared<Property<Format>>(Png);
    const PropertyDependentRelevance<Format> epsOnly(format, Eps);
    NotificationCounter counter(epsOnly);

    EXPECT_FALSE(epsOnly.isRelevant());
    format->setValue(Eps);
    EXPECT_TRUE(epsOnly.isRelevant());
    format->setValue(Eps);
    format->setValue(Jpeg);
    // Between two formats that both leave it irrelevant, it still notifies.
    format->setValue(Ps);
    EXPECT_FALSE(epsOnly.isRelevant());
    EXPECT_EQ(counter.count, 3);

    const PropertyDependentRelevance<Format> vector(format, {Eps, Ps});
    EXPECT_TRUE(vector.isRelevant());
}

TEST(PropertyDependentRelevanceTest, RelevanceDestroyedFirstLeavesNoSlotBehind) {
    auto flag = std::make_shared<Property<bool>>(false);
    const std::size_t slotsBefore = flag->valueChangedSlotCount();
    {
        const BooleanPropertyDependentRelevance relevance(flag);
        NotificationCounter counter(relevance);
        flag->setValue(true);
        EXPECT_TRUE(relevance.isRelevant());
        EXPECT_EQ(counter.count, 1);
    }
    EXPECT_EQ(flag->valueChangedSlotCount(), slotsBefore);
    flag->setValue(false);
}

TEST(ModelDependentRelevanceTest, NotifiesOncePerBatch) {
    StringListModel model;
    const ModelDependentRelevance<int> notEmpty(model, [&model] { return model.size() > 0; });
    NotificationCounter counter(notEmpty);

    EXPECT_FALSE(notEmpty.isRelevant());
    model.append(std::vector<std::string>{"a.plt", "b.plt", "c.plt"});
    EXPECT_EQ(counter.count, 1);
    EXPECT_TRUE(notEmpty.isRelevant());
    model.erase(std::set<int>{0, 1});
    EXPECT_EQ(counter.count, 2);
    model.setText(0, "d.plt");
    model.clear();
    EXPECT_EQ(counter.count, 4);
    EXPECT_FALSE(notEmpty.isRelevant());
}

TEST(PropertyPredicateDependentRelevanceTest, AsksThePredicateAfterEachUntypedChange) {
    auto selection = std::make_shared<Property<std::set<int>>>();
    const PropertyPredicateDependentRelevance anySelected(
        selection, [selection] { return !selection->retrieveValue().empty(); });
    NotificationCounter counter(anySelected);

    selection->setValue({2});
    EXPECT_TRUE(anySelected.isRelevant());
    selection->setValue({2});
    selection->setValue({});
    EXPECT_FALSE(anySelected.isRelevant());
    EXPECT_EQ(counter.count, 2);
}
