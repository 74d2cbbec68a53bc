// The export dialog lives once per process: these scenarios open the same dialog several times,
// as a user does over a session, and check that what it shows, what the kernel holds and what
// the file gets agree on every opening, not only the first.

#include "ExportDialogSteps.h"

#include "host/KernelExport.h"

#include <QCheckBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>

namespace qelmar::exporting::test {

namespace {

bool isColourImage(const std::string& path) {
    const QImage image(QString::fromStdString(path));
    return !image.isNull() && !image.isGrayscale() && !image.allGray();
}

QString imageDimensionsOf(const std::string& path) {
    const QSize size = QImageReader(QString::fromStdString(path)).size();
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

// Read by FFmpeg's own prober, not by the code that wrote the movie.
QString movieDimensionsOf(const std::string& path) {
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height", "-of",
                 "csv=p=0:s=x", QString::fromStdString(path)});
    if (!probe.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed().replace("x", " x ");
}

} // namespace

class ExportAcrossOpeningsTest : public ExportDialogTest {
protected:
    // OK, then the file dialog is cancelled: the options are saved, nothing is exported.
    void saveOptionsOnly(ExportDialog& dialog) {
        files.then([](QFileDialog& fileDialog) { fileDialog.reject(); });
        pressOk(dialog);
        dialog.reject();
        QCoreApplication::processEvents();
    }

    void exportAs(ExportDialog& dialog, const std::string& name) {
        files.saveAs(QString::fromStdString(path(name)));
        pressOk(dialog);
        for (const auto& message : kernel.messages())
            ADD_FAILURE() << message.text;
        ASSERT_FALSE(dialog.isVisible());
    }

