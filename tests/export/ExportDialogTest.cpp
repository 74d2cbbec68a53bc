#include "ExportDialogSteps.h"

#include "host/FilenameStrategy.h"
#include "host/LaunchHelpAction.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace qelmar::exporting::test {

using sdk::ui::FilenameStrategy;

TEST_F(ExportDialogTest, OneDialogServesBothModesAndOffersEachModesFormats) {
    ExportDialog& still = open();
    auto* formats = control<QComboBox>(still, "export_Format_CmbBox");
    EXPECT_EQ(itemsOf(formats), (QStringList{"BMP", "EPS", "JPEG", "PNG", "PostScript", "TIFF", "WMF"}));
    EXPECT_EQ(&open(ExportDialog::Mode_Animation), &still);
    QCoreApplication::processEvents();
    EXPECT_EQ(itemsOf(formats), (QStringList{"AVI", "Flash", "MPEG-4", "Raster Metafile", "WMV"}));
    EXPECT_EQ(still.windowTitle(), "Export");
    EXPECT_TRUE(still.isModal());
    delete &still;
    EXPECT_NE(ExportDialog::getInstance(host, ExportDialog::Mode_StillImage), nullptr);
}

// Pages and help of every format are checked with the format tables; here, the colour choice,
// which only some pages offer, and a format the list does not offer.
TEST_F(ExportDialogTest, TheColourChoiceFollowsTheFormatAndAnUnofferedFormatGivesWay) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "WMF");
    EXPECT_TRUE(control(dialog, "exportWmf_ExtraSort_ToggleButton")->isEnabled());
    EXPECT_TRUE(control(dialog, "export_Color_ToggleButton")->isEnabled());
    choose(dialog, "export_Format_CmbBox", "JPEG");
    EXPECT_FALSE(control(dialog, "export_Color_ToggleButton")->isEnabled());
    // A format the list does not offer, left in the kernel by an animation, gives way to the
    // first format shown, and OK would use what the user sees.
    styles.setFromElsewhere(formatPath, long{ExportFormat_AVI});
    delete &dialog;
    ExportDialog& reopened = open();
    EXPECT_EQ(control<QComboBox>(reopened, "export_Format_CmbBox")->currentText(), "BMP");
    EXPECT_EQ(dynamic_cast<sdk::ui::LaunchHelpAction*>(reopened.helpAction())->link(), "export_bmp.html");
}

TEST_F(ExportDialogTest, ATypedResolutionChangesTheDimensionsBeforeAnythingIsSaved) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "EPS");
    click(dialog, "exportEps_RenderTypeImage_RadioButton");
    auto* dimensions = control<QLabel>(dialog, "exportEps_ExportDimVal_Label");
    EXPECT_TRUE(dimensions->isEnabled());
    EXPECT_FALSE(control(dialog, "exportEps_ExtraPrecision_LineEdit")->isEnabled());
    const QString before = dimensions->text();
    const long kernelResolution = styles.integerValue(resolutionPath);
    typeInto(dialog, "exportEps_Resolution_LineEdit", QString::number(kernelResolution / 2));
    EXPECT_NE(dimensions->text(), before);
    EXPECT_EQ(styles.integerValue(resolutionPath), kernelResolution);
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_PNG);
}

TEST_F(ExportDialogTest, TiffColourDecidesBetween256ColoursAndGreyscaleDepth) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "TIFF");
    auto* color = control<QCheckBox>(dialog, "export_Color_ToggleButton");
    auto* colors256 = control<QCheckBox>(dialog, "exportTiff_256Colors_ToggleButton");
    auto* depth = control<QComboBox>(dialog, "exportTiff_GreyscaleDepth_CmbBox");
    if (!color->isChecked())
        click(dialog, "export_Color_ToggleButton");
    EXPECT_TRUE(colors256->isEnabled());
    EXPECT_FALSE(depth->isEnabled());
    click(dialog, "export_Color_ToggleButton");
    EXPECT_FALSE(colors256->isEnabled());
    EXPECT_TRUE(depth->isEnabled());
    EXPECT_EQ(itemsOf(depth), (QStringList{"On/Off", "1-Bit Gray", "4-Bit Gray", "8-Bit Gray"}));
}

