#include "dataload/AppendReplaceDialog.h"

#include "host/LaunchHelpAction.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QApplication>
#include <QCommandLinkButton>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using qelmar::dataload::DataLoadOption;
using qelmar::dialogs::io::AppendReplaceDialog;
using qelmar::standin::ApplicationModel;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::DataSetContents;
using qelmar::standin::testing::KernelTestControl;
using Texts = std::vector<std::string>;

const char resetStyle[] = "Replace data in active frame and reset style";
const char retainStyle[] = "Replace data in active frame and retain style";
const char allSharedFrames[] = "Replace data in all shared frames and retain style";
const char appendToShared[] = "Append data to all shared frames";
const char appendToActive[] = "Append data to active frame";

enum class Sharing { NoDataSet, NotShared, Shared };

// Page "Results" holds "Temperature" (current) and "Pressure"; page "Flow" holds "Velocity",
// which shows Temperature's data set when it is shared. Sharing across pages catches a walk
// that looks at the current page only.
class AppendReplaceDialogTest : public ::testing::Test {
protected:
    void arrange(Sharing sharing) {
        const int results = app.addPage("Results");
        const int pressure = app.addFrame(results, "Pressure");
        app.attachDataSet(pressure, sampleData("Pressure"), true);
        const int temperature = app.addFrame(results, "Temperature");
        if (sharing != Sharing::NoDataSet)
            app.attachDataSet(temperature, sampleData("Temperature"), true);
        const int velocity = app.addFrame(app.addPage("Flow"), "Velocity");
        if (sharing == Sharing::Shared)
            showSameDataSet(temperature, velocity);
        else
            app.attachDataSet(velocity, sampleData("Velocity"), true);
        app.setCurrentFrame(temperature);
        kernel.clearJournal();
    }

    static DataSetContents sampleData(const std::string& title) {
        return {title, {"X", "Y"}, {{0.0, 1.0}, {2.0, 3.0}}};
    }

    // The test control attaches a new data set per call; frames share one by holding the same.
    static void showSameDataSet(int shownIn, int alsoIn) {
        ApplicationModel& model = ApplicationModel::instance();
        model.frame(alsoIn).dataSet = model.frame(shownIn).dataSet;
    }

    std::unique_ptr<AppendReplaceDialog> open(AppendReplaceDialog::LoaderType type) {
        std::unique_ptr<AppendReplaceDialog> dialog(AppendReplaceDialog::getInstance(type, host));
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }

    // Runs the dialog modally as a host does, pressing the button once it is up.
    static bool launchAndPress(AppendReplaceDialog& dialog, QAbstractButton* button) {
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        return dialog.launch();
    }

    static QCommandLinkButton* choice(const AppendReplaceDialog& dialog, const char* name) {
        return dialog.findChild<QCommandLinkButton*>(name);
    }

    static Texts shownChoices(const AppendReplaceDialog& dialog) {
        Texts texts;
        for (const char* name :
             {"replaceButton", "replacePreserveStyleButton", "replaceInAllFramesButton", "appendButton"}) {
            if (choice(dialog, name)->isVisible())
                texts.push_back(choice(dialog, name)->text().toStdString());
        }
        return texts;
    }

    KernelTestControl kernel;
    ApplicationTestControl app;
    QWidget host;
};

struct Situation {
    AppendReplaceDialog::LoaderType type;
    Sharing sharing;
    Texts shown;
};

class AppendReplaceChoices : public AppendReplaceDialogTest,
                             public ::testing::WithParamInterface<Situation> {};

TEST_P(AppendReplaceChoices, ShowOnlyTheChoicesThatApply) {
    const Situation& situation = GetParam();
    arrange(situation.sharing);
    const auto dialog = open(situation.type);
    EXPECT_EQ(shownChoices(*dialog), situation.shown);
    const bool layout = situation.type == AppendReplaceDialog::LayoutLoader;
    EXPECT_EQ(dialog->windowTitle(), layout ? "Open Layout" : "Load File(s)");
    EXPECT_TRUE(dialog->isModal());
}

using Loader = AppendReplaceDialog;
INSTANTIATE_TEST_SUITE_P(
    PerLoaderAndSharing, AppendReplaceChoices,
    ::testing::Values(Situation{Loader::StandardLoader, Sharing::NoDataSet, {resetStyle, appendToActive}},
                      Situation{Loader::StandardLoader, Sharing::NotShared, {resetStyle, appendToActive}},
                      Situation{Loader::StandardLoader, Sharing::Shared, {resetStyle, appendToShared}},
                      Situation{Loader::StyleRetainingLoader,
                                Sharing::NoDataSet,
                                {resetStyle, retainStyle, appendToActive}},
                      Situation{Loader::StyleRetainingLoader,
                                Sharing::NotShared,
                                {resetStyle, retainStyle, appendToActive}},
                      Situation{Loader::StyleRetainingLoader,
                                Sharing::Shared,
                                {resetStyle, retainStyle, allSharedFrames, appendToShared}},
                      Situation{Loader::LayoutLoader, Sharing::NotShared, {"Replace", "Append"}},
                      Situation{Loader::LayoutLoader, Sharing::Shared, {"Replace", "Append"}}));