    void useImageRendering(ExportDialog& dialog) {
        choose(dialog, "export_Format_CmbBox", "EPS");
        click(dialog, "exportEps_RenderTypeImage_RadioButton");
    }
};

// Printing shares the image resolution with exports: what one opening saved must not be undone
// by the next opening's cancel.
TEST_F(ExportAcrossOpeningsTest, CancelLeavesTheResolutionTheLastOkSaved) {
    styles.setFromElsewhere(resolutionPath, long{150});
    ExportDialog& first = open();
    useImageRendering(first);
    typeInto(first, "exportEps_Resolution_LineEdit", "300");
    saveOptionsOnly(first);
    ASSERT_EQ(styles.integerValue(resolutionPath), 300);

    ExportDialog& second = open();
    choose(second, "exportEps_Region_CmbBox", "All frames");
    second.reject();
    EXPECT_EQ(styles.integerValue(resolutionPath), 300);
    EXPECT_EQ(control<QLineEdit>(open(), "exportEps_Resolution_LineEdit")->text(), "300");
}

// A resolution changed by printing between two openings is what the next opening shows, and
// a cancel gives it back untouched.
TEST_F(ExportAcrossOpeningsTest, AnOpeningShowsWhatWasChangedElsewhereSinceTheLast) {
    ExportDialog& first = open();
    useImageRendering(first);
    typeInto(first, "exportEps_Resolution_LineEdit", "120");
    first.reject();
    styles.setFromElsewhere(resolutionPath, long{200});
    styles.setFromElsewhere(formatPath, long{ExportFormat_TIFF});

    ExportDialog& second = open();
    EXPECT_EQ(control<QComboBox>(second, "export_Format_CmbBox")->currentText(), "TIFF");
    choose(second, "export_Format_CmbBox", "EPS");
    EXPECT_EQ(control<QLineEdit>(second, "exportEps_Resolution_LineEdit")->text(), "200");
    second.reject();
    EXPECT_EQ(styles.integerValue(resolutionPath), 200);
    EXPECT_EQ(styles.integerValue(formatPath), ExportFormat_TIFF);
}

// Colour off for a TIFF must not turn the next PNG grey: PNG offers no colour choice.
TEST_F(ExportAcrossOpeningsTest, FormatsWithoutAColourChoiceExportInColourAfterAMonochromeTiff) {
    ExportDialog& first = open();
    choose(first, "export_Format_CmbBox", "TIFF");
    auto* colour = control<QCheckBox>(first, "export_Color_ToggleButton");
    if (colour->isChecked())
        click(first, "export_Color_ToggleButton");
    exportAs(first, "grey.tiff");
    EXPECT_FALSE(isColourImage(path("grey.tiff")));

    // Picking PNG brings colour back, and with it the 256-colour choice PNG offers.
    ExportDialog& second = open();
    choose(second, "export_Format_CmbBox", "PNG");
    EXPECT_FALSE(control(second, "export_Color_ToggleButton")->isEnabled());
    EXPECT_TRUE(control<QCheckBox>(second, "export_Color_ToggleButton")->isChecked());
    EXPECT_TRUE(control(second, "exportPng_256Colors_ToggleButton")->isEnabled());
    exportAs(second, "colour.png");
    EXPECT_TRUE(isColourImage(path("colour.png")));

    // The palette is shared by every format: the PNG, which could only be in colour, left it so.
    ExportDialog& third = open();
    choose(third, "export_Format_CmbBox", "TIFF");
    EXPECT_TRUE(control<QCheckBox>(third, "export_Color_ToggleButton")->isChecked());
    third.reject();
}

// The set keeps a copy of the file name; an OK must not write the copy of an earlier opening
// back over the name the user chose since.
TEST_F(ExportAcrossOpeningsTest, EveryOkProposesAndKeepsTheNameChosenLast) {
    styles.setFromElsewhere(fileNamePath, path("initial.png"));
    exportAs(open(), "first.png");
    ASSERT_EQ(styles.textValue(fileNamePath), path("first.png"));

    ExportDialog& second = open();
    files.then([&](QFileDialog& fileDialog) {
        EXPECT_EQ(dynamic_cast<sdk::ui::dialogs::QExtendedFileDialog&>(fileDialog).fileNameEdit()->text(),
                  "first.png");
        fileDialog.reject();
    });
    pressOk(second);
    second.reject();
    EXPECT_EQ(styles.textValue(fileNamePath), path("first.png"));
}

// A dialog dropped because its last frame went away is cancelled as the Cancel button would:
// the width choice made since the last OK is forgotten.
TEST_F(ExportAcrossOpeningsTest, ADialogDroppedForWantOfFramesForgetsItsWidthChoice) {
    ExportDialog& first = open();
    choose(first, "export_Format_CmbBox", "PNG");
    click(first, "exportPng_EnterWidth_RadioButton");
    saveOptionsOnly(first);

    ExportDialog& second = open();
    click(second, "exportPng_UseScreenWidth_RadioButton");
    app.removeFrame(temperature);
    QCoreApplication::processEvents();
    EXPECT_FALSE(second.isVisible());

    const int page = 0;
    app.setCurrentFrame(app.addFrame(page, "Pressure"));
    ExportDialog& third = open();
    EXPECT_TRUE(control<QRadioButton>(third, "exportPng_EnterWidth_RadioButton")->isChecked());
    third.reject();
}

// One computation sizes the text and the file: movies round odd sides up to even, still images
// keep the aspect's own height, and without an off-screen bitmap the width on screen is used.
TEST_F(ExportAcrossOpeningsTest, TheDimensionsShownAreTheDimensionsWritten) {
    bool sawOddHeight = false;
    for (int width = 301; width <= 306; ++width) {
        ExportDialog& dialog = open();
        choose(dialog, "export_Format_CmbBox", "PNG");
        click(dialog, "exportPng_EnterWidth_RadioButton");
        typeInto(dialog, "exportPng_Width_LineEdit", QString::number(width));
        const QString shown = control<QLabel>(dialog, "exportPng_ExportDimVal_Label")->text();
        const std::string name = "still-" + std::to_string(width) + ".png";
        exportAs(dialog, name);
        EXPECT_EQ(imageDimensionsOf(path(name)), shown) << width;
        sawOddHeight = sawOddHeight || shown.section(' ', 2).toInt() % 2 != 0;
    }
    EXPECT_TRUE(sawOddHeight) << "still images must not be rounded to even heights";

    styles.setFromElsewhere(offscreenPath, false);
    ExportDialog& onScreen = open();
    choose(onScreen, "export_Format_CmbBox", "PNG");
    const QString shown = control<QLabel>(onScreen, "exportPng_ExportDimVal_Label")->text();
    exportAs(onScreen, "screen.png");
    EXPECT_EQ(imageDimensionsOf(path("screen.png")), shown);
}

TEST_F(ExportAcrossOpeningsTest, AnOddWidthForAMovieIsShownAsTheEvenWidthWritten) {
    if (QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty())
        GTEST_SKIP() << "ffprobe is not installed";
    ExportDialog& dialog = open(ExportDialog::Mode_Animation);
    choose(dialog, "export_Format_CmbBox", "MPEG-4");
    click(dialog, "exportMp4_EnterWidth_RadioButton");
    typeInto(dialog, "exportMp4_Width_LineEdit", "301");
    const QString shown = control<QLabel>(dialog, "exportMp4_ExportDimVal_Label")->text();
    EXPECT_TRUE(shown.startsWith("302 x ")) << shown.toStdString();
    exportAs(dialog, "movie.mp4");
    ASSERT_TRUE(QelUtilExport(false));
    ASSERT_TRUE(QelUtilExport(true));
    ASSERT_TRUE(QelUtilExportFinish());
    EXPECT_EQ(movieDimensionsOf(path("movie.mp4")), shown);
}

} // namespace qelmar::exporting::test
