#include "LayoutTestFixture.h"
#include "common/ScopedFileSizeLimit.h"

#include "host/KernelMessages.h"
#include "layout/Layout.h"

#include <QDir>

namespace qelmar::layout::test {

using namespace qelmar::sdk::ui::util;

namespace {

const QString velocityQuestion =
    "The data set attached to frame Velocity field has changed and could not be journaled. To restore the "
    "layout at a later date, the data set must be saved to a new file and the new file referenced by the "
    "layout. Do you want to continue and enter a name for the data file?";

std::string dataFileOf(const LayoutRecord& layout, const std::string& frameName) {
    for (const auto& page : layout.pages) {
        for (const auto& frame : page.frames) {
            if (frame.name == frameName)
                return frame.dataFile;
        }
    }
    return "<no frame " + frameName + ">";
}

bool hasEntry(const std::string& package, const std::string& entry) {
    const auto entries = ApplicationTestControl::packageEntries(package);
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

std::string bytesOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

} // namespace

using SaveLayoutTest = LayoutTest;

TEST_F(SaveLayoutTest, EachKindOfLayoutGetsTheOptionThatFitsItWithoutAnyQuestion) {
    app.changeDataSetWithoutJournal(velocity);
    ASSERT_EQ(saveLayout(path("with.lpk").c_str(), true, true, true), SaveLayout_Saved);
    ASSERT_EQ(saveLayout(path("without.lpk").c_str(), true, false, false), SaveLayout_Saved);
    EXPECT_TRUE(hasEntry(path("with.lpk"), "preview.png"));
    EXPECT_FALSE(hasEntry(path("without.lpk"), "preview.png"));
    const std::string packagedVelocity =
        dataFileOf(ApplicationTestControl::readPackagedLayout(path("with.lpk")), "Velocity field");
    EXPECT_TRUE(hasEntry(path("with.lpk"), packagedVelocity)) << packagedVelocity;
    EXPECT_FALSE(kernel.wasCalled("QelUtilFrameLightweightForAllPagesLoopStart"));

    app.attachDataSet(velocity, {"Velocity", {"X"}, {{1.0}}}, true, path("data/velocity.plt"));
    ASSERT_EQ(saveLayout(path("relative.lay").c_str(), false, true, true), SaveLayout_Saved);
    ASSERT_EQ(saveLayout(path("absolute.lay").c_str(), false, true, false), SaveLayout_Saved);
    const LayoutRecord relative = ApplicationTestControl::readLayoutFile(path("relative.lay"));
    EXPECT_TRUE(relative.relativePaths);
    EXPECT_EQ(QDir::cleanPath(QString::fromStdString(dataFileOf(relative, "Temperature"))),
              "data/temperature.plt");
    EXPECT_EQ(dataFileOf(relative, "Notes"), "");
    EXPECT_EQ(dataFileOf(ApplicationTestControl::readLayoutFile(path("absolute.lay")), "Temperature"),
              path("data/temperature.plt"));

    EXPECT_TRUE(questions.answered().empty());
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(SaveLayoutTest, AnAcceptedOfferWritesTheDataFileTheLayoutRefersToAllUnderTheLock) {
    app.changeDataSetWithoutJournal(velocity);
    writeDataSetAs("velocity-new.plt");
    ASSERT_EQ(saveLayout(path("flow.lay").c_str(), false, false, false), SaveLayout_Saved);

    ASSERT_EQ(questions.answered().size(), 1u);
    const AnsweredDialog& question = questions.answered()[0];
    EXPECT_EQ(question.title, "Data Set Changed");
    EXPECT_EQ(question.label, velocityQuestion);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(question.hasDefaultButton);
    EXPECT_EQ(question.parentObjectName, "host");
    EXPECT_EQ(files.titles, std::vector<QString>{"Write Data Set"});
    EXPECT_EQ(files.filters, std::vector<QString>{"Binary Data Files (*.plt)"});

    EXPECT_EQ(ApplicationTestControl::readDataFile(path("velocity-new.plt")).values[1].size(), 200u);
    EXPECT_TRUE(app.dataSetJournalIsValid(velocity));
    EXPECT_EQ(dataFileOf(ApplicationTestControl::readLayoutFile(path("flow.lay")), "Velocity field"),
              path("velocity-new.plt"));
    EXPECT_EQ(app.currentFrame(), temperature);

    std::vector<std::string> calls;
    for (const auto& record : kernel.journal()) {
        EXPECT_TRUE(record.insideLock) << record.call;
        calls.push_back(record.call);
    }
    const auto at = [&calls](const char* call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    EXPECT_LT(at("QelUtilDataSetWriteX"), at("QelUtilFrameLightweightForAllPagesLoopEnd"));
    EXPECT_LT(at("QelUtilFrameLightweightForAllPagesLoopEnd"), at("QelUtilSaveLayoutX"));
    EXPECT_EQ(kernel.callsNamed("QelUtilFrameLightweightForAllPagesLoopNext").size(), 4u);
}

TEST_F(SaveLayoutTest, DecliningOrCancellingTheOfferSavesNothingAndSaysNothing) {
    app.changeDataSetWithoutJournal(pressure);
    app.changeDataSetWithoutJournal(velocity);
    // Once declined, the other frame is not asked about: the answerer fails on an unexpected box.
    questions.pressButton(QMessageBox::No);
    EXPECT_EQ(saveLayout(path("declined.lay").c_str(), false, false, false), SaveLayout_Cancelled);
    EXPECT_TRUE(files.titles.empty());
    questions.pressButton(QMessageBox::Yes);
    files.cancel();
    EXPECT_EQ(saveLayout(path("cancelled.lay").c_str(), false, false, false), SaveLayout_Cancelled);
    EXPECT_EQ(questions.answered().size(), 2u);

    EXPECT_FALSE(exists("declined.lay") || exists("cancelled.lay"));
    EXPECT_FALSE(kernel.wasCalled("QelUtilSaveLayoutX") || kernel.wasCalled("QelUtilDataSetWriteX"));
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_EQ(app.currentFrame(), temperature);
}

TEST_F(SaveLayoutTest, AFailedDataSetWriteIsReportedOnceAndTheLayoutStaysUnsaved) {
    app.changeDataSetWithoutJournal(velocity);
    kernel.failCall("QelUtilDataSetWriteX");
    writeDataSetAs("velocity-new.plt");
    EXPECT_EQ(saveLayout(path("flow.lay").c_str(), false, false, false), SaveLayout_Failed);
    ASSERT_EQ(kernel.messages().size(), 1u);
    EXPECT_EQ(kernel.messages()[0].type, 0);
    EXPECT_EQ(kernel.messages()[0].text.rfind("Error while writing data set.", 0), 0u)
        << kernel.messages()[0].text;
    EXPECT_FALSE(exists("flow.lay"));
    EXPECT_EQ(app.currentFrame(), temperature);
}

TEST_F(SaveLayoutTest, AfterTheSecondOfferIsDeclinedTheFirstDataFileStaysWritten) {
    app.changeDataSetWithoutJournal(pressure);
    app.changeDataSetWithoutJournal(velocity);
    const std::vector<int> walk = app.framesInWalkOrder();
    const bool pressureFirst =
        std::find(walk.begin(), walk.end(), pressure) < std::find(walk.begin(), walk.end(), velocity);
    writeDataSetAs("first.plt");
    questions.pressButton(QMessageBox::No);
    EXPECT_EQ(saveLayout(path("both.lay").c_str(), false, false, true), SaveLayout_Cancelled);
    ASSERT_EQ(questions.answered().size(), 2u);
    EXPECT_EQ(questions.answered()[pressureFirst ? 1 : 0].label, velocityQuestion);
    EXPECT_EQ(ApplicationTestControl::readDataFile(path("first.plt")).title,
              pressureFirst ? "Pressure profile" : "Velocity field");
    EXPECT_TRUE(app.dataSetJournalIsValid(pressureFirst ? pressure : velocity));
    EXPECT_FALSE(exists("both.lay"));
}

TEST_F(SaveLayoutTest, AFrameWithoutAnObtainableNameIsPassedOverSilently) {
    app.changeDataSetWithoutJournal(velocity);
    kernel.failCall("QelUtilFrameGetName");
    EXPECT_EQ(saveLayout(path("flow.lay").c_str(), false, false, false), SaveLayout_Saved);
    EXPECT_TRUE(questions.answered().empty());
}

TEST_F(SaveLayoutTest, ARefusedOrBrokenSaveIsReportedAndLeavesTheEarlierLayoutAsItWas) {
    ASSERT_EQ(saveLayout(path("kept.lay").c_str(), false, false, false), SaveLayout_Saved);
    const std::string before = bytesOf(path("kept.lay"));
    app.addFrame(0, "Added later");
    const int current = app.currentFrame();

    kernel.failCall("QelUtilSaveLayoutX", standin::FailMode::Once);
    EXPECT_EQ(saveLayout(path("kept.lay").c_str(), false, false, true), SaveLayout_Failed);
    {
        const testsupport::ScopedFileSizeLimit limit(16);
        EXPECT_EQ(saveLayout(path("kept.lay").c_str(), false, false, true), SaveLayout_Failed);
    }
    ASSERT_EQ(kernel.messagesOfType(MessageBox_Error).size(), 2u);
    for (const auto& message : kernel.messagesOfType(MessageBox_Error))
        EXPECT_EQ(message.text.rfind("Error saving layout", 0), 0u) << message.text;
    EXPECT_EQ(bytesOf(path("kept.lay")), before);
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files), QStringList{"kept.lay"});
    EXPECT_EQ(app.currentFrame(), current);
}

TEST_F(SaveLayoutTest, AutomaticSavesFollowTheConfigurationUnlessTheKernelRefuses) {
    app.setLayoutDirty(false);
    EXPECT_FALSE(layoutIsWorthSaving());
    EXPECT_FALSE(kernel.wasCalled("QelUtilQueryLayoutHasStyle"));
    app.setLayoutDirty(true);
    app.setLayoutHasStyle(false);
    EXPECT_FALSE(layoutIsWorthSaving());
    app.setLayoutHasStyle(true);
    EXPECT_TRUE(layoutIsWorthSaving());

    app.setCurrentLayoutFileName(path("auto.lpk"));
    styles.setFromElsewhere(includeDataPath, true);
    styles.setFromElsewhere(includePreviewPath, true);
    app.setOkToAutoSaveLayout(false);
    kernel.clearJournal();
    EXPECT_EQ(tryAutoSaveLayout(), SaveLayout_Failed);
    ASSERT_EQ(kernel.journal().size(), 1u);
    EXPECT_FALSE(exists("auto.lpk"));

    app.setOkToAutoSaveLayout(true);
    ASSERT_EQ(tryAutoSaveLayout(), SaveLayout_Saved);
    EXPECT_TRUE(hasEntry(path("auto.lpk"), "preview.png"));
    app.setCurrentLayoutFileName(path("auto.lay"));
    styles.setFromElsewhere(includeDataPath, false);
    styles.setFromElsewhere(useRelativePathsPath, true);
    ASSERT_EQ(tryAutoSaveLayout(), SaveLayout_Saved);
    EXPECT_TRUE(ApplicationTestControl::readLayoutFile(path("auto.lay")).relativePaths);
}

} // namespace qelmar::layout::test