TEST_F(ExportDialogTest, TheQualitySliderAndItsLabelFollowEachOther) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "JPEG");
    auto* slider = control<QSlider>(dialog, "exportJpg_JPEGQuality_Scale");
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 100);
    slider->setValue(42);
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QLabel>(dialog, "exportJpg_JPEGQualityValue_Label")->text(), "42");
}

TEST_F(ExportDialogTest, OkProposesTheKernelsNameWithTheFormatsExtensionAndWritesTheImage) {
    styles.setFromElsewhere(fileNamePath, path("plot.png"));
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "TIFF");
    click(dialog, "exportTiff_EnterWidth_RadioButton");
    typeInto(dialog, "exportTiff_Width_LineEdit", "321");
    const QString dimensions = control<QLabel>(dialog, "exportTiff_ExportDimVal_Label")->text();
    expectProposalThenSave(folder(), "plot.tiff", "figure.tiff");
    pressOk(dialog);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(files.filters.size(), 1u);
    EXPECT_EQ(files.filters[0], "TIFF Files (*.tiff)");
    EXPECT_EQ(files.titles[0], "Select Export File");
    EXPECT_EQ(styles.textValue(fileNamePath), path("figure.tiff"));
    QImageReader written(QString::fromStdString(path("figure.tiff")));
    const QSize size = written.size();
    EXPECT_EQ(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()), dimensions);
    EXPECT_EQ(size.width(), 321);
}

TEST_F(ExportDialogTest, WithoutAKernelNameTheStrategyProposesAndCancelKeepsTheSavedOptions) {
    FilenameStrategy::getManager().rememberFile(FilenameStrategy::FileCategory_Export, path("last.png"));
    styles.setFromElsewhere(fileNamePath, std::string());
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "BMP");
    files.then([&](QFileDialog& fileDialog) {
        EXPECT_EQ(fileDialog.directory().absolutePath(), folder());
        EXPECT_EQ(dynamic_cast<sdk::ui::dialogs::QExtendedFileDialog&>(fileDialog).fileNameEdit()->text(),
                  "last.bmp");
        fileDialog.reject();
    });
    pressOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_BMP);
    EXPECT_EQ(styles.textValue(fileNamePath), "");
    dialog.reject();
}

TEST_F(ExportDialogTest, InAnimationModeOkStoresTheNameAndExportsNothing) {
    ExportDialog& dialog = open(ExportDialog::Mode_Animation);
    choose(dialog, "export_Format_CmbBox", "AVI");
    files.saveAs(QString::fromStdString(path("movie.avi")));
    pressOk(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(styles.textValue(fileNamePath), path("movie.avi"));
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_AVI);
    EXPECT_FALSE(kernel.wasCalled("QelUtilExport"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("movie.avi"))));
}

TEST_F(ExportDialogTest, AFailedExportIsReportedAndTheDialogStaysOpen) {
    ExportDialog& dialog = open();
    kernel.failCall("QelUtilExport");
    files.saveAs(QString::fromStdString(path("failed.png")));
    pressOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    const auto errors = kernel.messagesOfType(0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text.rfind("Unable to render offscreen image", 0), 0u) << errors[0].text;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("failed.png"))));
    dialog.reject();
}

TEST_F(ExportDialogTest, ARefusedOptionOnOkIsShownAndTheDialogStaysOpen) {
    ExportDialog& dialog = open();
    styles.refuseWrites(formatPath, std::string("This format is switched off."));
    choose(dialog, "export_Format_CmbBox", "BMP");
    pressOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_FALSE(kernel.messagesOfType(0).empty());
    EXPECT_EQ(kernel.messagesOfType(0).back().text, "This format is switched off.");
    dialog.reject();
}

} // namespace qelmar::exporting::test
