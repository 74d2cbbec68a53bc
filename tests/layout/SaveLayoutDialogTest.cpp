#include "LayoutTestFixture.h"

#include "common/FileDialogSteps.h"
#include "host/QExtendedFileDialog.h"
#include "layout/SaveLayoutDialog.h"
#include "layout/SaveLayoutQtDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace qelmar::layout::test {

using dialogs::io::SaveLayoutDialog;
using dialogs::io::SaveLayoutQtDialog;
using testsupport::chooseFileType;

namespace {

QCheckBox* option(QWidget& dialog, const char* text) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}
QCheckBox* relativePaths(QWidget& dialog) {
    return option(dialog, "&Use relative paths");
}
QCheckBox* previewImage(QWidget& dialog) {
    return option(dialog, "&Include preview image");
}

// The options follow the file type at the next idle moment.
bool shown(QWidget* widget) {
    QCoreApplication::processEvents();
    return widget && !widget->isHidden();
}

} // namespace

TEST(SaveLayoutFileTypes, FilterTextsTypesAndExtensionsTranslateIntoEachOther) {
    EXPECT_EQ(SaveLayoutDialog::filterDescriptions(),
              (std::vector<std::string>{"Linked Data (*.lay)", "Packaged Data (*.lpk)"}));
    EXPECT_EQ(SaveLayoutDialog::filterForType(SaveLayoutDialog::PackagedData), "Packaged Data (*.lpk)");
    EXPECT_EQ(SaveLayoutDialog::lookupFileType("Linked Data (*.lay)"), SaveLayoutDialog::LinkedData);
    EXPECT_EQ(SaveLayoutDialog::lookupFileType("Packaged Data (*.lpk)"), SaveLayoutDialog::PackagedData);
    EXPECT_EQ(SaveLayoutDialog::chooseFilterId("/data/case.LPK"), 1);
    for (const char* name : {"/data/case.lay", "/data.lpk/case", "case.plt", ""})
        EXPECT_EQ(SaveLayoutDialog::chooseFilterId(name), 0) << name;
}

using SaveLayoutQtDialogTest = LayoutTest;

TEST_F(SaveLayoutQtDialogTest, TheConfigurationOpensThePackageWithThePreviewOptionInTheLastRow) {
    styles.setFromElsewhere(includeDataPath, true);
    SaveLayoutQtDialog dialog(&host, path("case.lay"), "case.lay");
    sdk::ui::dialogs::QExtendedFileDialog& files = *dialog.dialog();
    EXPECT_EQ(files.windowTitle(), "Save Layout");
    EXPECT_EQ(files.selectedNameFilter(), "Packaged Data (*.lpk)");
    EXPECT_EQ(dialog.fileType(), SaveLayoutDialog::PackagedData);
    EXPECT_TRUE(shown(previewImage(files)));
    EXPECT_FALSE(shown(relativePaths(files)));

    auto* grid = qobject_cast<QGridLayout*>(files.layout());
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(grid->indexOf(relativePaths(files)), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(row, grid->rowCount() - 1);
    EXPECT_EQ(columnSpan, 2);
    EXPECT_EQ(grid->itemAtPosition(row, 0)->widget(), relativePaths(files));
    EXPECT_EQ(files.fileTypeLabel()->text(), "Files of &type:");
    EXPECT_EQ(files.fileTypeLabel()->buddy(), files.fileTypeCombo());
    EXPECT_EQ(files.fileTypeCombo()->nextInFocusChain(), relativePaths(files));
    EXPECT_EQ(files.lookInLabel()->text(), "&Look in:");
    EXPECT_EQ(files.lookInLabel()->buddy(), files.lookInCombo());
}

TEST_F(SaveLayoutQtDialogTest, SwitchingTheFileTypeSwapsTheOptionsWhileTheConfigurationWaits) {
    SaveLayoutQtDialog dialog(&host, "", path("case.lpk"));
    QFileDialog& files = *dialog.dialog();
    EXPECT_TRUE(shown(previewImage(files)));
    chooseFileType(files, 0);
    EXPECT_FALSE(shown(previewImage(files)));
    EXPECT_TRUE(shown(relativePaths(files)));
    EXPECT_EQ(dialog.fileType(), SaveLayoutDialog::LinkedData);
    chooseFileType(files, 1);
    EXPECT_TRUE(shown(previewImage(files)));
    EXPECT_FALSE(styles.boolValue(includeDataPath));
}

TEST_F(SaveLayoutQtDialogTest, TheChosenOptionsReachTheConfigurationOnlyWithASave) {
    {
        SaveLayoutDialog cancelled(&host, path("start.lay"), "start.lay");
        files.then([](QFileDialog& dialog) {
            chooseFileType(dialog, 1);
            previewImage(dialog)->click();
            dialog.reject();
        });
        EXPECT_FALSE(cancelled.launch());
    }
    EXPECT_FALSE(styles.boolValue(includeDataPath) || styles.boolValue(includePreviewPath));

    SaveLayoutDialog dialog(&host, path("start.lay"), "start.lay");
    files.then([](QFileDialog& fileDialog) {
        chooseFileType(fileDialog, 1);
        EXPECT_TRUE(shown(previewImage(fileDialog)));
        previewImage(fileDialog)->click();
        typeNameAndSave(fileDialog, "packaged.lpk");
    });
    ASSERT_TRUE(dialog.launch());
    EXPECT_EQ(dialog.fileType(), SaveLayoutDialog::PackagedData);
    EXPECT_EQ(dialog.selectedWriter(), 1);
    EXPECT_FALSE(styles.boolValue(includePreviewPath));
    ASSERT_TRUE(dialog.saveLayout());
    const auto entries = ApplicationTestControl::packageEntries(path("packaged.lpk"));
    EXPECT_NE(std::find(entries.begin(), entries.end(), "preview.png"), entries.end());
    EXPECT_TRUE(styles.boolValue(includeDataPath) && styles.boolValue(includePreviewPath));
}

} // namespace qelmar::layout::test
