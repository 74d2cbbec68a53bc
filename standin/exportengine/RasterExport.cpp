#include "exportengine/RasterExport.h"

#include "host/ExportFormats.h"

#include "exportengine/ExportProgress.h"
#include "exportengine/GreyTiff.h"
#include "exportengine/PlotRenderer.h"

#include <QBuffer>
#include <QImageWriter>

#include <cmath>
#include <stdexcept>
#include <string>

namespace qelmar::standin {

namespace {

constexpr double metresPerInch = 0.0254;

const char* writerFormat(ExportFormat_e format) {
    switch (format) {
    case ExportFormat_BMP:
        return "bmp";
    case ExportFormat_JPEG:
        return "jpeg";
    case ExportFormat_TIFF:
        return "tiff";
    default:
        return "png";
    }
}

// Supersampling multiplies the pixels drawn by the square of the factor; the factor is lowered
// as far as needed to keep that drawing within the memory bound.
int affordableFactor(const QSize& size, int factor) {
    const double pixels = static_cast<double>(size.width()) * size.height();
    while (factor > 1 && pixels * factor * factor > largestImagePixels)
        --factor;
    return factor;
}

QImage greyIndexed(const QImage& image) {
    QVector<QRgb> greys;
    for (int level = 0; level < 256; ++level)
        greys.append(qRgb(level, level, level));
    return image.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_Indexed8, greys);
}

// 256 colours: a palette image, with a transparent entry where the background was left out.
// TIFF's palette has no such entry (Qt's writer drops it), so a transparent TIFF keeps the
// palette's colours but goes out with its alpha beside them.
QImage reducedTo256Colours(const QImage& image, ExportFormat_e format) {
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    if (format == ExportFormat_TIFF && image.hasAlphaChannel())
        return indexed.convertToFormat(QImage::Format_ARGB32);
    return indexed;
}

// Qt's PNG, JPEG, BMP and TIFF writers all store the image's own resolution, each in its unit.
QImage withResolution(QImage image, int dotsPerInch) {
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / metresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

// A buffer that reports each block an encoder writes, as a share of the image's own size (well
// above what any encoder writes). A cancel cannot be thrown through the encoder's C library; the
// write fails instead and the encoder gives up cleanly.
class ProgressBuffer : public QBuffer {
public:
    ProgressBuffer(QByteArray& bytes, qint64 expected)
        : QBuffer(&bytes)
        , m_expected(std::max<qint64>(1, expected)) {}

    bool cancelled() const { return m_cancelled; }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        try {
            ExportProgress::report(static_cast<double>(size() + length) / static_cast<double>(m_expected));
        } catch (const ExportCancelled&) {
            m_cancelled = true;
            return -1;
        }
        return QBuffer::writeData(data, length);
    }

private:
    qint64 m_expected;
    bool m_cancelled = false;
};

QByteArray writeWithQt(const QImage& image, const ExportSettings& settings) {
    QByteArray bytes;
    ProgressBuffer buffer(bytes, image.sizeInBytes());
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, writerFormat(settings.format));
    if (settings.format == ExportFormat_JPEG) {
        writer.setQuality(static_cast<int>(std::lround(settings.quality)));
        writer.setProgressiveScanWrite(settings.progressiveJpeg);
    }
    if (settings.format == ExportFormat_TIFF)
        writer.setCompression(1); // LZW
    if (!writer.write(image)) {
        if (buffer.cancelled())
            throw ExportCancelled();
        throw std::runtime_error("The image could not be encoded: " + writer.errorString().toStdString());
    }
    return bytes;
}

} // namespace

QImage inWrittenLayout(const QImage& image, const ExportSettings& settings) {
    if (settings.monochrome)
        return settings.format == ExportFormat_BMP ? greyIndexed(image)
                                                   : image.convertToFormat(QImage::Format_Grayscale8);
    const bool canIndex = settings.format == ExportFormat_BMP || settings.format == ExportFormat_PNG ||
                          settings.format == ExportFormat_TIFF;
    if (settings.convertTo256Colors && canIndex)
        return reducedTo256Colours(image, settings.format);
    return image;
}

int tiffGreyBits(int depth) {
    return depth == 4 || depth == 8 ? depth : 1;
}

void checkWritableSize(const QSize& size) {
    if (!fitsImageBounds(size))
        throw std::runtime_error("An image of " + std::to_string(size.width()) + " x " +
                                 std::to_string(size.height()) +
                                 " pixels is too large to export. Choose a smaller width.");
}

QSize filePixelSize(const ExportArea& area, const ExportSettings& settings) {
    if (isVectorFormat(settings.format))
        return pageImageSize(area, settings);
    return rasterImageSize(area, settings);
}

QByteArray encodeRasterPicture(const QImage& image, const ExportSettings& settings) {
    if (settings.format == ExportFormat_TIFF && settings.monochrome)
        return encodeGreyTiff(image, tiffGreyBits(settings.greyscaleDepth), true, settings.resolution);
    return writeWithQt(withResolution(inWrittenLayout(image, settings), settings.resolution), settings);
}

QImage renderSupersampled(const ExportArea& area, const ExportSettings& settings, const QSize& size) {
    const int factor = settings.useOffscreenBitmap && settings.superSample
                           ? affordableFactor(size, settings.superSampleFactor)
                           : 1;
    const Backdrop backdrop = settings.transparentBackground ? Backdrop::Transparent : Backdrop::Opaque;
    if (factor <= 1)
        return renderExportImage(area, size, settings.monochrome, backdrop);
    return renderExportImage(area, size * factor, settings.monochrome, backdrop)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool isRasterFormat(ExportFormat_e format) {
    return sdk::exportWriterOf(format) == sdk::ExportWriter::RasterImage;
}

QSize rasterImageSize(const ExportArea& area, const ExportSettings& settings) {
    const int width = takesTypedWidth(settings.format, settings.useOffscreenBitmap, settings.usePhysicalSize)
                          ? settings.imageWidth
                          : defaultImageWidth(settings.format, settings.region);
    return exportImageSize(settings.format, area.inches, width);
}

QByteArray encodeRasterImage(const ExportArea& area, const ExportSettings& settings) {
    const QSize size = rasterImageSize(area, settings);
    checkWritableSize(size);
    // Drawing and encoding take about as long as each other for a large image.
    const QImage image = [&] {
        const ExportProgress::Stage drawing(0.0, 0.5);
        return renderSupersampled(area, settings, size);
    }();
    const ExportProgress::Stage encoding(0.5, 1.0);
    ExportProgress::report(0.0);
    return encodeRasterPicture(image, settings);
}

} // namespace qelmar::standin
