// What the exported files themselves say about their size, resolution and background, read back
// with readers that did not write them wherever one is at hand (ImageMagick, libtiff, the bytes of
// the header, Ghostscript, librsvg).
#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "exportengine/ExportGeometry.h"

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtEndian>

#include <tiffio.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace {

using exporttest::lastError;
using testsupport::contentsOf;

// 8.5 cm at 600 dpi, as a physical width becomes the typed width.
constexpr int dpi = 600;
constexpr int physicalWidth = 2008;
constexpr int dotsPerMetre = 23622;

struct ProgramResult {
    int exitCode = -1;
    QByteArray output;
};

// Runs a program to its end; an exit code of -1 when it could not be started or did not end.
ProgramResult run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput()};
}

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

TiffFile openTiff(const std::string& path) {
    return TiffFile(TIFFOpen(path.c_str(), "r"));
}

// The resolution in dots per inch, x and y; zeros unless the unit is inches.
std::pair<float, float> tiffDotsPerInch(const std::string& path) {
    const TiffFile tiff = openTiff(path);
    float x = 0;
    float y = 0;
    uint16_t unit = 0;
    if (!tiff || !TIFFGetField(tiff.get(), TIFFTAG_XRESOLUTION, &x) ||
        !TIFFGetField(tiff.get(), TIFFTAG_YRESOLUTION, &y) ||
        !TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_RESOLUTIONUNIT, &unit) || unit != RESUNIT_INCH)
        return {0.0F, 0.0F};
    return {x, y};
}

// Numbers of the first match of the pattern's groups in the text.
QList<double> numbersIn(const QByteArray& text, const char* pattern) {
    const auto match = QRegularExpression(QString::fromLatin1(pattern))
                           .match(QString::fromLatin1(text.constData(), text.size()));
    QList<double> numbers;
    for (int group = 1; group <= match.lastCapturedIndex(); ++group)
        numbers.append(match.captured(group).toDouble());
    return numbers;
}

// The page a vector file declares, in points.
QSizeF declaredPage(ExportFormat_e format, const QByteArray& bytes) {
    const char* pattern = format == ExportFormat_PDF ? "/MediaBox \\[\\s*0 0 ([\\d.]+) ([\\d.]+)\\s*\\]"
                          : format == ExportFormat_SVG
                              ? "<svg[^>]* width=\"([\\d.]+)pt\" height=\"([\\d.]+)pt\""
                              : "%%BoundingBox: 0 0 (\\d+) (\\d+)\\n";
    const QList<double> numbers = numbersIn(bytes, pattern);
    return numbers.size() == 2 ? QSizeF(numbers[0], numbers[1]) : QSizeF();
}

// The text of every element of the name in an SVG document.
QStringList elementTexts(const QByteArray& svg, const QString& name) {
    QStringList texts;
    QXmlStreamReader reader(svg);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name)
            texts.append(reader.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return reader.hasError() ? QStringList{"not well-formed: " + reader.errorString()} : texts;
}

class ExportResolutionTest : public exporttest::ExportTestScene {
protected:
    void SetUp() override {
        ExportTestScene::SetUp();
        set({"PrintSetup", "ImageResolution"}, static_cast<long>(dpi));
    }

    bool exportAs(const std::string& name, ExportFormat_e format,
                  ExportRegion_e region = ExportRegion_CurrentFrame) {
        set({"ExportSetup", "ExportFName"}, path(name));
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
        set({"ExportSetup", "ExportRegion"}, static_cast<long>(region));
        return QelUtilExport(false);
    }

    void usePhysicalWidth(int width) {
        set({"ExportSetup", "UsePhysicalSize"}, true);
        set({"ExportSetup", "ImageWidth"}, static_cast<long>(width));
    }

    QString file(const std::string& name) const { return QString::fromStdString(path(name)); }

    // The curves frame is 4.5 x 3 inches.
    static int heightAtWidth(int width) { return qRound(width * 3.0 / 4.5); }
};

