// The preview panel of the export dialog: the size in print, the transparent background and
// the previews, driven through the real dialog; and the dialog with the additions off.

#include "ExportPreviewSteps.h"

#include "host/ExportFormats.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QStackedWidget>

namespace qelmar::exporting::test {

namespace {

// Every object of the dialog by name and class, and the rows of its lists: what the user and a
// host's scripts can see.
std::vector<std::string> treeOf(QWidget& dialog) {
    QStringList tree;
    for (QObject* child : dialog.findChildren<QObject*>()) {
        if (!child->objectName().isEmpty() && child->isWidgetType())
            tree << child->objectName() + QLatin1Char(':') + QLatin1String(child->metaObject()->className());
    }
    for (QComboBox* combo : dialog.findChildren<QComboBox*>())
        tree << combo->objectName() + QLatin1Char('=') + itemsOf(combo).join(QLatin1Char('|'));
    tree.sort();
    std::vector<std::string> names;
    for (const QString& entry : tree)
        names.push_back(entry.toStdString());
    return names;
}

} // namespace

using ExportAdditionsOffTest = ExportDialogTest;

// A host that never switches the additions on, or switches them off again, gets the plain form.
TEST_F(ExportAdditionsOffTest, TheDialogIsThePlainFormWhateverWasSwitchedBefore) {
    std::vector<std::string> plain;
    {
        QWidget firstHost;
        ExportDialog* dialog = ExportDialog::getInstance(firstHost, ExportDialog::Mode_StillImage);
        // Shown, since a page fills its lists when it is first shown.
        dialog->show();
        QCoreApplication::processEvents();
        plain = treeOf(*dialog);
        dialog->reject();
        EXPECT_EQ(dialog->findChild<ExportPreviewPanel*>(), nullptr);
        {
            // The existing dialog takes the additions at once, and gives them back.
            const AdditionsSwitch on({true, true, false});
            EXPECT_NE(dialog->findChild<ExportPreviewPanel*>(), nullptr);
            EXPECT_TRUE(itemsOf(control<QComboBox>(*dialog, "export_Format_CmbBox")).contains("PDF"));
        }
        EXPECT_FALSE(itemsOf(control<QComboBox>(*dialog, "export_Format_CmbBox")).contains("PDF"));
        dialog->show();
        QCoreApplication::processEvents();
        EXPECT_FALSE(dialog->findChild<ExportPreviewPanel*>()->isVisible());
        dialog->reject();
    }
    ExportDialog& later = open();
    EXPECT_EQ(treeOf(later), plain);
    EXPECT_EQ(itemsOf(control<QComboBox>(later, "export_Format_CmbBox")),
              QStringList({"BMP", "EPS", "JPEG", "PNG", "PostScript", "TIFF", "WMF"}));
    later.reject();
}

using ExportPhysicalSizeTest = ExportPreviewTest;

// 8.5 cm at 600 dpi is 2008 pixels; the size is typed in the panel and written on OK.
TEST_F(ExportPhysicalSizeTest, ASizeInCentimetresSetsThePixelWidthAndIsWrittenOnOk) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "PNG");
    choose(dialog, "exportPreview_Unit_CmbBox", "Centimetres");
    typeInto(dialog, "exportPreview_Resolution_LineEdit", "600");
    typeInto(dialog, "exportPreview_Width_LineEdit", "8.5");

    EXPECT_EQ(control<QLineEdit>(dialog, "exportPng_Width_LineEdit")->text(), "2008");
    EXPECT_TRUE(control<QRadioButton>(dialog, "exportPng_EnterWidth_RadioButton")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(dialog, "exportPreview_UsePhysicalSize_ToggleButton")->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPreview_Width_LineEdit")->text(), "8.5");
    const int height = QelUtilGetExportImageHeight(2008, ExportRegion_CurrentFrame);
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPreview_Height_LineEdit")->text().toDouble(),
              std::round(height / 600.0 * 254.0) / 100.0);
    // Nothing reaches the kernel before OK.
    EXPECT_EQ(styles.integerValue(imageWidthPath), 800);
    EXPECT_FALSE(styles.boolValue(usePhysicalSizePath));

    waitForPreview(panelOf(dialog));
    const QString summary = control<QLabel>(dialog, "exportPreview_Summary_Label")->text();
    EXPECT_TRUE(summary.contains(QStringLiteral("2008 x %1 pixels").arg(height))) << summary.toStdString();
    EXPECT_TRUE(summary.contains("8.5 x")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("cm at 600 dpi")) << summary.toStdString();

    files.saveAs(QString::fromStdString(path("print.png")));
    pressOk(dialog);
    EXPECT_EQ(styles.integerValue(imageWidthPath), 2008);
    EXPECT_EQ(styles.integerValue(resolutionPath), 600);
    EXPECT_TRUE(styles.boolValue(usePhysicalSizePath));
    EXPECT_EQ(QImage(QString::fromStdString(path("print.png"))).width(), 2008);
}

