#include "StylePropertyFixture.h"

#include "styleproperties/KernelPropertyDeferred.h"

#include <memory>

namespace qelmar::sdk::styleproperties::test {

using KernelPropertyDeferredTest = StylePropertyTest;

// A value reaches the kernel only when applied, and only when the kernel does not hold it already;
// a discarded one never does.
TEST_F(KernelPropertyDeferredTest, AValueReachesTheKernelOnlyWhenAppliedAndDiffering) {
    KernelPropertyDeferred<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    count.apply();
    count.setValue(12);
    EXPECT_EQ(count.retrieveValue(), 12);
    EXPECT_EQ(recorder.values(), std::vector<long>{12});
    EXPECT_EQ(styles.integerValue(countPath), 5);
    EXPECT_EQ(styles.writeCount(countPath), 0);

    count.apply();
    EXPECT_EQ(styles.integerValue(countPath), 12);
    EXPECT_EQ(recorder.values().size(), 1u);

    KernelPropertyDeferred<bool> flag(styleValueOf(flagPath));
    flag.setValue(true);
    flag.setValue(false);
    flag.apply();
    EXPECT_EQ(styles.writeCount(flagPath), 0);

    auto title = std::make_unique<KernelPropertyDeferred<std::string>>(styleValueOf(titlePath));
    title->setValue("Pressure");
    title.reset();
    EXPECT_EQ(styles.writeCount(titlePath), 0);
}

TEST_F(KernelPropertyDeferredTest, ARefusedApplyRaisesAndKeepsThePendingValue) {
    KernelPropertyDeferred<double> ratio(styleValueOf(ratioPath));
    styles.refuseWrites(ratioPath, std::string("The ratio is locked."));
    ratio.setValue(0.25);
    EXPECT_THROW(ratio.apply(), InvalidPropertyValueException);
    EXPECT_DOUBLE_EQ(ratio.retrieveValue(), 0.25);
    EXPECT_DOUBLE_EQ(styles.realValue(ratioPath), 0.5);

    styles.acceptWrites(ratioPath);
    ratio.apply();
    EXPECT_DOUBLE_EQ(styles.realValue(ratioPath), 0.25);
}

TEST_F(KernelPropertyDeferredTest, KeepsItsPendingValueWhileTheKernelChangesElsewhere) {
    KernelPropertyDeferred<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    styles.setFromElsewhere(countPath, 9L);
    EXPECT_EQ(count.retrieveValue(), 5);
    EXPECT_EQ(count.kernelValue(), 9);
    EXPECT_TRUE(recorder.values().empty());
}

TEST_F(KernelPropertyDeferredTest, NewOffsetsReplaceThePendingValueAndFireOnce) {
    styles.setFromElsewhere(countPath, 30L, {3, -1});
    KernelPropertyDeferred<long> count(styleValueOf(countPath));
    ValueRecorder<long> recorder(count);
    count.setValue(12);
    recorder.clear();

    count.setOffsets(3, -1);
    count.setOffsets(3, -1);
    EXPECT_EQ(recorder.values(), std::vector<long>{30});
    EXPECT_EQ(count.retrieveValue(), 30);

    count.setValue(31);
    count.apply();
    EXPECT_EQ(styles.integerValue(countPath, {3, -1}), 31);
    EXPECT_EQ(styles.integerValue(countPath), 5);
}

} // namespace qelmar::sdk::styleproperties::test
