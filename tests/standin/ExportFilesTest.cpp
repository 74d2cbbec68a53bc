#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "exportengine/PlotRenderer.h"
#include "host/ExportFormats.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <tiffio.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using exporttest::lastError;
using testsupport::contentsOf;
using testsupport::fileExists;

QSize announcedSize(ExportFormat_e format, ExportRegion_e region, int typedWidth = 0) {
    const int width = typedWidth > 0 ? typedWidth : QelUtilGetDefaultExportImageWidth(format, region);
    return QSize(width, QelUtilGetExportImageHeight(width, region));
}

int tiffBitsPerSample(const std::string& path) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return -1;
    uint16_t bits = 0;
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFClose(tiff);
    return bits;
}

// The bounding box an encapsulated or plain PostScript file announces, in points.
QSize boundingBoxOf(const QByteArray& postScript) {
    const auto match = QRegularExpression(QStringLiteral("%%BoundingBox: 0 0 (\\d+) (\\d+)\\n"))
                           .match(QString::fromLatin1(postScript.left(4096)));
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

class ExportFilesTest : public exporttest::ExportTestScene {
protected:
    // Exports with the settings given before; the file name is inside the test's folder.
    bool exportAs(const std::string& name, ExportFormat_e format,
                  ExportRegion_e region = ExportRegion_CurrentFrame) {
        set({"ExportSetup", "ExportFName"}, path(name));
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
        set({"ExportSetup", "ExportRegion"}, static_cast<long>(region));
        return QelUtilExport(false);
    }
};

TEST_F(ExportFilesTest, RasterImagesHaveTheAnnouncedSize) {
    struct Case {
        ExportFormat_e format;
        ExportRegion_e region;
        int typedWidth; // 0: the width on screen
        bool superSample;
    };
    const Case cases[] = {
        {ExportFormat_PNG, ExportRegion_CurrentFrame, 0, false},
        {ExportFormat_PNG, ExportRegion_AllFrames, 0, false},
        {ExportFormat_BMP, ExportRegion_WorkArea, 0, false},
        {ExportFormat_JPEG, ExportRegion_AllFrames, 333, false},
        {ExportFormat_TIFF, ExportRegion_WorkArea, 517, false},
        {ExportFormat_PNG, ExportRegion_AllFrames, 401, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "format " << c.format << ", region " << c.region << ", width " << c.typedWidth);
        set({"Interface", "UseOffScreenBitMap"}, c.typedWidth > 0);
        set({"ExportSetup", "ImageWidth"}, static_cast<long>(c.typedWidth > 0 ? c.typedWidth : 800));
        set({"ExportSetup", "UseSuperSampleAntiAliasing"}, c.superSample);
        ASSERT_TRUE(exportAs("image", c.format, c.region)) << lastError();
        QImageReader reader(QString::fromStdString(path("image")));
        EXPECT_EQ(reader.size(), announcedSize(c.format, c.region, c.typedWidth));
        EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
    }
    // The screen width is the region's width at the screen's scale.
    EXPECT_EQ(QelUtilGetDefaultExportImageWidth(ExportFormat_PNG, ExportRegion_CurrentFrame),
              qRound(4.5 * qelmar::standin::screenPixelsPerInch));
}

TEST_F(ExportFilesTest, PaletteDecidesGreyscaleIndexedOrColourPixels) {
    ASSERT_TRUE(exportAs("colour.png", ExportFormat_PNG));
    EXPECT_FALSE(QImage(QString::fromStdString(path("colour.png"))).isGrayscale());

    // Monochrome is a choice for TIFF only among the raster formats: the others, whose dialog
    // page offers no colour choice, stay in colour whatever the shared palette says.
    set({"PrintSetup", "Palette"}, 0L);
    for (ExportFormat_e format : {ExportFormat_PNG, ExportFormat_JPEG, ExportFormat_BMP}) {
        ASSERT_TRUE(exportAs("still colour", format)) << lastError();
        EXPECT_FALSE(QImage(QString::fromStdString(path("still colour"))).isGrayscale())
            << "format " << format;
    }
    for (long depth : {0L, 1L, 4L, 8L}) {
        set({"ExportSetup", "GrayscaleDepth"}, depth);
        ASSERT_TRUE(exportAs("grey.tif", ExportFormat_TIFF)) << lastError();
        EXPECT_EQ(tiffBitsPerSample(path("grey.tif")), depth == 0 ? 1 : depth);
        EXPECT_EQ(QImageReader(QString::fromStdString(path("grey.tif"))).size(),
                  announcedSize(ExportFormat_TIFF, ExportRegion_CurrentFrame, 800));
    }

    set({"PrintSetup", "Palette"}, 2L);
    set({"ExportSetup", "ConvertTo256Colors"}, true);
    for (ExportFormat_e format : {ExportFormat_PNG, ExportFormat_BMP, ExportFormat_TIFF}) {
        ASSERT_TRUE(exportAs("indexed", format)) << lastError();
        const QImage image(QString::fromStdString(path("indexed")));
        EXPECT_EQ(image.format(), QImage::Format_Indexed8) << "format " << format;
        EXPECT_LE(image.colorCount(), 256);
    }
    // JPEG has no palette: the option does not apply to it; its quality decides the file's size.
    set({"ExportSetup", "Quality"}, 10.0);
    ASSERT_TRUE(exportAs("rough.jpg", ExportFormat_JPEG));
    EXPECT_NE(QImageReader(QString::fromStdString(path("rough.jpg"))).imageFormat(), QImage::Format_Indexed8);
    set({"ExportSetup", "Quality"}, 95.0);
    ASSERT_TRUE(exportAs("fine.jpg", ExportFormat_JPEG));
    EXPECT_GT(contentsOf(path("fine.jpg")).size(), 2 * contentsOf(path("rough.jpg")).size());
}

TEST_F(ExportFilesTest, PostScriptBoundingBoxIsTheRegionInPoints) {
    for (long renderType : {0L, 1L}) {
        set({"ExportSetup", "PrintRenderType"}, renderType);
        for (ExportRegion_e region :
             {ExportRegion_CurrentFrame, ExportRegion_AllFrames, ExportRegion_WorkArea}) {
            SCOPED_TRACE(testing::Message() << "render type " << renderType << ", region " << region);
            const QRectF inches = qelmar::standin::regionInches(region);
            const QSize points(qRound(inches.width() * 72), qRound(inches.height() * 72));
            ASSERT_TRUE(exportAs("plot.eps", ExportFormat_EPS, region)) << lastError();
            const QByteArray eps = contentsOf(path("plot.eps"));
            EXPECT_TRUE(eps.startsWith("%!PS-Adobe-3.0 EPSF-3.0\n"));
            EXPECT_EQ(boundingBoxOf(eps), points);
            ASSERT_TRUE(exportAs("plot.ps", ExportFormat_PS, region)) << lastError();
            const QByteArray ps = contentsOf(path("plot.ps"));
            EXPECT_TRUE(ps.startsWith("%!PS-Adobe-3.0\n"));
            EXPECT_EQ(boundingBoxOf(ps), points);
        }
    }
}

TEST_F(ExportFilesTest, EncapsulatedPreviews) {
    set({"ExportSetup", "EPSPreviewImage", "ImageWidth"}, 90L);
    set({"ExportSetup", "EPSPreviewImage", "ImageHeight"}, 60L);

    set({"ExportSetup", "EPSPreviewImage", "ImageType"}, 1L);
    set({"ExportSetup", "EPSPreviewImage", "GrayscaleDepth"}, 4L);
    ASSERT_TRUE(exportAs("tiff.eps", ExportFormat_EPS)) << lastError();
    const QByteArray binary = contentsOf(path("tiff.eps"));
    ASSERT_GE(binary.size(), 30);
    const auto* header = reinterpret_cast<const uchar*>(binary.constData());
    EXPECT_EQ(binary.left(4), QByteArray::fromHex("C5D0D3C6"));
    const quint32 psStart = qFromLittleEndian<quint32>(header + 4);
    const quint32 psLength = qFromLittleEndian<quint32>(header + 8);
    const quint32 tiffStart = qFromLittleEndian<quint32>(header + 20);
    const quint32 tiffLength = qFromLittleEndian<quint32>(header + 24);
    EXPECT_TRUE(binary.mid(psStart, psLength).startsWith("%!PS-Adobe-3.0 EPSF-3.0"));
    EXPECT_TRUE(binary.mid(psStart, psLength).trimmed().endsWith("%%EOF"));
    ASSERT_EQ(tiffStart + tiffLength, static_cast<quint32>(binary.size()));
    QByteArray tiff = binary.mid(tiffStart, tiffLength);
    QBuffer tiffBuffer(&tiff);
    QImageReader preview(&tiffBuffer, "tiff");
    EXPECT_EQ(preview.size(), QSize(90, 60));
    EXPECT_FALSE(preview.read().isNull());

    // The interchange preview sits right after the header comments; the legacy type is 1 bit.
    for (long type : {2L, 3L}) {
        set({"ExportSetup", "EPSPreviewImage", "ImageType"}, type);
        ASSERT_TRUE(exportAs("epsi.eps", ExportFormat_EPS)) << lastError();
        const QByteArray eps = contentsOf(path("epsi.eps"));
        const auto match =
            QRegularExpression(QStringLiteral("%%EndComments\\n%%BeginPreview: 90 60 (\\d) (\\d+)\\n"))
                .match(QString::fromLatin1(eps));
        ASSERT_TRUE(match.hasMatch()) << "type " << type;
        EXPECT_EQ(match.captured(1).toInt(), type == 3 ? 1 : 4);
        const qsizetype begin = eps.indexOf('\n', match.capturedEnd(0) - 1) + 1;
        const qsizetype end = eps.indexOf("%%EndPreview\n");
        EXPECT_EQ(eps.mid(begin, end - begin).count('\n'), match.captured(2).toInt());
    }
}

TEST_F(ExportFilesTest, GhostscriptRendersThePostScriptFiles) {
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty())
        GTEST_SKIP() << "Ghostscript is not installed";
    set({"ExportSetup", "EPSPreviewImage", "ImageType"}, 1L);
    ASSERT_TRUE(exportAs("tiff.eps", ExportFormat_EPS, ExportRegion_WorkArea));
    set({"ExportSetup", "PrintRenderType"}, 1L);
    set({"PrintSetup", "Palette"}, 0L);
    ASSERT_TRUE(exportAs("image.ps", ExportFormat_PS, ExportRegion_AllFrames));
    for (const char* name : {"tiff.eps", "image.ps"}) {
        QProcess ghostscript;
        ghostscript.start(gs, {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=bbox",
                               QString::fromStdString(path(name))});
        ASSERT_TRUE(ghostscript.waitForFinished(60000));
        EXPECT_EQ(ghostscript.exitCode(), 0)
            << name << ": " << ghostscript.readAllStandardError().toStdString();
        EXPECT_TRUE(ghostscript.readAllStandardError().contains("%%BoundingBox:")) << name;
    }
}

