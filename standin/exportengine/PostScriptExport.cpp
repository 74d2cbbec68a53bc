#include "exportengine/PostScriptExport.h"

#include "host/ExportFormats.h"

#include "exportengine/CairoCanvas.h"
#include "exportengine/GreyTiff.h"
#include "exportengine/PlotRenderer.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <QtEndian>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace qelmar::standin {

namespace {

struct SurfaceDestroyer {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDestroyer {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDestroyer>;
using Context = std::unique_ptr<cairo_t, ContextDestroyer>;

cairo_status_t appendToBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<QByteArray*>(closure)->append(reinterpret_cast<const char*>(data),
                                              static_cast<qsizetype>(length));
    return CAIRO_STATUS_SUCCESS;
}

constexpr double pointsPerInch = 72.0;

// The surface of the format, writing into the bytes; device units are points. A PDF carries the
// title in its document information.
Surface createSurface(ExportFormat_e format, QByteArray& bytes, const QSizeF& points, const QString& title) {
    switch (format) {
    case ExportFormat_PDF: {
        Surface surface(
            cairo_pdf_surface_create_for_stream(appendToBytes, &bytes, points.width(), points.height()));
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, title.toUtf8().constData());
        return surface;
    }
    case ExportFormat_SVG: {
        Surface surface(
            cairo_svg_surface_create_for_stream(appendToBytes, &bytes, points.width(), points.height()));
        cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PT);
        return surface;
    }
    default: {
        Surface surface(
            cairo_ps_surface_create_for_stream(appendToBytes, &bytes, points.width(), points.height()));
        cairo_ps_surface_set_eps(surface.get(), format == ExportFormat_EPS ? 1 : 0);
        return surface;
    }
    }
}

// Vector drawing keeps `precision` decimals of a point in every coordinate: enough to place a
// curve's points apart at any zoom a reader uses, and each decimal fewer shortens a dense curve.
QStringList drawVectors(cairo_t* context, const ExportArea& area, const QSizeF& points,
                        const ExportSettings& settings) {
    CairoCanvas canvas(context, area.inches, points, settings.monochrome);
    canvas.setCoordinateDecimals(settings.precision);
    drawExportArea(canvas, area);
    return canvas.textsDrawn();
}

// Without a physical size the page is the region, and the resolution alone decides whether the
// image fits; with one the typed width does.
QSize embeddedImageSize(const ExportArea& area, const ExportSettings& settings) {
    if (!settings.usePhysicalSize) {
        const int limit = largestResolutionFor(area.inches);
        if (settings.resolution > limit)
            throw std::runtime_error("An image at " + std::to_string(settings.resolution) +
                                     " dpi is too large for this region; at most " + std::to_string(limit) +
                                     " dpi can be embedded.");
    }
    const QSize size = pageImageSize(area, settings);
    if (!fitsImageBounds(size))
        throw std::runtime_error("An image of " + std::to_string(size.width()) + " x " +
                                 std::to_string(size.height()) +
                                 " pixels is too large to embed. Choose a smaller width.");
    return size;
}

void drawEmbeddedImage(cairo_t* context, const ExportArea& area, const QSizeF& points,
                       const ExportSettings& settings) {
    QImage image = renderExportImage(area, embeddedImageSize(area, settings), settings.monochrome);
    // Qt's RGB32 is cairo's RGB24 word for word.
    Surface pixels(cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_RGB24, image.width(),
                                                       image.height(),
                                                       static_cast<int>(image.bytesPerLine())));
    cairo_save(context);
    cairo_scale(context, points.width() / image.width(), points.height() / image.height());
    cairo_set_source_surface(context, pixels.get(), 0, 0);
    cairo_paint(context);
    cairo_restore(context);
}

// A preview is rendered, converted and encoded in memory several times over; this bound keeps an
// export with the largest preview at tens of megabytes.
constexpr double largestPreviewPixels = 2048.0 * 2048.0;

void checkPreviewFits(const ExportSettings& settings) {
    if (settings.format != ExportFormat_EPS || settings.previewType == EPSPreviewImage_None ||
        static_cast<double>(settings.previewWidth) * settings.previewHeight <= largestPreviewPixels)
        return;
    throw std::runtime_error("An EPS preview of " + std::to_string(settings.previewWidth) + " x " +
                             std::to_string(settings.previewHeight) +
                             " pixels is too large: a preview may have at most " +
                             std::to_string(static_cast<long>(largestPreviewPixels)) +
                             " pixels (2048 x 2048, say). Choose a smaller preview.");
}

int previewBits(const ExportSettings& settings) {
    if (settings.previewType == EPSPreviewImage_FRAMEMAKER)
        return 1;
    return settings.previewDepth == 4 || settings.previewDepth == 8 ? settings.previewDepth : 1;
}

QImage previewImage(const ExportArea& area, const ExportSettings& settings) {
    return renderExportImage(area, QSize(settings.previewWidth, settings.previewHeight), true)
        .convertToFormat(QImage::Format_Grayscale8);
}