// A physical size decides the width whatever the off-screen setting, every raster file carries
// the resolution in its own unit, and the size query the dialog shows agrees with the file.
TEST_F(ExportResolutionTest, RasterFilesCarryThePhysicalSize) {
    usePhysicalWidth(physicalWidth);
    for (bool offscreen : {false, true}) {
        SCOPED_TRACE(offscreen ? "off-screen bitmap" : "no off-screen bitmap");
        set({"Interface", "UseOffScreenBitMap"}, offscreen);
        int announcedWidth = 0;
        int announcedHeight = 0;
        QelUtilGetExportImageSize(ExportFormat_PNG, ExportRegion_CurrentFrame, physicalWidth, &announcedWidth,
                                  &announcedHeight);
        EXPECT_EQ(QSize(announcedWidth, announcedHeight), QSize(physicalWidth, heightAtWidth(physicalWidth)));

        ASSERT_TRUE(exportAs("plot.png", ExportFormat_PNG)) << lastError();
        const QImage png(file("plot.png"));
        EXPECT_EQ(png.size(), QSize(announcedWidth, announcedHeight));
        EXPECT_EQ(png.dotsPerMeterX(), dotsPerMetre);
        EXPECT_EQ(png.dotsPerMeterY(), dotsPerMetre);
    }
    if (!tool("identify").isEmpty()) {
        // ImageMagick reports the pHYs chunk in pixels per centimetre.
        const QList<QByteArray> png =
            run(tool("identify"), {"-format", "%w %x %y %U", file("plot.png")}).output.split(' ');
        ASSERT_EQ(png.size(), 4);
        EXPECT_EQ(png[0], "2008");
        EXPECT_NEAR(png[1].toDouble() * 100, dotsPerMetre, 0.01);
        EXPECT_NEAR(png[2].toDouble() * 100, dotsPerMetre, 0.01);
        EXPECT_EQ(png[3], "PixelsPerCentimeter");
    }

    ASSERT_TRUE(exportAs("plot.tif", ExportFormat_TIFF)) << lastError();
    EXPECT_EQ(tiffDotsPerInch(path("plot.tif")), std::make_pair(600.0F, 600.0F));

    ASSERT_TRUE(exportAs("plot.jpg", ExportFormat_JPEG)) << lastError();
    // The JFIF header: units 1 (dots per inch) and the densities, big-endian.
    const QByteArray jpeg = contentsOf(path("plot.jpg"));
    ASSERT_EQ(jpeg.mid(6, 5), QByteArray("JFIF\0", 5));
    const auto* jfif = reinterpret_cast<const uchar*>(jpeg.constData());
    EXPECT_EQ(jfif[13], 1);
    EXPECT_EQ(qFromBigEndian<quint16>(jfif + 14), dpi);
    EXPECT_EQ(qFromBigEndian<quint16>(jfif + 16), dpi);
    EXPECT_EQ(QImageReader(file("plot.jpg")).size().width(), physicalWidth);

    ASSERT_TRUE(exportAs("plot.bmp", ExportFormat_BMP)) << lastError();
    // The info header's pixels per metre, little-endian, after the 14-byte file header.
    const QByteArray bmp = contentsOf(path("plot.bmp"));
    ASSERT_GE(bmp.size(), 54);
    const auto* info = reinterpret_cast<const uchar*>(bmp.constData()) + 14;
    EXPECT_EQ(qFromLittleEndian<qint32>(info + 4), physicalWidth);
    EXPECT_EQ(qFromLittleEndian<qint32>(info + 24), dotsPerMetre);
    EXPECT_EQ(qFromLittleEndian<qint32>(info + 28), dotsPerMetre);
}

TEST_F(ExportResolutionTest, GreyTiffCarriesTheResolutionAndTheSizeWithoutAPhysicalSize) {
    // Without a physical size the raster width is the screen's when no off-screen bitmap is used,
    // as before; the resolution is written all the same, here by the grey writer.
    set({"Interface", "UseOffScreenBitMap"}, false);
    set({"ExportSetup", "ImageWidth"}, static_cast<long>(physicalWidth));
    set({"PrintSetup", "Palette"}, 0L);
    set({"ExportSetup", "GrayscaleDepth"}, 4L);
    ASSERT_TRUE(exportAs("grey.tif", ExportFormat_TIFF)) << lastError();
    EXPECT_EQ(QImageReader(file("grey.tif")).size().width(),
              qRound(4.5 * qelmar::standin::screenPixelsPerInch));
    EXPECT_EQ(tiffDotsPerInch(path("grey.tif")), std::make_pair(600.0F, 600.0F));
}

