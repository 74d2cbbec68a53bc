#include "propertyframework/Property.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/RawArray.h"

#include <gtest/gtest.h>

#include <boost/bind/bind.hpp>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace qelmar;

namespace {

struct Recorder {
    std::vector<int> values;
    void record(const int& value) { values.push_back(value); }
};

// Stores a different value than it was given, to show which one the signal carries.
class RoundingProperty : public Property<int> {
public:
    using Property<int>::Property;

protected:
    void storeValue(const int& value) override { Property<int>::storeValue(value / 10 * 10); }
};

} // namespace

TEST(PropertyTest, SignalsOnlyRealChangesWithTheValueReadBack) {
    RoundingProperty property(0);
    Recorder recorder;
    int untyped = 0;
    property.connectToValueChangedSignal(boost::bind(&Recorder::record, &recorder, boost::placeholders::_1));
    boost::signals2::scoped_connection c = property.connectToPropertyChangedSignal([&] { ++untyped; });

    property.setValue(0);
    property.setValue(47);
    property.setValue(40);
    property.setValue(55);

    EXPECT_EQ(recorder.values, std::vector<int>({40, 50}));
    EXPECT_EQ(untyped, 2);
    EXPECT_EQ(property.retrieveValue(), 50);
}

TEST(PropertyTest, RejectedValueKeepsTheOldOneAndSignalsNothing) {
    Property<int> property(5, std::make_shared<BoundedValueValidator<int>>(1, 100));
    int notifications = 0;
    boost::signals2::scoped_connection c =
        property.connectToValueChangedSignalUnique([&](const int&) { ++notifications; });

    try {
        property.setValue(101);
        FAIL() << "a value above the bound was taken";
    } catch (const InvalidPropertyValueException& error) {
        EXPECT_EQ(error.message(),
                  "The value must be greater than or equal to 1 and less than or equal to 100.");
        EXPECT_TRUE(error.isForUser());
    }
    EXPECT_EQ(property.retrieveValue(), 5);
    EXPECT_EQ(notifications, 0);
}

TEST(PropertyTest, ConnectingTheSameSlotTwiceLeavesOneConnection) {
    Property<int> property(0);
    Recorder recorder;
    const auto slot = boost::bind(&Recorder::record, &recorder, boost::placeholders::_1);
    const std::size_t before = property.valueChangedSlotCount();
    property.connectToValueChangedSignal(slot);
    property.connectToValueChangedSignal(slot);
    EXPECT_EQ(property.valueChangedSlotCount(), before + 1);
    property.setValue(3);
    EXPECT_EQ(recorder.values, std::vector<int>({3}));
}

TEST(PropertyTest, GroupsRunInAscendingOrderAndTheChainComesFirstInItsGroup) {
    Property<int> property(0);
    std::vector<std::string> order;
    boost::signals2::scoped_connection untyped =
        property.connectToPropertyChangedSignal([&] { order.push_back("untyped"); });
    boost::signals2::scoped_connection late =
        property.connectToValueChangedSignalUnique([&](const int&) { order.push_back("group 2"); }, 2);
    boost::signals2::scoped_connection sameGroup =
        property.connectToValueChangedSignalUnique([&](const int&) { order.push_back("group 1"); });
    boost::signals2::scoped_connection early =
        property.connectToValueChangedSignalUnique([&](const int&) { order.push_back("group 0"); }, 0);

    property.setValue(1);
    EXPECT_EQ(order, std::vector<std::string>({"group 0", "untyped", "group 1", "group 2"}));
}

