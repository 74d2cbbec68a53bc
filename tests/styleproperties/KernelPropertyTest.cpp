#include "StylePropertyFixture.h"

#include "host/StateChangeEventObservable.h"
#include "styleproperties/KernelProperty.h"

#include <memory>
#include <optional>

namespace qelmar::sdk::styleproperties::test {

using KernelPropertyTest = StylePropertyTest;

TEST_F(KernelPropertyTest, ReadsTheKernelWhenConstructedAndAtItsOffsets) {
    styles.setFromElsewhere(countPath, 30L, {2, -1});
    KernelProperty<long> first(styleValueOf(countPath));
    KernelProperty<long> second(styleValueOf(countPath), 2);
    EXPECT_EQ(first.retrieveValue(), 5);
    EXPECT_EQ(second.retrieveValue(), 30);
}

TEST_F(KernelPropertyTest, EveryValueTypeCrossesToTheKernelAndBack) {
    KernelProperty<bool> flag(styleValueOf(flagPath));
    KernelProperty<double> ratio(styleValueOf(ratioPath));
    KernelProperty<std::string> title(styleValueOf(titlePath));
    KernelProperty<Fruit_e> fruit(styleValueOf(fruitPath));
    KernelProperty<int> count(styleValueOf(countPath));
    KernelProperty<char> countAsChar(styleValueOf(countPath));

    flag.setValue(true);
    ratio.setValue(0.25);
    title.setValue("Pressure");
    fruit.setValue(Fruit_Plum);
    count.setValue(65);
    EXPECT_TRUE(styles.boolValue(flagPath));
    EXPECT_DOUBLE_EQ(styles.realValue(ratioPath), 0.25);
    EXPECT_EQ(styles.textValue(titlePath), "Pressure");
    EXPECT_EQ(styles.integerValue(fruitPath), Fruit_Plum);
    EXPECT_EQ(countAsChar.retrieveValue(), 'A');

    styles.setFromElsewhere(flagPath, false);
    styles.setFromElsewhere(ratioPath, 0.75);
    styles.setFromElsewhere(titlePath, std::string("Density"));
    styles.setFromElsewhere(fruitPath, static_cast<long>(Fruit_Pear));
    EXPECT_FALSE(flag.retrieveValue());
    EXPECT_DOUBLE_EQ(ratio.retrieveValue(), 0.75);
    EXPECT_EQ(title.retrieveValue(), "Density");
    EXPECT_EQ(fruit.retrieveValue(), Fruit_Pear);
}

// The write makes the kernel announce a state change; the property must not announce the
// value a second time because of it, and the value it holds is neither written nor announced.
TEST_F(KernelPropertyTest, AWriteFiresOnceAndTheHeldValueIsNotWritten) {
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    count.setValue(5);
    EXPECT_EQ(styles.writeCount(countPath), 0);
    count.setValue(42);
    EXPECT_EQ(recorder.values(), std::vector<long>{42});
    EXPECT_EQ(styles.integerValue(countPath), 42);
    EXPECT_EQ(styles.writeCount(countPath), 1);
}

// Another property on the same style value hears of a write while the kernel is still busy
// with it, and its listener reads the writing property: that read needs its own kernel call.
TEST_F(KernelPropertyTest, AReadFromInsideAWriteSeesTheWrittenValue) {
    KernelProperty<long> count(styleValueOf(countPath));
    KernelProperty<long> mirror(styleValueOf(countPath));
    ValueRecorder<long> countRecorder(count);
    std::vector<long> readInside;
    SignalConnectionCollection connections;
    connections.add(mirror.connectToValueChangedSignalUnique(
        [&](const long&) { readInside.push_back(count.retrieveValue()); }));

    count.setValue(42);
    count.setValue(43);

    EXPECT_EQ(readInside, (std::vector<long>{42, 43}));
    EXPECT_EQ(countRecorder.values(), (std::vector<long>{42, 43}));
    EXPECT_EQ(styles.integerValue(countPath), 43);
    EXPECT_EQ(styles.writeCount(countPath), 2);
}

struct Refusal {
    const char* scenario;
    std::optional<std::string> kernelText;
    bool failTheCall;
    std::string expectedMessage;
};

class KernelPropertyRefusalTest : public StylePropertyTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(KernelPropertyRefusalTest, LeavesTheOldValueAndTellsWhy) {
    const Refusal& refusal = GetParam();
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    if (refusal.failTheCall)
        kernel.failCall("QelUtilStyleSetLowLevelX");
    else
        styles.refuseWrites(countPath, refusal.kernelText);