// The page of every vector format is the physical size in points, and the region's own size
// again once it is switched off.
TEST_F(ExportResolutionTest, VectorPagesHaveThePhysicalSize) {
    const double physicalPoints = physicalWidth * 72.0 / dpi; // 8.5 cm: 240.96 points
    set({"ExportSetup", "ImageWidth"}, static_cast<long>(physicalWidth));
    for (bool physical : {true, false}) {
        set({"ExportSetup", "UsePhysicalSize"}, physical);
        const QSizeF expected =
            physical ? QSizeF(physicalPoints, physicalPoints * 3.0 / 4.5) : QSizeF(324, 216);
        for (ExportFormat_e format :
             {ExportFormat_EPS, ExportFormat_PS, ExportFormat_PDF, ExportFormat_SVG}) {
            SCOPED_TRACE(testing::Message() << "format " << format << (physical ? ", physical" : ""));
            ASSERT_TRUE(exportAs("page", format)) << lastError();
            const QSizeF page = declaredPage(format, contentsOf(path("page")));
            // A bounding box is in whole points (241 x 161 for 8.5 cm), rounded outwards.
            const double tolerance = format == ExportFormat_PDF || format == ExportFormat_SVG ? 0.01 : 0.5;
            EXPECT_NEAR(page.width(), expected.width(), tolerance);
            EXPECT_NEAR(page.height(), expected.height(), tolerance);
        }
    }
}

// The embedded image of a physical page is the typed width at the resolution, the size the
// dialog is told.
TEST_F(ExportResolutionTest, EmbeddedImageOfAPhysicalPageHasTheAnnouncedSize) {
    usePhysicalWidth(physicalWidth);
    set({"ExportSetup", "PrintRenderType"}, static_cast<long>(PrintRenderType_Image));
    int width = 0;
    int height = 0;
    QelUtilGetExportImageSize(ExportFormat_PDF, ExportRegion_CurrentFrame, physicalWidth, &width, &height);
    EXPECT_EQ(QSize(width, height), QSize(physicalWidth, heightAtWidth(physicalWidth)));
    ASSERT_TRUE(exportAs("image.pdf", ExportFormat_PDF)) << lastError();
    const QByteArray pdf = contentsOf(path("image.pdf"));
    EXPECT_TRUE(pdf.contains("/Width " + QByteArray::number(width))) << "no image of width " << width;
    EXPECT_TRUE(pdf.contains("/Height " + QByteArray::number(height))) << "no image of height " << height;
    // Asked without a width, the query answers with the kernel's, which the writer takes.
    QelUtilGetExportImageSize(ExportFormat_EPS, ExportRegion_CurrentFrame, 0, &width, &height);
    EXPECT_EQ(width, physicalWidth);

    // Without a physical size the query ignores the typed width, as the writers do.
    set({"ExportSetup", "UsePhysicalSize"}, false);
    QelUtilGetExportImageSize(ExportFormat_PDF, ExportRegion_CurrentFrame, physicalWidth, &width, &height);
    EXPECT_EQ(width, qRound(4.5 * dpi));
}

class TransparentBackgroundTest : public ExportResolutionTest {
protected:
    void SetUp() override {
        ExportResolutionTest::SetUp();
        set({"ExportSetup", "TransparentBackground"}, true);
        set({"ExportSetup", "ImageWidth"}, 1200L); // the work area: 100 pixels per inch
    }

    // The pixel of a point given in inches of the paper, on an image of the work area.
    static QPoint pixelAt(const QImage& image, QPointF inches) {
        const QRectF area = qelmar::standin::regionInches(ExportRegion_WorkArea);
        const double scale = image.width() / area.width();
        return ((inches - area.topLeft()) * scale).toPoint();
    }

    // The desk, the paper beside the frames and a frame's own background are see-through; the
    // plot area and the curves on it are not.
    static void expectTransparentBackground(const QImage& image) {
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "desk";
        EXPECT_EQ(qAlpha(image.pixel(pixelAt(image, {5.0, 7.5}))), 0) << "paper";
        EXPECT_EQ(qAlpha(image.pixel(pixelAt(image, {0.85, 3.4}))), 0) << "frame background";
        EXPECT_EQ(qAlpha(image.pixel(pixelAt(image, {2.0, 1.5}))), 255) << "plot area";
        // The first curve is dark blue (a palette of 256 colours dithers it): fully opaque somewhere.
        bool curveOpaque = false;
        for (int y = 0; y < image.height() && !curveOpaque; ++y) {
            for (int x = 0; x < image.width() && !curveOpaque; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                curveOpaque = pixel.alpha() == 255 && pixel.blue() > pixel.red() + 80;
            }
        }
        EXPECT_TRUE(curveOpaque) << "no opaque pixel of the curve";
    }
};

