#include "host/KernelExportPreview.h"

#include "host/ExportFormats.h"

#include "exportengine/AnimationExport.h"
#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"
#include "exportengine/MovieCodec.h"
#include "exportengine/MovieEncoder.h"
#include "exportengine/PlotRenderer.h"
#include "exportengine/PostScriptExport.h"
#include "exportengine/RasterExport.h"
#include "exportengine/WmfExport.h"
#include "kernel/ApplicationModel.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace qelmar::standin {

namespace {

// The flat structure hands out the pixels of the image it is kept with.
struct PreviewHolder : QelExportPreview_s {
    QImage picture;
};

// How far a file may lie from the prediction (a share of it), per writer; measured by exporting
// test scenes at several sizes. Uncompressed bitmaps are a header and rows, and a vector file is
// encoded whole, so only compressed pixels are extrapolated. LZW, which codes runs of flat colour
// only up to a bounded length, is the least regular.
constexpr double uncompressedError = 0.02;
constexpr double compressedImageError = 0.3;
constexpr double lzwImageError = 0.6;
constexpr double vectorError = 0.05;
constexpr double embeddedImageError = 0.25;
// A movie's first frame stands for all of them, while encoders store little more than the changes
// between frames: the file is often much smaller than predicted, seldom larger.
constexpr double movieError = 1.0;

enum class Family { Raster, Vector, EmbeddedImage, Animation };

Family familyOf(const ExportSettings& settings) {
    if (isAnimatedFormat(settings.format))
        return Family::Animation;
    if (isRasterFormat(settings.format))
        return Family::Raster;
    if (isVectorFormat(settings.format) && settings.renderType == PrintRenderType_Image)
        return Family::EmbeddedImage;
    return Family::Vector;
}

ExportSettingOverrides overridesOf(const QelExportSettingOverride_s* overrides, std::size_t count) {
    if (count > 0 && !overrides)
        throw std::invalid_argument("The export settings to preview are missing.");
    ExportSettingOverrides result;
    for (std::size_t i = 0; i < count; ++i) {
        if (!overrides[i].path)
            throw std::invalid_argument("An export setting to preview has no name.");
        result.add(overrides[i].path, overrides[i].value);
    }
    return result;
}

void checkWritable(const ExportSettings& settings) {
    if (sdk::exportWriterOf(settings.format) == sdk::ExportWriter::None)
        throw std::runtime_error("Export format " + std::to_string(static_cast<int>(settings.format)) +
                                 " cannot be previewed: it is not written by this application.");
}

double pixelCount(const QSize& size) {
    return static_cast<double>(size.width()) * size.height();
}

// The file's size scaled by the factor, aspect ratio kept; never larger than the file.
QSize shrunk(const QSize& file, double scale) {
    scale = std::min(1.0, scale);
    return QSize(std::max(1, static_cast<int>(std::lround(file.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(file.height() * scale))));
}

// The largest size within the bounds.
QSize fitted(const QSize& file, int maxWidth, int maxHeight) {
    return shrunk(file, std::min(static_cast<double>(maxWidth) / file.width(),
                                 static_cast<double>(maxHeight) / file.height()));
}

// A size of at most `pixels` pixels.
QSize sampleSize(const QSize& file, double pixels) {
    return shrunk(file, std::sqrt(pixels / pixelCount(file)));
}

// Grey as the TIFF writer packs it: the high bits of each grey value, shown spread over 0..255.
QImage greyAtDepth(const QImage& image, int bits) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const int top = (1 << bits) - 1;
    for (int y = 0; y < grey.height(); ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            row[x] = static_cast<uchar>((row[x] >> (8 - bits)) * 255 / top);
    }
    return grey;
}

// Vector files are drawn by the same renderer as the images, without supersampling: a reader
// draws them at its own resolution.
QImage rendered(const ExportArea& area, const ExportSettings& settings, const QSize& size) {
    const Family family = familyOf(settings);
    if (family == Family::Raster || family == Family::Animation)
        return renderSupersampled(area, settings, size);
    return renderExportImage(area, size, settings.monochrome);
}

// What a reader of the file shows, pixel for pixel.
QImage asWritten(const QImage& picture, const ExportSettings& settings) {
    if (settings.format == ExportFormat_TIFF && settings.monochrome)
        return greyAtDepth(picture, tiffGreyBits(settings.greyscaleDepth));
    if (isRasterFormat(settings.format))
        return inWrittenLayout(picture, settings);
    return picture;
}

// Encodings are measured at two sample sizes, large enough for the file's structure (headers,
// rows, edges against flat colour) to show, and far smaller than a large file.
constexpr double largeSamplePixels = 512.0 * 512.0;
constexpr double smallSamplePixels = largeSamplePixels / 4;

struct Sample {
    double pixels = 0;
    double bytes = 0;
};

// Uncompressed sizes are a header plus so much per pixel: the line through both samples.
double linearlyExtrapolated(const Sample& small, const Sample& large, double filePixels) {
    if (large.pixels <= small.pixels)
        return large.bytes * filePixels / large.pixels;
    const double perPixel = (large.bytes - small.bytes) / (large.pixels - small.pixels);
    return large.bytes + perPixel * (filePixels - large.pixels);
}

// Compressed sizes grow more slowly than the pixel count (a plot is mostly flat colour, so its
// edges weigh more than its area): the growth between the samples is carried on to the file.
double powerExtrapolated(const Sample& small, const Sample& large, double filePixels) {
    if (filePixels <= large.pixels || large.pixels <= small.pixels || small.bytes <= 0)
        return large.bytes * filePixels / large.pixels;
    const double growth = std::log(large.bytes / small.bytes) / std::log(large.pixels / small.pixels);
    return large.bytes * std::pow(filePixels / large.pixels, std::clamp(growth, 0.5, 1.0));
}

double extrapolated(const ExportSettings& settings, const Sample& small, const Sample& large,
                    double filePixels) {
    if (settings.format == ExportFormat_BMP)
        return linearlyExtrapolated(small, large, filePixels);
    return powerExtrapolated(small, large, filePixels);
}

Sample rasterSample(const ExportArea& area, const ExportSettings& settings, const QSize& size) {
    return {pixelCount(size),
            static_cast<double>(encodeRasterPicture(rendered(area, settings, size), settings).size())};
}

double predictedRasterBytes(const ExportArea& area, const ExportSettings& settings, const QSize& file) {
    const Sample large = rasterSample(area, settings, sampleSize(file, largeSamplePixels));
    if (large.pixels >= pixelCount(file))
        return large.bytes;
    const Sample small = rasterSample(area, settings, sampleSize(file, smallSamplePixels));
    return extrapolated(settings, small, large, pixelCount(file));
}

QByteArray encodeVector(const ExportArea& area, const ExportSettings& settings) {
    if (sdk::exportWriterOf(settings.format) == sdk::ExportWriter::WindowsMetafile)
        return encodeWindowsMetafile(area, settings);
    return encodePostScript(area, settings);
}

// The file with its embedded image at the resolution that makes the image about `pixels` pixels.
Sample embeddedImageSample(const ExportArea& area, ExportSettings settings, double pixels) {
    const QSizeF page = pageInches(area, settings);
    settings.resolution =
        std::max(1, static_cast<int>(std::lround(std::sqrt(pixels / (page.width() * page.height())))));
    return {pixelCount(pageImageSize(area, settings)),
            static_cast<double>(encodePostScript(area, settings).size())};
}

double predictedEmbeddedImageBytes(const ExportArea& area, const ExportSettings& settings,
                                   const QSize& file) {
    if (pixelCount(file) <= largeSamplePixels)
        return static_cast<double>(encodePostScript(area, settings).size());
    const Sample large = embeddedImageSample(area, settings, largeSamplePixels);
    const Sample small = embeddedImageSample(area, settings, smallSamplePixels);
    return powerExtrapolated(small, large, pixelCount(file));
}

bool encodesThroughFfmpeg(const ExportSettings& settings) {
    if (settings.format == ExportFormat_Flash)
        return settings.movie.flashImageType == FlashImageType_JPEG;
    return isMovieFormat(settings.format);
}

// One frame as the movie's encoder writes it, container included.
double movieFrameBytes(const ExportSettings& settings, const QImage& frame) {
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw std::runtime_error("No temporary folder is available to estimate the movie's size.");
    const QString path = QDir(folder.path()).filePath(QStringLiteral("frame"));
    const QSize size(movieSide(frame.width(), settings.format), movieSide(frame.height(), settings.format));
    MovieEncoder encoder(path.toStdString(), movieCodecFor(settings.format, settings.movie), size,
                         settings.framesPerSecond);
    encoder.addFrame(frame.scaled(size).convertToFormat(QImage::Format_RGB32));
    encoder.complete();
    encoder.file().commit();
    return static_cast<double>(QFileInfo(path).size());
}

// Lossless animation frames are compressed bitmaps, close to a PNG of the frame.
double losslessFrameBytes(const QImage& frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(frame);
    return static_cast<double>(bytes.size());
}

double predictedAnimationBytes(const ExportSettings& settings, const QImage& frame, const QSize& file,
                               int frameCount) {
    const double frameBytes =
        encodesThroughFfmpeg(settings) ? movieFrameBytes(settings, frame) : losslessFrameBytes(frame);
    return frameBytes * pixelCount(file) / pixelCount(frame.size()) * frameCount;
}

double rasterPredictionError(ExportFormat_e format) {
    if (format == ExportFormat_BMP)
        return uncompressedError;
    return format == ExportFormat_TIFF ? lzwImageError : compressedImageError;
}

void predictSize(QelExportPreview_s& preview, const ExportArea& area, const ExportSettings& settings,
                 const QImage& picture, const QSize& file) {
    switch (familyOf(settings)) {
    case Family::Raster:
        preview.predictedFileBytes = predictedRasterBytes(area, settings, file);
        preview.predictionError = rasterPredictionError(settings.format);
        break;
    case Family::Vector:
        preview.predictedFileBytes = static_cast<double>(encodeVector(area, settings).size());
        preview.predictionError = vectorError;
        break;
    case Family::EmbeddedImage:
        preview.predictedFileBytes = predictedEmbeddedImageBytes(area, settings, file);
        preview.predictionError = embeddedImageError;
        break;
    case Family::Animation:
        preview.predictedFileBytes = predictedAnimationBytes(settings, picture, file, preview.frameCount);
        preview.predictionError = movieError;
        break;
    }
}

void measure(QelExportPreview_s& preview, const ExportArea& area, const ExportSettings& settings,
             const QSize& file) {
    preview.fileWidth = file.width();
    preview.fileHeight = file.height();
    if (isVectorFormat(settings.format)) {
        const QSizeF page = pageInches(area, settings);
        preview.widthInches = page.width();
        preview.heightInches = page.height();
    } else {
        preview.widthInches = static_cast<double>(file.width()) / settings.resolution;
        preview.heightInches = static_cast<double>(file.height()) / settings.resolution;
    }
    if (familyOf(settings) == Family::Animation) {
        preview.frameCount = ApplicationModel::instance().timeStepCount();
        preview.durationSeconds = preview.frameCount / settings.framesPerSecond;
    }
}

std::unique_ptr<PreviewHolder> renderPreview(const ExportSettingOverrides& overrides, int maxWidth,
                                             int maxHeight) {
    if (maxWidth < 1 || maxHeight < 1)
        throw std::invalid_argument("A preview needs room of at least one pixel.");
    const ExportSettings settings = ExportSettings::fromStyles(overrides);
    checkWritable(settings);
    std::optional<ExportArea> area = exportAreaOf(settings.region);
    if (!area)
        throw std::runtime_error("There is no frame to preview.");
    // An animation's first frame: the host writes one frame per time step from the first.
    if (familyOf(settings) == Family::Animation)
        area->timeStep = 0;
    const QSize file = filePixelSize(*area, settings);
    if (familyOf(settings) != Family::Vector)
        checkWritableSize(file);

    auto preview = std::make_unique<PreviewHolder>();
    QelExportPreview_s& flat = *preview;
    flat = QelExportPreview_s{};
    measure(flat, *area, settings, file);
    const QImage picture = rendered(*area, settings, fitted(file, maxWidth, maxHeight));
    predictSize(flat, *area, settings, picture, file);
    // A transparent background is the renderer's to leave: the picture comes from
    // renderSupersampled with the file's settings, so it keeps whatever alpha the file gets.
    preview->picture = asWritten(picture, settings).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    flat.previewWidth = preview->picture.width();
    flat.previewHeight = preview->picture.height();
    flat.pixels = preview->picture.constBits();
    return preview;
}

} // namespace

} // namespace qelmar::standin

QelExportPreview_s* QelUtilExportPreviewRender(const QelExportSettingOverride_s* overrides,
                                               std::size_t overrideCount, int maxWidth, int maxHeight) {
    using namespace qelmar::standin;
    clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilExportPreviewRender"))
        return nullptr;
    std::unique_ptr<PreviewHolder> preview;
    const bool rendered = succeedsOrSetsLastError(
        [&] { preview = renderPreview(overridesOf(overrides, overrideCount), maxWidth, maxHeight); });
    return rendered ? preview.release() : nullptr;
}

void QelUtilExportPreviewDealloc(QelExportPreview_s** preview) {
    if (!preview || !*preview)
        return;
    // Every preview handed out is the flat part of a holder.
    std::unique_ptr<qelmar::standin::PreviewHolder> owner(
        static_cast<qelmar::standin::PreviewHolder*>(*preview));
    *preview = nullptr;
}