TEST_F(ExportFilesTest, RefusedExportsExplainAndWriteNothing) {
    // Every format this kernel has no writer for.
    for (const auto& row : qelmar::sdk::exportFormats()) {
        if (row.writer != qelmar::sdk::ExportWriter::None)
            continue;
        EXPECT_FALSE(exportAs("refused", row.value)) << row.label;
        const char* expected =
            row.value == ExportFormat_FlashVideo ? "animations is not available" : "not supported";
        EXPECT_NE(lastError().find(expected), std::string::npos) << lastError();
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("refused"))));
    }
    set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_PNG));
    EXPECT_FALSE(QelUtilExport(true));
    EXPECT_NE(lastError().find("animation"), std::string::npos) << lastError();

    // An embedded image too large for the region is refused, not shrunk behind the user's back.
    set({"ExportSetup", "PrintRenderType"}, 1L);
    set({"PrintSetup", "ImageResolution"},
        static_cast<long>(QelAppGetVectorExportMaxDPI(ExportRegion_WorkArea) + 1));
    EXPECT_FALSE(exportAs("refused", ExportFormat_EPS, ExportRegion_WorkArea));
    EXPECT_NE(lastError().find("dpi"), std::string::npos) << lastError();

    // So is a preview whose rendering and encoding would take hundreds of megabytes.
    set({"ExportSetup", "PrintRenderType"}, 0L);
    set({"ExportSetup", "EPSPreviewImage", "ImageType"}, static_cast<long>(EPSPreviewImage_EPSIV2));
    set({"ExportSetup", "EPSPreviewImage", "ImageWidth"}, 8000L);
    set({"ExportSetup", "EPSPreviewImage", "ImageHeight"}, 8000L);
    EXPECT_FALSE(exportAs("refused", ExportFormat_EPS));
    EXPECT_NE(lastError().find("8000 x 8000 pixels is too large"), std::string::npos) << lastError();
    set({"ExportSetup", "EPSPreviewImage", "ImageType"}, static_cast<long>(EPSPreviewImage_None));

    app.removeFrame(curves);
    app.removeFrame(surface);
    EXPECT_FALSE(exportAs("refused", ExportFormat_PNG));
    EXPECT_EQ(lastError(), "There is no frame to export.");
    EXPECT_FALSE(fileExists(path("refused")));
    // Without frames the size queries still answer.
    EXPECT_GT(QelUtilGetDefaultExportImageWidth(ExportFormat_PNG, ExportRegion_CurrentFrame), 0);
    EXPECT_GT(QelAppGetVectorExportMaxDPI(ExportRegion_AllFrames), 0);
}