TEST_F(TransparentBackgroundTest, PngKeepsAlphaInEveryLayout) {
    struct Layout {
        const char* name;
        bool superSample;
        bool colours256;
    };
    for (const Layout& layout : {Layout{"true colour", false, false}, Layout{"supersampled", true, false},
                                 Layout{"256 colours", false, true}}) {
        SCOPED_TRACE(layout.name);
        set({"ExportSetup", "UseSuperSampleAntiAliasing"}, layout.superSample);
        set({"ExportSetup", "ConvertTo256Colors"}, layout.colours256);
        ASSERT_TRUE(exportAs("clear.png", ExportFormat_PNG, ExportRegion_WorkArea)) << lastError();
        const QImage image(file("clear.png"));
        EXPECT_EQ(image.format() == QImage::Format_Indexed8, layout.colours256);
        expectTransparentBackground(image);
        if (!tool("identify").isEmpty()) {
            EXPECT_EQ(run(tool("identify"), {"-format", "%[opaque]", file("clear.png")}).output.toLower(),
                      "false");
        }
    }
}

TEST_F(TransparentBackgroundTest, TiffKeepsAlphaInColourAndGrey) {
    struct Layout {
        const char* name;
        long palette; // 0: monochrome
        bool colours256;
    };
    for (const Layout& layout :
         {Layout{"colour", 2, false}, Layout{"256 colours", 2, true}, Layout{"monochrome", 0, false}}) {
        SCOPED_TRACE(layout.name);
        set({"PrintSetup", "Palette"}, layout.palette);
        set({"ExportSetup", "ConvertTo256Colors"}, layout.colours256);
        set({"ExportSetup", "GrayscaleDepth"}, 4L);
        ASSERT_TRUE(exportAs("clear.tif", ExportFormat_TIFF, ExportRegion_WorkArea)) << lastError();
        const TiffFile tiff = openTiff(path("clear.tif"));
        ASSERT_TRUE(tiff);
        uint16_t samples = 0;
        uint16_t extraCount = 0;
        uint16_t* extra = nullptr;
        TIFFGetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
        ASSERT_TRUE(TIFFGetField(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extra));
        EXPECT_EQ(extraCount, 1);
        EXPECT_EQ(samples, layout.palette == 0 ? 2 : 4);
        const QImage image(file("clear.tif"));
        if (layout.palette != 0) {
            expectTransparentBackground(image.convertToFormat(QImage::Format_ARGB32));
            continue;
        }
        // Grey and alpha, which Qt's own reader takes for colour without alpha; ImageMagick reads
        // it: the desk and a frame's background transparent, the plot area opaque, in one of 16
        // shades of grey stored in 8 bits.
        if (tool("identify").isEmpty())
            continue;
        const auto at = [&](QPointF inches) {
            const QPoint pixel = pixelAt(image, inches);
            return QString("%1,%2").arg(pixel.x()).arg(pixel.y());
        };
        const QString format = "%[channels] %[fx:p{0,0}.a] %[fx:p{" + at({0.85, 3.4}) + "}.a] %[fx:p{" +
                               at({2.0, 1.5}) + "}.a] %[fx:255*p{" + at({2.0, 1.5}) + "}.r]";
        const QList<QByteArray> read =
            run(tool("identify"), {"-format", format, file("clear.tif")}).output.split(' ');
        ASSERT_EQ(read.size(), 5);
        EXPECT_EQ(read.mid(0, 4), (QList<QByteArray>{"graya", "0", "0", "1"}));
        EXPECT_EQ(qRound(read[4].toDouble()) % 17, 0) << read[4].toStdString();
    }
}

TEST_F(TransparentBackgroundTest, OtherFormatsIgnoreIt) {
    const QColor desk(0xd4, 0xd7, 0xdc);
    const auto isDesk = [&](const QColor& colour) {
        return colour.alpha() == 255 && std::abs(colour.red() - desk.red()) < 8 &&
               std::abs(colour.green() - desk.green()) < 8 && std::abs(colour.blue() - desk.blue()) < 8;
    };
    for (ExportFormat_e format : {ExportFormat_BMP, ExportFormat_JPEG}) {
        ASSERT_TRUE(exportAs("opaque", format, ExportRegion_WorkArea)) << lastError();
        const QImage image(file("opaque"));
        EXPECT_FALSE(image.hasAlphaChannel()) << "format " << format;
        EXPECT_TRUE(isDesk(image.pixelColor(2, 2))) << "format " << format;
    }
    // A vector page is painted whole.
    if (!tool("rsvg-convert").isEmpty()) {
        ASSERT_TRUE(exportAs("opaque.svg", ExportFormat_SVG, ExportRegion_WorkArea)) << lastError();
        const ProgramResult png = run(tool("rsvg-convert"), {"--format", "png", file("opaque.svg")});
        EXPECT_TRUE(isDesk(QImage::fromData(png.output, "PNG").pixelColor(2, 2)));
    }
}

class VectorDocumentTest : public ExportResolutionTest {};