// The interchange preview: hexadecimal rows in comments right after the header comments, where
// 0 is white and the largest value black.
QByteArray withInterchangePreview(const QByteArray& postScript, const QImage& grey, int bits) {
    constexpr int hexDigitsPerLine = 128;
    QByteArray lines;
    int lineCount = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        QByteArray packed((grey.width() * bits + 7) / 8, '\0');
        for (int x = 0; x < grey.width(); ++x) {
            const unsigned value = static_cast<unsigned>(255 - row[x]) >> (8 - bits);
            const int bit = x * bits;
            packed[bit / 8] = static_cast<char>(static_cast<unsigned char>(packed[bit / 8]) |
                                                (value << (8 - bits - bit % 8)));
        }
        const QByteArray hex = packed.toHex().toUpper();
        for (int start = 0; start < hex.size(); start += hexDigitsPerLine) {
            lines += "% " + hex.mid(start, hexDigitsPerLine) + "\n";
            ++lineCount;
        }
    }
    const QByteArray preview = "%%BeginPreview: " + QByteArray::number(grey.width()) + " " +
                               QByteArray::number(grey.height()) + " " + QByteArray::number(bits) + " " +
                               QByteArray::number(lineCount) + "\n" + lines + "%%EndPreview\n";
    const QByteArray endComments("%%EndComments\n");
    const qsizetype at = postScript.indexOf(endComments);
    if (at < 0)
        return postScript;
    QByteArray result = postScript;
    result.insert(at + endComments.size(), preview);
    return result;
}

// The binary header of an encapsulated file with a TIFF preview: where the PostScript and the
// TIFF sections lie, no metafile, and no checksum (0xFFFF).
QByteArray withTiffPreview(const QByteArray& postScript, const QByteArray& tiff) {
    constexpr quint32 headerSize = 30;
    QByteArray header(headerSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(header.data());
    qToLittleEndian<quint32>(0xC6D3D0C5u, bytes);
    qToLittleEndian<quint32>(headerSize, bytes + 4);
    qToLittleEndian<quint32>(static_cast<quint32>(postScript.size()), bytes + 8);
    qToLittleEndian<quint32>(0, bytes + 12);
    qToLittleEndian<quint32>(0, bytes + 16);
    qToLittleEndian<quint32>(headerSize + static_cast<quint32>(postScript.size()), bytes + 20);
    qToLittleEndian<quint32>(static_cast<quint32>(tiff.size()), bytes + 24);
    qToLittleEndian<quint16>(0xFFFF, bytes + 28);
    return header + postScript + tiff;
}

// Text on cairo's SVG surface becomes glyph outlines, which no search finds: the frames' titles
// go into the document's title and every text drawn into its description, where viewers show
// them and a search of the file finds them.
QByteArray withTitleAndDescription(const QByteArray& svg, const QStringList& titles,
                                   const QStringList& texts) {
    const qsizetype start = svg.indexOf("<svg");
    const qsizetype end = start < 0 ? -1 : svg.indexOf('>', start);
    if (end < 0)
        return svg;
    QByteArray elements =
        "\n<title>" + titles.join(QStringLiteral(", ")).toHtmlEscaped().toUtf8() + "</title>\n";
    if (!texts.isEmpty())
        elements += "<desc>" + texts.join(QLatin1Char('\n')).toHtmlEscaped().toUtf8() + "</desc>\n";
    QByteArray result = svg;
    result.insert(end + 1, elements);
    return result;
}

QByteArray withPreview(const QByteArray& postScript, const ExportArea& area, const ExportSettings& settings) {
    switch (settings.previewType) {
    case EPSPreviewImage_TIFF:
        return withTiffPreview(postScript,
                               encodeGreyTiff(previewImage(area, settings), previewBits(settings), false));
    case EPSPreviewImage_EPSIV2:
    case EPSPreviewImage_FRAMEMAKER:
        return withInterchangePreview(postScript, previewImage(area, settings), previewBits(settings));
    default:
        return postScript;
    }
}

} // namespace

QByteArray encodePostScript(const ExportArea& area, const ExportSettings& settings) {
    checkPreviewFits(settings);
    const QSizeF points = pageInches(area, settings) * pointsPerInch;
    const QStringList titles = frameTitlesOf(area);
    QStringList texts;
    QByteArray bytes;
    {
        Surface surface = createSurface(settings.format, bytes, points, titles.join(QStringLiteral(", ")));
        Context context(cairo_create(surface.get()));
        if (settings.renderType == PrintRenderType_Image)
            drawEmbeddedImage(context.get(), area, points, settings);
        else
            texts = drawVectors(context.get(), area, points, settings);
        cairo_show_page(context.get());
        context.reset();
        cairo_surface_finish(surface.get());
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
            const sdk::ExportFormatDescriptor* row = sdk::findExportFormat(settings.format);
            throw std::runtime_error(std::string("The ") + (row ? row->label : "vector") +
                                     " file could not be produced: " +
                                     cairo_status_to_string(cairo_surface_status(surface.get())));
        }
    }
    switch (settings.format) {
    case ExportFormat_EPS:
        return withPreview(bytes, area, settings);
    case ExportFormat_SVG:
        return withTitleAndDescription(bytes, titles, texts);
    default:
        return bytes;
    }
}

} // namespace qelmar::standin
