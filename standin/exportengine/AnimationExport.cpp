#include "exportengine/AnimationExport.h"

#include "exportengine/ExportSettings.h"
#include "exportengine/MovieCheck.h"
#include "exportengine/MovieCodec.h"
#include "exportengine/MovieEncoder.h"
#include "exportengine/PlotRenderer.h"
#include "exportengine/RasterExport.h"
#include "exportengine/RasterMetafile.h"
#include "exportengine/SwfLosslessWriter.h"
#include "host/ExportFormats.h"
#include "kernel/KernelState.h"
#include "kernel/SafeFile.h"
#include "kernel/StyleStore.h"

#include <stdexcept>

namespace qelmar::standin {

namespace {

int& framesToLose() {
    static int frames = 0;
    return frames;
}

const ResetRegistration resetLostFrames{[] { framesToLose() = 0; }};

struct AnimationStyles {
    double framesPerSecond = 10.0;
    bool tablePerFrame = false;
    MovieOptions movie;

    static AnimationStyles read() {
        const StyleStore& styles = StyleStore::instance();
        namespace setting = sdk::exportsettings;
        const auto integer = [&styles](const sdk::ExportSetting& setting) {
            return styles.integerValue(stylePathOf(setting));
        };
        AnimationStyles result;
        result.framesPerSecond = styles.realValue(stylePathOf(setting::animationSpeed));
        result.tablePerFrame = styles.boolValue(stylePathOf(setting::useMultipleColorTables));
        result.movie.aviCompression = static_cast<AVICompression_e>(integer(setting::aviCompression));
        result.movie.flashImageType = static_cast<FlashImageType_e>(integer(setting::flashImageType));
        result.movie.flashCompression =
            static_cast<FlashCompressionType_e>(integer(setting::flashCompressionType));
        return result;
    }
};

std::unique_ptr<AnimationWriter> writerFor(const ExportSettings& settings, const AnimationStyles& styles,
                                           const QSize& size) {
    if (settings.format == ExportFormat_RasterMetafile)
        return std::make_unique<RasterMetafileWriter>(settings.fileName, size, styles.framesPerSecond,
                                                      styles.tablePerFrame);
    // True colour and 256 colours promise every pixel as drawn, which only the format's own
    // lossless bitmaps keep.
    if (settings.format == ExportFormat_Flash && styles.movie.flashImageType != FlashImageType_JPEG)
        return std::make_unique<SwfLosslessWriter>(
            settings.fileName, size, styles.framesPerSecond,
            styles.movie.flashImageType == FlashImageType_Color256 ? SwfLosslessWriter::Pixels::Colours256
                                                                   : SwfLosslessWriter::Pixels::TrueColour,
            styles.movie.flashCompression == FlashCompressionType_SmallestSize);
    return std::make_unique<MovieEncoder>(settings.fileName, movieCodecFor(settings.format, styles.movie),
                                          size, styles.framesPerSecond);
}

} // namespace

bool isAnimatedFormat(ExportFormat_e format) {
    const sdk::ExportFormatDescriptor* row = sdk::findExportFormat(format);
    return row && row->isAnimated();
}

QSize animationFrameSize(const ExportArea& area, const ExportSettings& settings) {
    return rasterImageSize(area, settings);
}

struct AnimationExport::Impl {
    ExportSettings settings;
    QSize frame;
    double framesPerSecond = 0;
    long long framesDrawn = 0;
    std::unique_ptr<AnimationWriter> writer;

    void draw(const ExportArea& area) {
        const QImage image = renderSupersampled(area, settings, frame).convertToFormat(QImage::Format_RGB32);
        ++framesDrawn;
        if (framesToLose() > 0) {
            --framesToLose();
            return;
        }
        writer->addFrame(image);
    }

    // The file is read back before it replaces the target: a movie that is not what was drawn
    // is refused, and the earlier file stays.
    void checkWritten() {
        SafeFile& file = writer->file();
        const MovieShape written = readMovieShape(file.readablePath(), settings.format, file.path());
        checkMovieShape(written, {framesDrawn, framesPerSecond, frame});
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
    d.frame = animationFrameSize(*area, settings);
    if (d.frame.width() < 1 || d.frame.width() > largestImageSide || d.frame.height() > largestImageSide ||
        static_cast<double>(d.frame.width()) * d.frame.height() > largestImagePixels)
        throw std::runtime_error("An animation of " + std::to_string(d.frame.width()) + " x " +
                                 std::to_string(d.frame.height()) +
                                 " pixels is too large to export. Choose a smaller width.");
    const AnimationStyles styles = AnimationStyles::read();
    // The file would store a rate of 0 frames per second.
    if (settings.format == ExportFormat_Flash && styles.framesPerSecond < 1.0 / 256.0)
        throw std::runtime_error("A Flash movie cannot play slower than 0.00390625 (1/256) frames per "
                                 "second. Choose a higher animation speed.");
    d.framesPerSecond = styles.framesPerSecond;
    d.writer = writerFor(settings, styles, d.frame);
    d.draw(*area);
}

AnimationExport::~AnimationExport() = default;

void AnimationExport::addFrame() {
    m_impl->drawRegion();
}

void AnimationExport::finish() {
    Impl& d = *m_impl;
    d.writer->complete();
    d.checkWritten();
    d.writer->file().commit();
}

void loseAnimationFramesForTesting(int frames) {
    framesToLose() = frames;
}

} // namespace qelmar::standin