// The frames' title is text a reader finds: Ghostscript extracts it from the PDF's text, and in
// the SVG, whose text cairo draws as glyph outlines, it is the document's title.
TEST_F(VectorDocumentTest, TitleStaysFindable) {
    ASSERT_TRUE(exportAs("plot.pdf", ExportFormat_PDF, ExportRegion_AllFrames)) << lastError();
    ASSERT_TRUE(exportAs("plot.svg", ExportFormat_SVG, ExportRegion_AllFrames)) << lastError();
    const QByteArray svg = contentsOf(path("plot.svg"));
    EXPECT_EQ(elementTexts(svg, QStringLiteral("title")), QStringList{"Surface, Curves"});
    const QStringList descriptions = elementTexts(svg, QStringLiteral("desc"));
    ASSERT_EQ(descriptions.size(), 1);
    // Every text drawn: the titles, the variables' names and the tick labels.
    for (const char* text : {"Surface", "Curves", "t", "a", "b", "X", "Y", "Z"})
        EXPECT_TRUE(descriptions[0].split('\n').contains(QString::fromLatin1(text))) << text;

    if (!tool("gs").isEmpty()) {
        const ProgramResult text = run(tool("gs"), {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER",
                                                    "-sDEVICE=txtwrite", "-sOutputFile=-", file("plot.pdf")});
        EXPECT_EQ(text.exitCode, 0);
        EXPECT_TRUE(text.output.contains("Curves")) << text.output.toStdString();
        EXPECT_TRUE(text.output.contains("Surface")) << text.output.toStdString();
    }
    if (!tool("rsvg-convert").isEmpty()) {
        const ProgramResult png = run(
            tool("rsvg-convert"), {"--format", "png", "--dpi-x", "72", "--dpi-y", "72", file("plot.svg")});
        EXPECT_EQ(png.exitCode, 0);
        const QImage rendered = QImage::fromData(png.output, "PNG");
        EXPECT_EQ(rendered.size(), QSize(10 * 72, 6 * 72)); // all frames: 10 x 6 inches, a pixel a point
    }
}

// A title with markup characters stays one well-formed title.
TEST_F(VectorDocumentTest, TitleMarkupIsEscaped) {
    const int marked = app.addFrame(0, "Flow <a & b>");
    app.setFramePlacement(marked, 1.0, 4.0, 3.0, 2.0);
    app.setCurrentFrame(marked);
    ASSERT_TRUE(exportAs("plot.svg", ExportFormat_SVG)) << lastError();
    EXPECT_EQ(elementTexts(contentsOf(path("plot.svg")), QStringLiteral("title")),
              QStringList{"Flow <a & b>"});
}

// The colour choice: a monochrome page holds greys only; embedding an image keeps it a page.
TEST_F(VectorDocumentTest, PaletteAndRenderType) {
    const auto colours = [&](const std::string& name) {
        const QRegularExpression rgb(QStringLiteral("rgb\\(([\\d.]+)%,([\\d.]+)%,([\\d.]+)%\\)"));
        QStringList found;
        for (auto matches = rgb.globalMatch(QString::fromLatin1(contentsOf(path(name)))); matches.hasNext();)
            found.append(matches.next().captured(0));
        return found;
    };
    const auto allGrey = [](const QStringList& found) {
        const QRegularExpression grey(QStringLiteral("rgb\\(([\\d.]+)%,\\1%,\\1%\\)"));
        return std::all_of(found.begin(), found.end(),
                           [&](const QString& colour) { return grey.match(colour).hasMatch(); });
    };
    ASSERT_TRUE(exportAs("colour.svg", ExportFormat_SVG)) << lastError();
    EXPECT_FALSE(allGrey(colours("colour.svg")));
    set({"PrintSetup", "Palette"}, 0L);
    ASSERT_TRUE(exportAs("grey.svg", ExportFormat_SVG)) << lastError();
    EXPECT_FALSE(colours("grey.svg").isEmpty());
    EXPECT_TRUE(allGrey(colours("grey.svg")));

    set({"ExportSetup", "PrintRenderType"}, static_cast<long>(PrintRenderType_Image));
    ASSERT_TRUE(exportAs("image.svg", ExportFormat_SVG)) << lastError();
    const QByteArray svg = contentsOf(path("image.svg"));
    EXPECT_TRUE(svg.contains("<image")) << "no embedded image";
    EXPECT_EQ(elementTexts(svg, QStringLiteral("title")), QStringList{"Curves"});
    ASSERT_TRUE(exportAs("image.pdf", ExportFormat_PDF)) << lastError();
    EXPECT_TRUE(contentsOf(path("image.pdf")).contains("/Subtype /Image"));
}

} // namespace
