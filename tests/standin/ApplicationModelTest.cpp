#include "host/KernelDataSets.h"
#include "host/KernelErrors.h"
#include "host/KernelFrames.h"
#include "host/KernelLayout.h"
#include "host/KernelStateChange.h"
#include "host/KernelString.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qelmar::sdk::KernelString;
using qelmar::standin::FailMode;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::DataSetContents;
using qelmar::standin::testing::KernelTestControl;

std::string currentFrameName() {
    KernelString name;
    if (!QelUtilFrameGetName(name.address()))
        return name.isNull() ? "<none>" : "<name despite failure>";
    return name.str();
}

using Names = std::vector<std::string>;

template <typename Start, typename Next, typename End> Names walkNames(Start start, Next next, End end) {
    Names names;
    for (bool more = start(); more; more = next())
        names.push_back(currentFrameName());
    end();
    return names;
}

Names allPagesWalk() {
    return walkNames(QelUtilFrameLightweightForAllPagesLoopStart, QelUtilFrameLightweightForAllPagesLoopNext,
                     QelUtilFrameLightweightForAllPagesLoopEnd);
}

Names popWalk() {
    return walkNames(QelUtilFrameLightweightPopStart, QelUtilFrameLightweightPopNext,
                     QelUtilFrameLightweightPopEnd);
}

void recordStateChange(StateChange_e kind, void* announced) {
    static_cast<std::vector<StateChange_e>*>(announced)->push_back(kind);
}

// Pages Alpha (a1 at the bottom of the stack, a3 on top), Beta (b1, b2 on top), an empty page
// and Gamma (g1).
class ApplicationModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int alpha = app.addPage("Alpha");
        a1 = app.addFrame(alpha, "a1");
        a2 = app.addFrame(alpha, "a2");
        a3 = app.addFrame(alpha, "a3", 1);
        const int beta = app.addPage("Beta");
        b1 = app.addFrame(beta, "b1");
        b2 = app.addFrame(beta, "b2");
        app.addPage("Empty");
        g1 = app.addFrame(app.addPage("Gamma"), "g1");
    }

    KernelTestControl kernel;
    ApplicationTestControl app;
    int a1 = 0, a2 = 0, a3 = 0, b1 = 0, b2 = 0, g1 = 0;
};

// Each walk starts at the current frame, puts it back at its end, and outside a walk there is
// nothing to go on with.
TEST_F(ApplicationModelTest, AllPagesWalkWrapsAroundPopWalkGoesDownTheStackAndBothRestoreTheFrame) {
    const auto expectWalk = [this](int start, Names (*walk)(), bool (*next)(), const Names& expected) {
        app.setCurrentFrame(start);
        EXPECT_EQ(walk(), expected);
        EXPECT_EQ(app.currentFrame(), start) << expected.front();
        EXPECT_FALSE(next()) << expected.front();
        EXPECT_EQ(app.currentFrame(), start) << expected.front();
    };
    expectWalk(b1, allPagesWalk, QelUtilFrameLightweightForAllPagesLoopNext,
               {"b1", "g1", "a3", "a2", "a1", "b2"});
    expectWalk(a2, popWalk, QelUtilFrameLightweightPopNext, {"a3", "a2", "a1"});
    expectWalk(g1, popWalk, QelUtilFrameLightweightPopNext, {"g1"});
    app.setCurrentFrame(b1);
    EXPECT_EQ(app.framesInWalkOrder(), (std::vector<int>{b1, g1, a3, a2, a1, b2}));

    // An abandoned walk too.
    app.setCurrentFrame(a2);
    ASSERT_TRUE(QelUtilFrameLightweightForAllPagesLoopStart());
    ASSERT_TRUE(QelUtilFrameLightweightForAllPagesLoopNext());
    EXPECT_EQ(currentFrameName(), "a1");
    QelUtilFrameLightweightForAllPagesLoopEnd();
    EXPECT_EQ(app.currentFrame(), a2);
}

