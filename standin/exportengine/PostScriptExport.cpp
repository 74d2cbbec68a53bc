#include "exportengine/PostScriptExport.h"

#include "exportengine/CairoCanvas.h"
#include "exportengine/GreyTiff.h"
#include "exportengine/PlotRenderer.h"

#include <cairo-ps.h>
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

// Vector drawing keeps `precision` decimals of a point in every coordinate: enough to place a
// curve's points apart at any zoom a reader uses, and each decimal fewer shortens a dense curve.
void drawVectors(cairo_t* context, const ExportArea& area, const QSizeF& points,
                 const ExportSettings& settings) {
    CairoCanvas canvas(context, area.inches, points, settings.monochrome);
    canvas.setCoordinateDecimals(settings.precision);
    drawExportArea(canvas, area);
}

void drawEmbeddedImage(cairo_t* context, const ExportArea& area, const QSizeF& points,
                       const ExportSettings& settings) {
    const int limit = largestResolutionFor(area.inches);
    if (settings.resolution > limit)
        throw std::runtime_error("An image at " + std::to_string(settings.resolution) +
                                 " dpi is too large for this region; at most " + std::to_string(limit) +
                                 " dpi can be embedded.");
    QImage image = renderExportImage(area, pageImageSize(area, settings), settings.monochrome);
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
    const bool encapsulated = settings.format == ExportFormat_EPS;
    checkPreviewFits(settings);
    const QSizeF points = area.inches.size() * 72.0;
    QByteArray bytes;
    {
        Surface surface(
            cairo_ps_surface_create_for_stream(appendToBytes, &bytes, points.width(), points.height()));
        cairo_ps_surface_set_eps(surface.get(), encapsulated ? 1 : 0);
        Context context(cairo_create(surface.get()));
        if (settings.renderType == PrintRenderType_Image)
            drawEmbeddedImage(context.get(), area, points, settings);
        else
            drawVectors(context.get(), area, points, settings);
        cairo_show_page(context.get());
        context.reset();
        cairo_surface_finish(surface.get());
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error(std::string("The PostScript file could not be produced: ") +
                                     cairo_status_to_string(cairo_surface_status(surface.get())));
    }
    return encapsulated ? withPreview(bytes, area, settings) : bytes;
}

} // namespace qelmar::standin
