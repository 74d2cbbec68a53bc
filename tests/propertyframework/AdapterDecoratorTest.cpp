#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyDecoratorAbstract.h"
#include "propertyframework/PropertyTypeAdapter.h"
#include "propertyframework/SliderProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace qelmar;

namespace {

template <typename T> struct Spy {
    explicit Spy(const PropertyAbstract<T>& property)
        : connection(
              property.connectToValueChangedSignalUnique([this](const T& v) { values.push_back(v); })) {}
    std::vector<T> values;
    boost::signals2::scoped_connection connection;
};

template <typename Adapter>
std::string rejectionOf(Adapter& adapter, const typename Adapter::ValueType& value) {
    try {
        adapter.setValue(value);
    } catch (const InvalidPropertyValueException& error) {
        return error.message();
    }
    return "accepted";
}

class ValidatorDecorator : public PropertyDecoratorAbstract<int> {
public:
    using PropertyDecoratorAbstract<int>::PropertyDecoratorAbstract;
    int retrieveValue() const override { return decorated()->retrieveValue(); }

protected:
    void storeValue(const int& value) override { setDecoratedValue(value); }
};

} // namespace

TEST(PropertyTypeAdapterTest, LongOverIntRejectsWhatIntCannotHold) {
    auto source = std::make_shared<Property<int>>(7);
    PropertyTypeAdapter<long, int> adapter(source);
    EXPECT_EQ(rejectionOf(adapter, 2147483648L), "Invalid value.");
    EXPECT_EQ(source->retrieveValue(), 7);
    EXPECT_EQ(adapter.validator()->validate(2147483648L).errorString(), "Invalid value.");
    EXPECT_EQ(rejectionOf(adapter, -2147483648L), "accepted");
    EXPECT_EQ(source->retrieveValue(), -2147483647 - 1);
}

TEST(PropertyTypeAdapterTest, ValidatorAsksTheSourcesValidatorWithTheConvertedValue) {
    auto source = std::make_shared<Property<int>>(5, std::make_shared<BoundedValueValidator<int>>(1, 10));
    PropertyTypeAdapter<long, int> adapter(source);
    EXPECT_TRUE(adapter.validator()->validate(10L).isValid());
    EXPECT_FALSE(adapter.validator()->validate(11L).isValid());
    EXPECT_THROW(adapter.setValue(11L), InvalidPropertyValueException);
    EXPECT_EQ(source->retrieveValue(), 5);
}

TEST(PropertyTypeAdapterTest, LongOverDoubleReadsTheWholeNumberPart) {
    auto source = std::make_shared<Property<double>>(2.5);
    PropertyTypeAdapter<long, double> adapter(source);
    EXPECT_EQ(adapter.retrieveValue(), 2);
    source->setValue(-2.5);
    EXPECT_EQ(adapter.retrieveValue(), -2);
    adapter.setValue(42);
    EXPECT_EQ(source->retrieveValue(), 42.0);
}

TEST(PropertyTypeAdapterTest, StringOverDoubleConvertsBothWays) {
    auto source = std::make_shared<Property<double>>(0.1);
    PropertyTypeAdapter<std::string, double> adapter(source);
    EXPECT_EQ(adapter.retrieveValue(), "0.1");
    EXPECT_EQ(rejectionOf(adapter, "abc"), "Invalid value.");
    EXPECT_EQ(rejectionOf(adapter, "1.5 "), "Invalid value.");
    EXPECT_EQ(source->retrieveValue(), 0.1);
    adapter.setValue("1e3");
    EXPECT_EQ(source->retrieveValue(), 1000.0);
    adapter.setValue("-INF");
    EXPECT_EQ(source->retrieveValue(), -HUGE_VAL);
    adapter.setValue("NaN");
    EXPECT_TRUE(std::isnan(source->retrieveValue()));
}

TEST(PropertyTypeAdapterTest, EachChangeIsAnnouncedOnceWhicheverSideMadeIt) {
    auto source = std::make_shared<Property<int>>(1);
    PropertyTypeAdapter<long, int> adapter(source);
    Spy<long> adapterSpy(adapter);
    Spy<int> sourceSpy(*source);

    source->setValue(2);
    EXPECT_EQ(adapterSpy.values, std::vector<long>({2}));
    adapter.setValue(3);
    EXPECT_EQ(adapterSpy.values, std::vector<long>({2, 3}));
    EXPECT_EQ(sourceSpy.values, std::vector<int>({2, 3}));
    // After a store the adapter still follows the source.
    source->setValue(4);
    EXPECT_EQ(adapterSpy.values, std::vector<long>({2, 3, 4}));
}

TEST(PropertyTypeAdapterTest, SourceOutlivingTheAdapterCallsNothingInIt) {
    auto source = std::make_shared<Property<int>>(1);
    const std::size_t slotsBefore = source->valueChangedSlotCount();
    {
        PropertyTypeAdapter<long, int> adapter(source);
        EXPECT_EQ(source->valueChangedSlotCount(), slotsBefore + 1);
    }
    EXPECT_EQ(source->valueChangedSlotCount(), slotsBefore);
    source->setValue(2);
}

TEST(PropertyDecoratorTest, BothValidatorsApplyAndChangesFlowBothWays) {
    auto decorated =
        std::make_shared<Property<int>>(50, std::make_shared<BoundedValueValidator<int>>(0, 1000));
    ValidatorDecorator decorator(decorated, std::make_shared<BoundedValueValidator<int>>(1, 100));
    Spy<int> spy(decorator);

    EXPECT_EQ(rejectionOf(decorator, 101),
              "The value must be greater than or equal to 1 and less than or equal to 100.");
    EXPECT_EQ(decorated->retrieveValue(), 50);

    decorator.setValue(60);
    EXPECT_EQ(decorated->retrieveValue(), 60);
    decorated->setValue(70);
    EXPECT_EQ(decorator.retrieveValue(), 70);
    EXPECT_EQ(spy.values, std::vector<int>({60, 70}));
}

TEST(SliderPropertiesTest, PropertyNotifiesOnlyWhenAFieldChanged) {
    using qelmar::sdk::ui::propertymanager::SliderProperties;
    Property<SliderProperties<long>> property(SliderProperties<long>(1, 100, 1));
    Spy<SliderProperties<long>> spy(property);
    property.setValue(SliderProperties<long>(1, 100, 1));
    EXPECT_TRUE(spy.values.empty());

    SliderProperties<long> wider = property.retrieveValue();
    wider.setMax(200);
    property.setValue(wider);
    ASSERT_EQ(spy.values.size(), 1u);
    EXPECT_EQ(spy.values[0].max(), 200);
    EXPECT_NE(spy.values[0], SliderProperties<long>(1, 100, 1));
}