// A walk started while another is under way (an auto-save run from a question box of the
// outer walk) sees every frame, and each End puts back the frame current when its walk began.
TEST_F(ApplicationModelTest, WalksNestAndEachEndRestoresTheFrameOfItsOwnStart) {
    app.setCurrentFrame(a2);
    Names outer;
    for (bool more = QelUtilFrameLightweightForAllPagesLoopStart(); more;
         more = QelUtilFrameLightweightForAllPagesLoopNext()) {
        outer.push_back(currentFrameName());
        if (outer.size() != 2)
            continue;
        EXPECT_EQ(allPagesWalk(), (Names{"a1", "b2", "b1", "g1", "a3", "a2"}));
        EXPECT_EQ(app.currentFrame(), a1);
        EXPECT_EQ(popWalk(), (Names{"a3", "a2", "a1"}));
        EXPECT_EQ(app.currentFrame(), a1);
    }
    QelUtilFrameLightweightForAllPagesLoopEnd();
    EXPECT_EQ(outer, (Names{"a2", "a1", "b2", "b1", "g1", "a3"}));
    EXPECT_EQ(app.currentFrame(), a2);

    // An all-pages walk inside a walk of the current page's stack.
    app.setCurrentFrame(b2);
    ASSERT_TRUE(QelUtilFrameLightweightPopStart());
    ASSERT_TRUE(QelUtilFrameLightweightPopNext());
    EXPECT_EQ(currentFrameName(), "b1");
    ASSERT_TRUE(QelUtilFrameLightweightForAllPagesLoopStart());
    ASSERT_TRUE(QelUtilFrameLightweightForAllPagesLoopNext());
    EXPECT_EQ(currentFrameName(), "g1");
    QelUtilFrameLightweightForAllPagesLoopEnd();
    EXPECT_EQ(currentFrameName(), "b1");
    EXPECT_FALSE(QelUtilFrameLightweightPopNext());
    QelUtilFrameLightweightPopEnd();
    EXPECT_EQ(app.currentFrame(), b2);
}

TEST_F(ApplicationModelTest, NameAndPlotTypeFollowTheCurrentFrameAlsoDuringAWalk) {
    app.setCurrentFrame(a3);
    EXPECT_EQ(currentFrameName(), "a3");
    EXPECT_EQ(QelUtilFrameGetPlotType(), 1);
    ASSERT_TRUE(QelUtilFrameLightweightPopStart());
    ASSERT_TRUE(QelUtilFrameLightweightPopNext());
    EXPECT_EQ(currentFrameName(), "a2");
    EXPECT_EQ(QelUtilFrameGetPlotType(), 0);
    QelUtilFrameLightweightPopEnd();
    EXPECT_FALSE(QelUtilFrameGetName(nullptr));
}

TEST_F(ApplicationModelTest, ModelChangesAreAnnouncedButWalksAreNot) {
    std::vector<StateChange_e> announced;
    ASSERT_TRUE(QelAppStateChangeAddCallback(recordStateChange, &announced));
    allPagesWalk();
    popWalk();
    EXPECT_TRUE(announced.empty());
    app.addFrame(0, "a4");
    QelAppStateChangeRemoveCallback(recordStateChange, &announced);
    EXPECT_EQ(announced, (std::vector<StateChange_e>{StateChange_FramesAltered, StateChange_CurrentFrame}));
}

TEST_F(ApplicationModelTest, TimeStepsAreCountedClampedAndAnnounced) {
    const auto step = [](double y) { return DataSetContents{"t", {"x", "y"}, {{0.0, 1.0}, {y, y}}}; };
    app.attachDataSet(a1, step(0), false);
    app.attachDataSet(g1, step(0), false);
    EXPECT_EQ(app.timeStepCount(), 1);
    app.setLaterTimeSteps(a1, {step(1), step(2)});
    EXPECT_EQ(app.timeStepCount(), 3);
    EXPECT_THROW(app.setLaterTimeSteps(g1, {{"t", {"x"}, {{0.0}}}}), std::invalid_argument);
    EXPECT_THROW(app.setLaterTimeSteps(b1, {step(1)}), std::out_of_range);

    std::vector<StateChange_e> announced;
    ASSERT_TRUE(QelAppStateChangeAddCallback(recordStateChange, &announced));
    app.setCurrentTimeStep(7);
    app.setCurrentTimeStep(2);
    QelAppStateChangeRemoveCallback(recordStateChange, &announced);
    EXPECT_EQ(app.currentTimeStep(), 2);
    EXPECT_EQ(announced, std::vector<StateChange_e>{StateChange_DataSetsAltered});
    app.setCurrentTimeStep(-3);
    EXPECT_EQ(app.currentTimeStep(), 0);
}

