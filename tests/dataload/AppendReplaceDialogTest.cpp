#include "dataload/AppendReplaceDialog.h"

#include "host/LaunchHelpAction.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <QCommandLinkButton>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace qelmar::dataload;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using Loader = qelmar::dialogs::io::AppendReplaceDialog;
using DialogPtr = std::unique_ptr<Loader>;
using Texts = std::vector<std::string>;

const char resetStyle[] = "Replace data in active frame and reset style";
const char retainStyle[] = "Replace data in active frame and retain style";
const char allSharedFrames[] = "Replace data in all shared frames and retain style";
const char appendToShared[] = "Append data to all shared frames";
const char appendToActive[] = "Append data to active frame";

enum class Sharing { NoDataSet, NotShared, Shared };

// Page 1 holds "Pressure" and "Temperature" (current), page 2 "Velocity", which shows
// Temperature's data set when it is shared: a walk over the current page alone misses it.
class AppendReplaceDialogTest : public ::testing::Test {
protected:
    void arrange(Sharing sharing) {
        const int results = app.addPage("Results");
        app.attachDataSet(app.addFrame(results, "Pressure"), data, true);
        const int temperature = app.addFrame(results, "Temperature");
        if (sharing != Sharing::NoDataSet)
            app.attachDataSet(temperature, data, true);
        const int velocity = app.addFrame(app.addPage("Flow"), "Velocity");
        app.attachDataSet(velocity, data, true);
        if (sharing == Sharing::Shared) {
            // The test control attaches a new data set per call; sharing is holding the same one.
            auto& model = qelmar::standin::ApplicationModel::instance();
            model.frame(velocity).dataSet = model.frame(temperature).dataSet;
        }
        app.setCurrentFrame(temperature);
        kernel.clearJournal();
    }

    DialogPtr create(Loader::LoaderType type) { return DialogPtr(Loader::getInstance(type, host)); }

    // Runs the dialog modally as a host does, pressing the button once it is up.
    static bool launchAndPress(Loader& dialog, QAbstractButton* button) {
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        return dialog.launch();
    }

    static Texts shownChoices(const Loader& dialog) {
        Texts texts;
        for (const auto* button : dialog.findChildren<QCommandLinkButton*>()) {
            if (button->isVisible())
                texts.push_back(button->text().toStdString());
        }
        return texts;
    }

    KernelTestControl kernel;
    qelmar::standin::testing::CallRecording recording;
    ApplicationTestControl app;
    const qelmar::standin::testing::DataSetContents data{"Sample", {"X", "Y"}, {{0.0, 1.0}, {2.0, 3.0}}};
    QWidget host;
};

struct Situation {
    Loader::LoaderType type;
    Sharing sharing;
    Texts shown;
};

// "StyleRetainingLoader_Shared": which row of the table failed.
std::string situationName(const Situation& situation) {
    static const char* const loaders[] = {"StandardLoader", "StyleRetainingLoader", "LayoutLoader"};
    static const char* const sharings[] = {"NoDataSet", "NotShared", "Shared"};
    return std::string(loaders[situation.type]) + "_" + sharings[static_cast<int>(situation.sharing)];
}

void PrintTo(const Situation& situation, std::ostream* out) {
    *out << situationName(situation);
}

class AppendReplaceChoices : public AppendReplaceDialogTest,
                             public ::testing::WithParamInterface<Situation> {};

// Also: sharing is looked up under the lock without moving the current frame for good, and
// the hidden choices leave no gap.
TEST_P(AppendReplaceChoices, ShowOnlyTheChoicesThatApply) {
    const Situation& situation = GetParam();
    arrange(situation.sharing);
    const int current = app.currentFrame();
    const DialogPtr dialog = create(situation.type);
    dialog->show();
    EXPECT_EQ(shownChoices(*dialog), situation.shown);
    EXPECT_EQ(dialog->windowTitle(), situation.type == Loader::LayoutLoader ? "Open Layout" : "Load File(s)");
    EXPECT_EQ(app.currentFrame(), current);
    EXPECT_EQ(kernel.wasCalled("QelUtilFrameLightweightForAllPagesLoopEnd"),
              situation.sharing != Sharing::NoDataSet);
    for (const auto& call : kernel.journal()) {
        if (call.call.rfind("QelUtilFrameLightweightForAllPagesLoop", 0) == 0) {
            EXPECT_TRUE(call.insideLock) << call.call;
        }
    }
    EXPECT_LE(dialog->height(), dialog->sizeHint().height());
}

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
                      Situation{Loader::LayoutLoader, Sharing::Shared, {"Replace", "Append"}}),
    [](const ::testing::TestParamInfo<Situation>& info) { return situationName(info.param); });

TEST_F(AppendReplaceDialogTest, EachButtonAcceptsWithItsOption) {
    arrange(Sharing::Shared);
    const std::pair<const char*, DataLoadOption> buttons[] = {
        {"replaceButton", ReplaceAndResetStyle},
        {"replacePreserveStyleButton", ReplaceAndRetainStyle},
        {"replaceInAllFramesButton", ReplaceInAllSharedFrames},
        {"appendButton", Append}};
    for (const auto& [name, option] : buttons) {
        const DialogPtr dialog = create(Loader::StyleRetainingLoader);
        EXPECT_TRUE(launchAndPress(*dialog, dialog->findChild<QCommandLinkButton*>(name))) << name;
        EXPECT_EQ(dialog->loadOption(), option) << name;
        EXPECT_FALSE(dialog->isVisible()) << name;
    }
}

// Each request gets a dialog of its own; Cancel and Escape leave it without an option.
TEST_F(AppendReplaceDialogTest, CancelAndEscapeLeaveNoOption) {
    arrange(Sharing::NotShared);
    const DialogPtr cancelled = create(Loader::StandardLoader);
    const DialogPtr escaped = create(Loader::StandardLoader);
    ASSERT_NE(cancelled.get(), escaped.get());
    auto* box = cancelled->findChild<QDialogButtonBox*>("buttonBox");
    const QSignalSpy finished(cancelled.get(), &QDialog::finished);
    EXPECT_FALSE(launchAndPress(*cancelled, box->button(QDialogButtonBox::Cancel)));
    EXPECT_EQ(finished.count(), 1); // a host acting on finished() acts once
    QTimer::singleShot(0, escaped.get(), [&] { QTest::keyClick(escaped.get(), Qt::Key_Escape); });
    EXPECT_FALSE(escaped->launch());
    for (const auto* dialog : {cancelled.get(), escaped.get()})
        EXPECT_EQ(dialog->loadOption(), DataLoadOption_None);
    auto* help = dynamic_cast<qelmar::sdk::ui::LaunchHelpAction*>(escaped->helpAction());
    EXPECT_EQ(help ? help->link() : QString(), "appendreplace.html");
}

} // namespace