    try {
        count.setValue(7);
        FAIL() << "the refused value was taken";
    } catch (const InvalidPropertyValueException& error) {
        EXPECT_EQ(error.message(), refusal.expectedMessage);
        EXPECT_TRUE(error.isForUser());
    }
    EXPECT_EQ(count.retrieveValue(), 5);
    EXPECT_EQ(styles.integerValue(countPath), 5);
    EXPECT_TRUE(recorder.values().empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, KernelPropertyRefusalTest,
                         ::testing::Values(Refusal{"WithText", std::string("Not while a frame is locked."),
                                                   false, "Not while a frame is locked."},
                                           Refusal{"WithoutText", std::nullopt, false, "Unknown error"},
                                           Refusal{"WithEmptyText", std::string(), false, "Unknown error"},
                                           Refusal{"CallFailed", std::nullopt, true, "Unknown error"}),
                         [](const auto& info) { return std::string(info.param.scenario); });

TEST_F(KernelPropertyTest, AValueOutOfTheKernelsRangeIsRefusedWithTheKernelsText) {
    KernelProperty<long> count(styleValueOf(countPath));
    try {
        count.setValue(150);
        FAIL() << "the kernel took a value out of range";
    } catch (const InvalidPropertyValueException& error) {
        EXPECT_NE(error.message().find("out of range"), std::string::npos) << error.message();
    }
    EXPECT_EQ(count.retrieveValue(), 5);
}

TEST_F(KernelPropertyTest, AnAnswerThatTheKernelMayHoldItDifferentlyForcesTheNextWrite) {
    styles.answerAcceptedMayDiffer(countPath);
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    EXPECT_NO_THROW(count.setValue(7));
    EXPECT_EQ(styles.writeCount(countPath), 1);
    count.setValue(7);
    EXPECT_EQ(styles.writeCount(countPath), 2);
    EXPECT_EQ(recorder.values(), (std::vector<long>{7, 7}));

    // Once the kernel answers plainly, equal values are not written again.
    styles.answerAcceptedMayDiffer(countPath, false);
    count.setValue(7);
    count.setValue(7);
    EXPECT_EQ(styles.writeCount(countPath), 3);
}

TEST_F(KernelPropertyTest, AChangeMadeElsewhereReachesListenersExactlyOnce) {
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> first(count);
    ValueRecorder<long> second(count);
    styles.setFromElsewhere(countPath, 9L);
    EXPECT_EQ(first.values(), std::vector<long>{9});
    EXPECT_EQ(second.values(), std::vector<long>{9});
    styles.announceStateChange(StateChange_FramesAltered);
    EXPECT_EQ(first.values().size(), 1u);
}

TEST_F(KernelPropertyTest, WithoutListenersAChangeIsSeenOnlyOnTheNextRead) {
    KernelProperty<long> count(styleValueOf(countPath));
    int untypedChanges = 0;
    SignalConnectionCollection connections;
    connections.add(count.connectToPropertyChangedSignal([&untypedChanges] { ++untypedChanges; }));

    styles.setFromElsewhere(countPath, 9L);
    EXPECT_EQ(untypedChanges, 0);
    EXPECT_EQ(count.retrieveValue(), 9);
    EXPECT_EQ(untypedChanges, 1);
}

TEST_F(KernelPropertyTest, ChangingOffsetsToAnInstanceWithAnotherValueFiresOnce) {
    styles.setFromElsewhere(countPath, 30L, {2, -1});
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    count.setOffsets(2, -1);
    count.setOffsets(2, -1);
    EXPECT_EQ(recorder.values(), std::vector<long>{30});

    count.setValue(31);
    EXPECT_EQ(styles.integerValue(countPath, {2, -1}), 31);
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

TEST_F(KernelPropertyTest, AFailedReadKeepsTheLastValue) {
    KernelProperty<long> count(styleValueOf(countPath));
    styles.setFromElsewhere(countPath, 9L);
    kernel.failCall("QelUtilStyleGetLowLevelX", standin::FailMode::Once);
    EXPECT_EQ(count.retrieveValue(), 5);
    EXPECT_EQ(count.retrieveValue(), 9);
}

class KernelPropertySubscriptionTest : public StylePropertyTest {
protected:
    std::size_t subscribers() const { return StateChangeEventObservable::getInstance().subscriberCount(); }
};

// One subscription however many listeners, and none left by a property destroyed first.
TEST_F(KernelPropertySubscriptionTest, SubscribesOnceOnTheFirstListenerAndLeavesNoSlotBehind) {
    const std::size_t before = subscribers();
    auto count = std::make_unique<KernelProperty<long>>(styleValueOf(countPath));
    EXPECT_EQ(subscribers(), before);
    ValueRecorder<long> first(*count);
    ValueRecorder<long> second(*count);
    EXPECT_EQ(subscribers(), before + 1);
    count.reset();
    EXPECT_EQ(subscribers(), before);
    styles.setFromElsewhere(countPath, 9L);
    EXPECT_TRUE(first.values().empty());
}

TEST_F(KernelPropertySubscriptionTest, ShutdownUnsubscribesUntilTheNextListener) {
    KernelProperty<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    const std::size_t subscribed = subscribers();
    styles.announceShutdown();
    EXPECT_EQ(subscribers(), subscribed - 1);

    styles.setFromElsewhere(countPath, 9L);
    EXPECT_TRUE(recorder.values().empty());
    EXPECT_EQ(count.retrieveValue(), 9);
    EXPECT_EQ(recorder.values(), std::vector<long>{9});

    ValueRecorder<long> late(count);
    styles.setFromElsewhere(countPath, 10L);
    EXPECT_EQ(late.values(), std::vector<long>{10});
}

// A property whose listeners all left stops following the kernel; a listener that comes later
// hears of later changes only, not of one that happened while nobody listened.
TEST_F(KernelPropertySubscriptionTest, ALateListenerHearsNothingStale) {
    KernelProperty<long> count(styleValueOf(countPath));
    auto early = std::make_unique<ValueRecorder<long>>(count);
    early.reset();
    styles.setFromElsewhere(countPath, 9L);
    EXPECT_FALSE(count.isSubscribed());

    ValueRecorder<long> late(count);
    styles.announceStateChange(StateChange_Style);
    EXPECT_TRUE(late.values().empty());
    EXPECT_EQ(count.retrieveValue(), 9);
    styles.setFromElsewhere(countPath, 10L);
    EXPECT_EQ(late.values(), std::vector<long>{10});
}

} // namespace qelmar::sdk::styleproperties::test