// The chain to the untyped signal is made only for the first untyped listener; made late, it
// must still run where it would have run had it been made with the property.
TEST(PropertyTest, TheChainComesFirstInItsGroupAlsoWhenTheUntypedListenerConnectsLast) {
    Property<int> property(0);
    std::vector<std::string> order;
    const std::size_t slotsWithoutListeners = property.valueChangedSlotCount();
    boost::signals2::scoped_connection sameGroup =
        property.connectToValueChangedSignalUnique([&](const int&) { order.push_back("group 1"); });
    boost::signals2::scoped_connection early =
        property.connectToValueChangedSignalUnique([&](const int&) { order.push_back("group 0"); }, 0);
    property.setValue(1);
    EXPECT_EQ(order, std::vector<std::string>({"group 0", "group 1"}));
    EXPECT_EQ(property.valueChangedSlotCount(), slotsWithoutListeners + 2);

    order.clear();
    boost::signals2::scoped_connection untyped =
        property.connectToPropertyChangedSignal([&] { order.push_back("untyped"); });
    boost::signals2::scoped_connection second =
        property.connectToPropertyChangedSignal([&] { order.push_back("untyped again"); });
    property.setValue(2);
    EXPECT_EQ(order, std::vector<std::string>({"group 0", "untyped", "untyped again", "group 1"}));
    EXPECT_EQ(property.valueChangedSlotCount(), slotsWithoutListeners + 2);
}

// A listener that corrects the value it is told about sets the property again while it is being
// notified. Every listener, also those after it, must end with the corrected value, and none may
// hear the superseded value after the corrected one (hearing the corrected one twice is fine).
TEST(PropertyTest, ListenerSettingAgainLeavesEveryListenerWithTheFinalValue) {
    Property<int> property(0);
    std::vector<int> first;
    std::vector<int> second;
    std::vector<int> third;
    boost::signals2::scoped_connection correcting =
        property.connectToValueChangedSignalUnique([&](const int& v) {
            first.push_back(v);
            if (v < 0)
                property.setValue(0);
        });
    boost::signals2::scoped_connection later =
        property.connectToValueChangedSignalUnique([&](const int& v) { second.push_back(v); });
    boost::signals2::scoped_connection lastGroup =
        property.connectToValueChangedSignalUnique([&](const int& v) { third.push_back(v); }, 2);

    property.setValue(5);
    property.setValue(-3);

    EXPECT_EQ(property.retrieveValue(), 0);
    EXPECT_EQ(first, std::vector<int>({5, -3, 0}));
    EXPECT_EQ(second, std::vector<int>({5, 0, 0}));
    EXPECT_EQ(third, std::vector<int>({5, 0, 0}));

    // The nested change is complete: a later change reaches everybody again.
    property.setValue(7);
    EXPECT_EQ(second.back(), 7);
    EXPECT_EQ(third.back(), 7);
}

// A listener that closes whatever owns the property (a dialog, say) destroys the property in
// the middle of its notification, together with the dialog's own listeners. Nothing may touch
// the destroyed property or its signal afterwards (AddressSanitizer catches it), and the
// listeners after it are not told any more.
TEST(PropertyTest, ListenerDestroyingTheOwnerEndsTheNotificationSafely) {
    struct Dialog {
        Property<int> property{0};
        std::vector<boost::signals2::scoped_connection> listeners;
    };
    auto dialog = std::make_unique<Dialog>();
    int untypedCalls = 0;
    int laterCalls = 0;
    boost::signals2::scoped_connection untyped =
        dialog->property.connectToPropertyChangedSignal([&] { ++untypedCalls; });
    boost::signals2::scoped_connection closing =
        dialog->property.connectToValueChangedSignalUnique([&](const int&) { dialog.reset(); });
    for (int i = 0; i < 3; ++i)
        dialog->listeners.emplace_back(
            dialog->property.connectToValueChangedSignalUnique([&](const int&) { ++laterCalls; }));
    boost::signals2::scoped_connection outside =
        dialog->property.connectToValueChangedSignalUnique([&](const int&) { ++laterCalls; });

    dialog->property.setValue(1);

    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(untypedCalls, 1);
    EXPECT_EQ(laterCalls, 0);
}