TEST_F(AppendReplaceDialogTest, SharingIsLookedUpUnderTheLockAndLeavesTheCurrentFrameAsItWas) {
    arrange(Sharing::Shared);
    const int current = app.currentFrame();
    open(AppendReplaceDialog::StyleRetainingLoader);
    EXPECT_EQ(app.currentFrame(), current);
    for (const char* call :
         {"QelUtilFrameLightweightForAllPagesLoopStart", "QelUtilFrameLightweightForAllPagesLoopNext",
          "QelUtilFrameLightweightForAllPagesLoopEnd"}) {
        ASSERT_TRUE(kernel.wasCalled(call)) << call;
        for (const auto& record : kernel.callsNamed(call))
            EXPECT_TRUE(record.insideLock) << call;
    }
}

TEST_F(AppendReplaceDialogTest, EachButtonAcceptsWithItsOption) {
    arrange(Sharing::Shared);
    const std::pair<const char*, DataLoadOption> buttons[] = {
        {"replaceButton", qelmar::dataload::ReplaceAndResetStyle},
        {"replacePreserveStyleButton", qelmar::dataload::ReplaceAndRetainStyle},
        {"replaceInAllFramesButton", qelmar::dataload::ReplaceInAllSharedFrames},
        {"appendButton", qelmar::dataload::Append},
    };
    for (const auto& [name, option] : buttons) {
        const std::unique_ptr<AppendReplaceDialog> dialog(
            AppendReplaceDialog::getInstance(AppendReplaceDialog::StyleRetainingLoader, host));
        EXPECT_EQ(dialog->loadOption(), qelmar::dataload::DataLoadOption_None);
        EXPECT_TRUE(launchAndPress(*dialog, choice(*dialog, name))) << name;
        EXPECT_EQ(dialog->loadOption(), option) << name;
        EXPECT_FALSE(dialog->isVisible()) << name;
    }
}

TEST_F(AppendReplaceDialogTest, CancelAndEscapeLeaveNoOption) {
    arrange(Sharing::NotShared);
    const std::unique_ptr<AppendReplaceDialog> cancelled(
        AppendReplaceDialog::getInstance(AppendReplaceDialog::StandardLoader, host));
    auto* box = cancelled->findChild<QDialogButtonBox*>("buttonBox");
    EXPECT_FALSE(launchAndPress(*cancelled, box->button(QDialogButtonBox::Cancel)));
    EXPECT_EQ(cancelled->loadOption(), qelmar::dataload::DataLoadOption_None);

    const std::unique_ptr<AppendReplaceDialog> escaped(
        AppendReplaceDialog::getInstance(AppendReplaceDialog::StandardLoader, host));
    QTimer::singleShot(0, escaped.get(), [&] { QTest::keyClick(escaped.get(), Qt::Key_Escape); });
    EXPECT_FALSE(escaped->launch());
    EXPECT_EQ(escaped->loadOption(), qelmar::dataload::DataLoadOption_None);
}

TEST_F(AppendReplaceDialogTest, EveryRequestGetsItsOwnDialogWithItsOwnAnswerAndHelp) {
    arrange(Sharing::NotShared);
    const std::unique_ptr<AppendReplaceDialog> first(
        AppendReplaceDialog::getInstance(AppendReplaceDialog::StandardLoader, host));
    const std::unique_ptr<AppendReplaceDialog> second(
        AppendReplaceDialog::getInstance(AppendReplaceDialog::StandardLoader, host));
    ASSERT_NE(first.get(), second.get());
    EXPECT_EQ(first->parentWidget(), &host);
    first->acceptOption(qelmar::dataload::Append);
    EXPECT_EQ(first->loadOption(), qelmar::dataload::Append);
    EXPECT_EQ(second->loadOption(), qelmar::dataload::DataLoadOption_None);
    auto* help = dynamic_cast<qelmar::sdk::ui::LaunchHelpAction*>(second->helpAction());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->link(), "appendreplace.html");
}

TEST_F(AppendReplaceDialogTest, HiddenChoicesLeaveNoGap) {
    arrange(Sharing::Shared);
    const auto all = open(AppendReplaceDialog::StyleRetainingLoader);
    const auto layout = open(AppendReplaceDialog::LayoutLoader);
    const int buttonHeight = choice(*all, "replaceButton")->height();
    EXPECT_LE(layout->height(), all->height() - 2 * buttonHeight);
}

} // namespace
