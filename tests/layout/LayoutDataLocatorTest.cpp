#include "layout/LayoutDataLocator.h"
#include "common/FileDialogSteps.h"
#include "host/LaunchHelpAction.h"
#include "standin/LayoutRelinkScene.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace {

using qelmar::dialogs::io::LayoutDataLocator;
using testsupport::describeFrames;
using testsupport::FileDialogSteps;
using testsupport::lastKernelError;

// The locator registers once per process over the host window it is given, as an application
// does at start; the suite's host window lives as long as the registration.
class LayoutDataLocatorTest : public ::testing::Test, protected testsupport::RelinkScene {
protected:
    static void SetUpTestSuite() {
        hostWindow = std::make_unique<QWidget>();
        LayoutDataLocator::registerCallback(*hostWindow);
    }
    static void TearDownTestSuite() {
        QelUtilLayoutRegisterLocateDataFileCallback(nullptr, nullptr);
        hostWindow.reset();
    }

    // Three station files shown by a linked layout with absolute paths; then the data folder
    // moves and the layout no longer finds it.
    void saveAndMoveData() {
        showStations({"data/s1.plt", "data/s2.plt", "data/s3.plt"});
        saved = describeFrames();
        saveLinked("session.lay");
        move("data", "moved/data");
        showScratch();
    }

    static std::unique_ptr<QWidget> hostWindow;
    std::string saved;
    FileDialogSteps fileDialogs;
};

std::unique_ptr<QWidget> LayoutDataLocatorTest::hostWindow;

// The user sees which file of which layout is missing, with that file's name as the first
// filter, picks it at its new place, and the layout opens with every file found.
TEST_F(LayoutDataLocatorTest, PickingTheMovedFileOpensTheLayout) {
    saveAndMoveData();
    QString message, asked, helpPage;
    QStringList filters;
    fileDialogs.then([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        if (auto* label = dialog.findChild<QLabel*>("locateDataFile_Message_Label"))
            message = label->text();
        for (QAction* action : dialog.findChildren<QAction*>()) {
            if (auto* help = dynamic_cast<qelmar::sdk::ui::LaunchHelpAction*>(action))
                helpPage = help->link();
        }
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        // The file asked for, at its new place; its name is the first filter's.
        asked = filters.value(0).section(' ', 0, 0);
        dialog.selectFile(QString::fromStdString(path("moved/data/")) + asked);
        dynamic_cast<qelmar::sdk::ui::dialogs::QExtendedFileDialog&>(dialog).accept();
    });
    ASSERT_TRUE(open(path("session.lay"))) << lastKernelError();
    EXPECT_EQ(fileDialogs.failures, 0);
    ASSERT_EQ(fileDialogs.titles.size(), 1u);
    EXPECT_EQ(fileDialogs.titles[0], "Locate Data File");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("%1 (%1)").arg(asked));
    EXPECT_EQ(filters[1], "All Files (*)");
    EXPECT_TRUE(message.contains("session.lay")) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromStdString(path("data/")) + asked)) << message.toStdString();
    EXPECT_TRUE(message.contains("3 of its data files are missing")) << message.toStdString();
    EXPECT_EQ(helpPage, "layout_relink.html");
    EXPECT_EQ(describeFrames(), saved);
}

TEST_F(LayoutDataLocatorTest, CancelOpensNothingAndSaysWhatIsMissing) {
    saveAndMoveData();
    const std::string before = describeFrames();
    fileDialogs.cancel();
    EXPECT_FALSE(open(path("session.lay")));
    EXPECT_EQ(fileDialogs.failures, 0);
    EXPECT_EQ(fileDialogs.titles.size(), 1u);
    EXPECT_NE(lastKernelError().find(path("data/s3.plt")), std::string::npos) << lastKernelError();
    EXPECT_EQ(describeFrames(), before);
}

} // namespace