TEST_F(ApplicationModelTest, DataSetsHaveProcessWideIdsAndAJournalState) {
    app.setCurrentFrame(a1);
    EXPECT_FALSE(QelUtilDataSetIsAvailable());
    EXPECT_EQ(QelUtilDataSetGetUniqueID(), 0);
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());

    const DataSetContents contents{"t", {"x"}, {{1.0, 2.0}}};
    const long first = app.attachDataSet(a1, contents, true, "/data/a1.plt");
    const long second = app.attachDataSet(b1, contents, false);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_TRUE(QelUtilDataSetIsAvailable());
    EXPECT_EQ(QelUtilDataSetGetUniqueID(), first);
    EXPECT_TRUE(QelUtilDataSetJournalIsValid());
    EXPECT_EQ(app.dataSetFile(a1), "/data/a1.plt");
    EXPECT_FALSE(app.dataSetJournalIsValid(b1));

    app.changeDataSetWithoutJournal(a1);
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());
    EXPECT_EQ(QelUtilDataSetGetUniqueID(), first);
}

TEST_F(ApplicationModelTest, LayoutStateStartsCleanAndModelChangesMakeItDirty) {
    ApplicationTestControl fresh; // an empty application again
    EXPECT_FALSE(QelUtilFrameExists());
    EXPECT_FALSE(QelUtilFrameLightweightForAllPagesLoopStart());
    EXPECT_FALSE(QelUtilFrameLightweightPopStart());
    EXPECT_EQ(QelUtilFrameGetPlotType(), 0);
    EXPECT_FALSE(QelUtilQueryIsLayoutDirty());
    EXPECT_FALSE(QelUtilQueryLayoutHasStyle());
    EXPECT_TRUE(QelAppQueryOkToAutoSaveLayout());
    EXPECT_FALSE(KernelString(QelUtilGetCurLayoutFName()).isNull());
    EXPECT_EQ(KernelString(QelUtilGetCurLayoutFName()).str(), "");

    const int page = fresh.addPage("P");
    EXPECT_TRUE(QelUtilQueryLayoutHasStyle());
    EXPECT_TRUE(QelUtilQueryIsLayoutDirty());
    fresh.setLayoutDirty(false);
    fresh.attachDataSet(fresh.addFrame(page, "f"), {"t", {}, {}}, false);
    EXPECT_TRUE(QelUtilQueryIsLayoutDirty());
    EXPECT_TRUE(QelUtilFrameExists());

    fresh.setLayoutHasStyle(false);
    fresh.setOkToAutoSaveLayout(false);
    fresh.setCurrentLayoutFileName("/x/y.lay");
    EXPECT_FALSE(QelUtilQueryLayoutHasStyle());
    EXPECT_FALSE(QelAppQueryOkToAutoSaveLayout());
    EXPECT_EQ(KernelString(QelUtilGetCurLayoutFName()).str(), "/x/y.lay");
}

TEST_F(ApplicationModelTest, CallsSwitchedOffFailWithoutMovingTheCurrentFrame) {
    app.setCurrentFrame(b2);
    kernel.failCall("QelUtilFrameExists");
    kernel.failCall("QelUtilFrameLightweightForAllPagesLoopStart", FailMode::Once);
    kernel.failCall("QelUtilGetCurLayoutFName");
    kernel.failCall("QelUtilGetLastErrorMessage");
    kernel.failCall("QelUtilDataSetGetUniqueID");
    app.attachDataSet(b2, {"t", {}, {}}, false);

    EXPECT_FALSE(QelUtilFrameExists());
    EXPECT_FALSE(QelUtilFrameLightweightForAllPagesLoopStart());
    EXPECT_EQ(app.currentFrame(), b2);
    EXPECT_EQ(allPagesWalk().size(), 6U);
    EXPECT_EQ(QelUtilGetCurLayoutFName(), nullptr);
    EXPECT_EQ(QelUtilGetLastErrorMessage(), nullptr);
    EXPECT_EQ(QelUtilDataSetGetUniqueID(), 0);
}

TEST_F(ApplicationModelTest, TestControlRefusesFramesAndPagesThatDoNotExist) {
    EXPECT_THROW(app.addFrame(7, "f"), std::out_of_range);
    EXPECT_THROW(app.setCurrentFrame(999), std::out_of_range);
    EXPECT_THROW(app.changeDataSetWithoutJournal(a1), std::out_of_range);
}

} // namespace