// The same for a listener of the untyped signal.
TEST(PropertyTest, UntypedListenerDestroyingThePropertyEndsTheNotificationSafely) {
    auto property = std::make_unique<Property<int>>(0);
    int laterCalls = 0;
    boost::signals2::scoped_connection closing =
        property->connectToPropertyChangedSignal([&] { property.reset(); });
    std::vector<boost::signals2::scoped_connection> later;
    for (int i = 0; i < 3; ++i)
        later.emplace_back(property->connectToPropertyChangedSignal([&] { ++laterCalls; }));
    boost::signals2::scoped_connection typed =
        property->connectToValueChangedSignalUnique([&](const int&) { ++laterCalls; });

    property->setValue(1);

    EXPECT_EQ(property, nullptr);
    EXPECT_EQ(laterCalls, 0);
}

TEST(BoundedValueValidatorTest, IntegerBoundsInclusiveAndExclusive) {
    const BoundedValueValidator<int> inclusive(1, 100);
    EXPECT_TRUE(inclusive.validate(1).isValid());
    EXPECT_TRUE(inclusive.validate(100).isValid());
    for (int rejected : {0, 101})
        EXPECT_EQ(inclusive.validate(rejected).errorString(),
                  "The value must be greater than or equal to 1 and less than or equal to 100.");

    const BoundedValueValidator<int> exclusive(1, 100, 1, 1);
    EXPECT_FALSE(exclusive.validate(1).isValid());
    EXPECT_FALSE(exclusive.validate(100).isValid());
    EXPECT_TRUE(exclusive.validate(2).isValid());
    EXPECT_EQ(exclusive.validate(100).errorString(), "The value must be greater than 1 and less than 100.");

    // An open side accepts everything, but the message still names both bounds.
    const BoundedValueValidator<int> lowerOnly(0, 10, 0, 2);
    EXPECT_TRUE(lowerOnly.validate(std::numeric_limits<int>::max()).isValid());
    EXPECT_EQ(lowerOnly.validate(-1).errorString(),
              "The value must be greater than or equal to 0 and less than 10.");
}

TEST(BoundedValueValidatorTest, DoubleBoundsUseSixSignificantDigitsAndAcceptNan) {
    const BoundedValueValidator<double> validator(0.5, 1234567.0);
    EXPECT_TRUE(validator.validate(std::nan("")).isValid());
    EXPECT_TRUE(validator.validate(0.5).isValid());
    EXPECT_EQ(validator.validate(0.25).errorString(),
              "The value must be greater than or equal to 0.5 and less than or equal to 1.23457e+06.");
    EXPECT_FALSE(validator.validate(std::numeric_limits<double>::infinity()).isValid());
}

TEST(RawArrayTest, GrowsInBlocksOfHalfTheCapacityButAtLeast32) {
    long* published = nullptr;
    long fixed[8];
    RawArray<long> array(&published, fixed);
    for (long i = 0; i < 8; ++i)
        array.push_back(i);
    EXPECT_EQ(array.capacity(), 8u);
    EXPECT_EQ(published, fixed);

    array.push_back(8);
    EXPECT_EQ(array.capacity(), 32u);
    EXPECT_NE(published, fixed);
    EXPECT_EQ(published, array.data());
    for (long i = 0; i < 9; ++i)
        EXPECT_EQ(array[i], i);

    RawArray<long> large;
    large.enlargeCapacity(100);
    for (long i = 0; i < 100; ++i)
        large.push_back(i);
    large.push_back(100);
    EXPECT_EQ(large.capacity(), 150u);
    EXPECT_EQ(large.size(), 101u);
}

TEST(RawArrayTest, AppendGrowsToExactlyWhatIsNeeded) {
    long fixed[7];
    RawArray<long> array(nullptr, fixed);
    array.push_back(1);
    RawArray<long> other;
    for (long i = 0; i < 10; ++i)
        other.push_back(i);
    array.append(other);
    EXPECT_EQ(array.capacity(), 11u);
    EXPECT_EQ(array.size(), 11u);
    EXPECT_EQ(array[10], 9);
    EXPECT_THROW(array.enlargeCapacity(RawArray<long>::maxCapacity() + 1), std::bad_array_new_length);
    EXPECT_EQ(array.size(), 11u);
}