TEST_F(ExportFilesTest, SizesFollowTheRegionAndTheResolution) {
    const int frameDpi = QelAppGetVectorExportMaxDPI(ExportRegion_CurrentFrame);
    const int allDpi = QelAppGetVectorExportMaxDPI(ExportRegion_AllFrames);
    const int workDpi = QelAppGetVectorExportMaxDPI(ExportRegion_WorkArea);
    EXPECT_GT(frameDpi, allDpi);
    EXPECT_GT(allDpi, workDpi);
    EXPECT_GE(workDpi, 300); // a usual print resolution still fits the largest region

    // Vector formats measure at the print resolution, raster formats at the screen's.
    set({"PrintSetup", "ImageResolution"}, 300L);
    EXPECT_EQ(QelUtilGetDefaultExportImageWidth(ExportFormat_EPS, ExportRegion_AllFrames), 300 * 10);
    EXPECT_EQ(QelUtilGetExportImageHeight(3000, ExportRegion_AllFrames), 300 * 6);
    // Still images keep the height of the region's aspect, odd or even; movies whose codecs need
    // even sides round both sides up, and the size query says so for the format it is given.
    EXPECT_EQ(QelUtilGetExportImageHeight(1, ExportRegion_CurrentFrame), 1);
    bool oddHeight = false;
    for (int width = 637; width < 645; ++width) {
        oddHeight = oddHeight || QelUtilGetExportImageHeight(width, ExportRegion_CurrentFrame) % 2 != 0;
        int movieWidth = 0;
        int movieHeight = 0;
        QelUtilGetExportImageSize(ExportFormat_MPEG4, ExportRegion_CurrentFrame, width, &movieWidth,
                                  &movieHeight);
        EXPECT_EQ(movieWidth % 2 + movieHeight % 2, 0) << width;
    }
    EXPECT_TRUE(oddHeight);

    // Frames nobody placed share the paper without overlapping.
    const int page = app.addPage("Tiled");
    const int first = app.addFrame(page, "first");
    const int second = app.addFrame(page, "second");
    const int third = app.addFrame(page, "third");
    EXPECT_EQ(qelmar::standin::frameAt(page, {1.0, 1.0}), first);
    EXPECT_EQ(qelmar::standin::frameAt(page, {10.0, 1.0}), second);
    EXPECT_EQ(qelmar::standin::frameAt(page, {1.0, 7.5}), third);
    EXPECT_EQ(qelmar::standin::frameAt(page, {10.0, 7.5}), -1);
}