// The unit changes how the size reads, never the size; the resolution keeps the size in print
// in a physical unit and the pixels in Pixels.
TEST_F(ExportPhysicalSizeTest, UnitsConvertAndTheResolutionKeepsWhatTheUnitNames) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "PNG");
    choose(dialog, "exportPreview_Unit_CmbBox", "Centimetres");
    typeInto(dialog, "exportPreview_Resolution_LineEdit", "600");
    typeInto(dialog, "exportPreview_Width_LineEdit", "8.5");
    const auto width = [&dialog] {
        return control<QLineEdit>(dialog, "exportPreview_Width_LineEdit")->text();
    };
    const auto pixels = [&dialog] { return control<QLineEdit>(dialog, "exportPng_Width_LineEdit")->text(); };

    choose(dialog, "exportPreview_Unit_CmbBox", "Inches");
    EXPECT_EQ(width(), "3.35");
    choose(dialog, "exportPreview_Unit_CmbBox", "Pixels");
    EXPECT_EQ(width(), "2008");
    choose(dialog, "exportPreview_Unit_CmbBox", "Centimetres");
    EXPECT_EQ(width(), "8.5");

    typeInto(dialog, "exportPreview_Resolution_LineEdit", "300");
    EXPECT_EQ(width(), "8.5");
    EXPECT_EQ(pixels(), "1004");

    choose(dialog, "exportPreview_Unit_CmbBox", "Pixels");
    typeInto(dialog, "exportPreview_Resolution_LineEdit", "150");
    EXPECT_EQ(width(), "1004");
    EXPECT_EQ(pixels(), "1004");
    choose(dialog, "exportPreview_Unit_CmbBox", "Centimetres");
    EXPECT_EQ(width(), "17");

    // Typing the height sets the width that gives it at the region's aspect.
    choose(dialog, "exportPreview_Unit_CmbBox", "Pixels");
    const int height = QelUtilGetExportImageHeight(1004, ExportRegion_CurrentFrame);
    typeInto(dialog, "exportPreview_Height_LineEdit", QString::number(height * 2));
    EXPECT_NEAR(pixels().toInt(), 2008, 2);
    dialog.reject();
}

// A size the writers cannot make, or a resolution beyond the kernel's limit, is refused with
// the range and the earlier values stay.
TEST_F(ExportPhysicalSizeTest, RefusedSizesAndResolutionsLeaveTheOldValues) {
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "PNG");
    choose(dialog, "exportPreview_Unit_CmbBox", "Centimetres");
    typeInto(dialog, "exportPreview_Resolution_LineEdit", "600");
    typeInto(dialog, "exportPreview_Width_LineEdit", "8.5");
    kernel.clearMessages();

    typeInto(dialog, "exportPreview_Width_LineEdit", "2000");
    ASSERT_EQ(errorTexts().size(), 1u);
    EXPECT_NE(errorTexts()[0].find("4 to 32766 pixels"), std::string::npos) << errorTexts()[0];
    EXPECT_NE(errorTexts()[0].find("cm at 600 dpi"), std::string::npos) << errorTexts()[0];
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPreview_Width_LineEdit")->text(), "8.5");
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPng_Width_LineEdit")->text(), "2008");

    typeInto(dialog, "exportPreview_Width_LineEdit", "wide");
    EXPECT_EQ(errorTexts().size(), 2u);
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPng_Width_LineEdit")->text(), "2008");

    // 8.5 cm at 100000 dpi is far beyond the largest image.
    const int limit = QelAppGetVectorExportMaxDPI(ExportRegion_CurrentFrame);
    typeInto(dialog, "exportPreview_Resolution_LineEdit", QString::number(limit + 1));
    EXPECT_EQ(errorTexts().size(), 3u);
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPreview_Resolution_LineEdit")->text(), "600");
    EXPECT_EQ(control<QLineEdit>(dialog, "exportPng_Width_LineEdit")->text(), "2008");
    dialog.reject();
    EXPECT_EQ(styles.integerValue(imageWidthPath), 800);
    EXPECT_EQ(styles.integerValue(resolutionPath), 150);
}

using ExportTransparencyTest = ExportPreviewTest;

// Transparency applies to PNG and TIFF only.
TEST_F(ExportTransparencyTest, OfferedForPngAndTiffOnly) {
    ExportDialog& dialog = open();
    auto* transparent = control<QCheckBox>(dialog, "exportPreview_Transparent_ToggleButton");
    EXPECT_EQ(transparent->text(), "Transparent &background");
    for (const char* format : {"BMP", "EPS", "JPEG", "PDF", "SVG", "WMF"}) {
        choose(dialog, "export_Format_CmbBox", format);
        EXPECT_FALSE(transparent->isEnabled()) << format;
    }
    for (const char* format : {"PNG", "TIFF"}) {
        choose(dialog, "export_Format_CmbBox", format);
        EXPECT_TRUE(transparent->isEnabled()) << format;
    }
    dialog.reject();
}

using ExportPreviewRenderTest = ExportPreviewTest;

// A burst of edits renders one preview after the last; the summary follows the edits.
TEST_F(ExportPreviewRenderTest, QuickEditsAreCoalescedIntoOnePreview) {
    ExportDialog& dialog = open();
    ExportPreviewPanel& panel = panelOf(dialog);
    choose(dialog, "export_Format_CmbBox", "PNG");
    click(dialog, "exportPng_EnterWidth_RadioButton");
    waitForPreview(panel);
    const int before = panel.renderCount();
    EXPECT_GE(before, 1);

    // Typed without a turn of the event loop in between, as a fast typist's edits arrive.
    auto* field = control<QLineEdit>(dialog, "exportPng_Width_LineEdit");
    for (const char* width : {"300", "400", "500"}) {
        field->selectAll();
        QTest::keyClicks(field, width);
        QTest::keyClick(field, Qt::Key_Return);
    }
    EXPECT_TRUE(panel.renderPending());
    EXPECT_EQ(panel.renderCount(), before);
    waitForPreview(panel);
    EXPECT_EQ(panel.renderCount(), before + 1);
    const QString summary = control<QLabel>(dialog, "exportPreview_Summary_Label")->text();
    EXPECT_TRUE(summary.startsWith(QStringLiteral("500 x "))) << summary.toStdString();

    // A picture or the kernel's reason for having none: never a blank panel.
    auto* image = control<QLabel>(dialog, "exportPreview_Image_Label");
    EXPECT_TRUE(!image->pixmap().isNull() || !image->text().isEmpty());
    dialog.reject();
}

} // namespace qelmar::exporting::test
