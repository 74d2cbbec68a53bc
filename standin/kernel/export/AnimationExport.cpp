#include "kernel/export/AnimationExport.h"

#include "kernel/StyleStore.h"
#include "kernel/export/MovieCodec.h"
#include "kernel/export/MovieEncoder.h"
#include "kernel/export/PlotRenderer.h"
#include "kernel/export/RasterExport.h"
#include "kernel/export/RasterMetafile.h"

#include <QPainter>

#include <stdexcept>

namespace qelmar::standin {

namespace {

struct AnimationStyles {
    double framesPerSecond = 10.0;
    bool tablePerFrame = false;
    MovieOptions movie;

    static AnimationStyles read() {
        const StyleStore& styles = StyleStore::instance();
        AnimationStyles result;
        result.framesPerSecond = styles.realValue({"ExportSetup", "AnimationSpeed"});
        result.tablePerFrame = styles.boolValue({"ExportSetup", "UseMultipleColorTables"});
        result.movie.aviCompression =
            static_cast<AVICompression_e>(styles.integerValue({"ExportSetup", "AVICompression"}));
        result.movie.flashImageType =
            static_cast<FlashImageType_e>(styles.integerValue({"ExportSetup", "FlashImageType"}));
        result.movie.flashCompression =
            static_cast<FlashCompressionType_e>(styles.integerValue({"ExportSetup", "FlashCompressionType"}));
        return result;
    }
};

QSize pictureSize(const ExportArea& area, const ExportSettings& settings) {
    return rasterImageSize(area, settings);
}

std::unique_ptr<AnimationWriter> writerFor(const ExportSettings& settings, const AnimationStyles& styles,
                                           const QSize& size) {
    if (settings.format == ExportFormat_RasterMetafile)
        return std::make_unique<RasterMetafileWriter>(settings.fileName, size, styles.framesPerSecond,
                                                      styles.tablePerFrame);
    return std::make_unique<MovieEncoder>(settings.fileName, movieCodecFor(settings.format, styles.movie),
                                          size, styles.framesPerSecond);
}

} // namespace

bool isAnimatedFormat(ExportFormat_e format) {
    return isMovieFormat(format) || format == ExportFormat_RasterMetafile;
}

QSize animationFrameSize(const ExportArea& area, const ExportSettings& settings) {
    // Heights are even already; an odd typed width gets a white column where the codec needs
    // even sides.
    const QSize picture = pictureSize(area, settings);
    return QSize(movieSide(picture.width(), settings.format), picture.height());
}

struct AnimationExport::Impl {
    ExportSettings settings;
    QSize picture;
    QSize frame;
    std::unique_ptr<AnimationWriter> writer;

    void draw(const ExportArea& area) {
        QImage image = renderSupersampled(area, settings, picture).convertToFormat(QImage::Format_RGB32);
        if (picture != frame) {
            QImage padded(frame, QImage::Format_RGB32);
            padded.fill(Qt::white);
            QPainter(&padded).drawImage(0, 0, image);
            image = padded;
        }
        writer->addFrame(image);
    }

    void drawRegion() {
        const auto area = exportAreaOf(settings.region);
        if (!area)
            throw std::runtime_error("There is no frame to export.");
        draw(*area);
    }
};

AnimationExport::AnimationExport(const ExportSettings& settings)
    : m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    d.settings = settings;
    const auto area = exportAreaOf(settings.region);
    if (!area)
        throw std::runtime_error("There is no frame to export.");
    d.picture = pictureSize(*area, settings);
    d.frame = animationFrameSize(*area, settings);
    if (d.frame.width() < 1 || d.frame.width() > largestImageSide || d.frame.height() > largestImageSide ||
        static_cast<double>(d.frame.width()) * d.frame.height() > largestImagePixels)
        throw std::runtime_error("An animation of " + std::to_string(d.frame.width()) + " x " +
                                 std::to_string(d.frame.height()) +
                                 " pixels is too large to export. Choose a smaller width.");
    d.writer = writerFor(settings, AnimationStyles::read(), d.frame);
    d.draw(*area);
}

AnimationExport::~AnimationExport() = default;

void AnimationExport::addFrame() {
    m_impl->drawRegion();
}

void AnimationExport::finish() {
    m_impl->writer->finish();
}

} // namespace qelmar::standin