// The curves have three time steps, the surface one: it keeps showing that one at any step.
TEST_F(ExportFilesTest, FramesShowTheCurrentTimeStep) {
    app.setLaterTimeSteps(curves, {{"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {16, 9, 4, 1}, {2, 2, 3, 1}}},
                                   {"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {5, 5, 5, 5}, {1, 1, 1, 1}}}});
    const auto area = qelmar::standin::exportAreaOf(ExportRegion_AllFrames);
    ASSERT_TRUE(area);
    const QSize size(600, 360);
    const auto part = [&](const QImage& image, double left, double width) {
        const double scale = size.width() / area->inches.width();
        return image.copy(
            QRectF((left - area->inches.left()) * scale, 0, width * scale, size.height()).toRect());
    };
    std::vector<QImage> shown;
    for (int step : {0, 1, 2, 5}) {
        app.setCurrentTimeStep(step);
        shown.push_back(qelmar::standin::renderExportImage(*area, size, false));
    }
    EXPECT_NE(part(shown[0], 0.5, 4.5), part(shown[1], 0.5, 4.5));
    EXPECT_NE(part(shown[1], 0.5, 4.5), part(shown[2], 0.5, 4.5));
    EXPECT_EQ(part(shown[2], 0.5, 4.5), part(shown[3], 0.5, 4.5));
    EXPECT_EQ(part(shown[0], 5.5, 5.0), part(shown[2], 5.5, 5.0));
}

TEST_F(ExportFilesTest, ScreenViewMarksTheCurrentFrame) {
    const double scale = qelmar::standin::screenPixelsPerInch;
    const QRectF area = qelmar::standin::pageArea(0);
    const auto pixelOf = [&](QPointF inches) { return ((inches - area.topLeft()) * scale).toPoint(); };
    const auto render = [&] {
        QImage image((area.size() * scale).toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        qelmar::standin::paintPage(painter, 0, scale, true);
        return image;
    };
    const auto isMarked = [&](const QImage& image, QPointF edge) {
        const QColor colour = image.pixelColor(pixelOf(edge));
        return colour.blue() > colour.red() + 60;
    };
    QImage image = render();
    EXPECT_TRUE(isMarked(image, {0.5, 2.0}));
    EXPECT_FALSE(isMarked(image, {5.5, 2.0}));
    app.setCurrentFrame(qelmar::standin::frameAt(0, {6.0, 3.0}));
    image = render();
    EXPECT_FALSE(isMarked(image, {0.5, 2.0}));
    EXPECT_TRUE(isMarked(image, {5.5, 2.0}));
}

} // namespace
