#include "host/KernelExport.h"

#include "host/ExportFormats.h"

#include "exportengine/AnimationExport.h"
#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportProgress.h"
#include "exportengine/ExportSettings.h"
#include "exportengine/MovieCodec.h"
#include "exportengine/PostScriptExport.h"
#include "exportengine/RasterExport.h"
#include "exportengine/WmfExport.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/SafeFileWrite.h"
#include "kernel/StyleStore.h"

#include <memory>
#include <stdexcept>

using qelmar::standin::AnimationExport;
using qelmar::standin::ExportSettings;
using qelmar::standin::KernelState;

namespace {

// Why the format cannot be written by this kernel; empty for the formats it writes.
std::string unavailableFormatReason(ExportFormat_e format) {
    if (qelmar::sdk::exportWriterOf(format) != qelmar::sdk::ExportWriter::None)
        return {};
    if (format == ExportFormat_FlashVideo)
        return "Exporting Flash Video animations is not available.";
    return "Export format " + std::to_string(static_cast<int>(format)) + " is not supported.";
}

[[noreturn]] void refuse(const std::string& reason) {
    throw std::runtime_error(reason);
}

QByteArray encode(const qelmar::standin::ExportArea& area, const ExportSettings& settings) {
    switch (qelmar::sdk::exportWriterOf(settings.format)) {
    case qelmar::sdk::ExportWriter::RasterImage:
        return qelmar::standin::encodeRasterImage(area, settings);
    case qelmar::sdk::ExportWriter::WindowsMetafile:
        return qelmar::standin::encodeWindowsMetafile(area, settings);
    default:
        return qelmar::standin::encodePostScript(area, settings);
    }
}

// The animation between its first export call and its finish. Only one runs at a time: a second
// start is refused rather than abandoning frames the host may still want.
std::unique_ptr<AnimationExport>& runningAnimation() {
    static std::unique_ptr<AnimationExport> animation;
    return animation;
}

const qelmar::standin::ResetRegistration resetAnimation{[] { runningAnimation().reset(); }};

ExportFormat_e kernelExportFormat() {
    return static_cast<ExportFormat_e>(qelmar::standin::StyleStore::instance().integerValue(
        qelmar::standin::stylePathOf(qelmar::sdk::exportsettings::exportFormat)));
}

void startAnimation(const ExportSettings& settings) {
    if (runningAnimation())
        refuse("An animation is already being exported; finish or cancel it before starting another.");
    runningAnimation() = std::make_unique<AnimationExport>(settings);
}

void addAnimationFrame() {
    if (!runningAnimation()) {
        if (!qelmar::standin::isAnimatedFormat(kernelExportFormat()))
            refuse("Frames can only be added to an animation, and the export format is a still image "
                   "format. Choose an animation format and start the animation first.");
        refuse("No animation is being exported; start one first.");
    }
    // A writer that failed is unusable, so the animation ends with a frame that cannot be added;
    // it goes back only when the frame went in.
    std::unique_ptr<AnimationExport> animation = std::move(runningAnimation());
    animation->addFrame();
    runningAnimation() = std::move(animation);
}

void finishAnimation() {
    const std::unique_ptr<AnimationExport> animation = std::move(runningAnimation());
    if (!animation)
        refuse("No animation frames were exported, so there is nothing to finish; start an animation first.");
    animation->finish();
}

struct ProgressCallback {
    QelExportProgressCallback_pf callback = nullptr;
    void* clientData = nullptr;
};

ProgressCallback& progressCallback() {
    static ProgressCallback installed;
    return installed;
}

const qelmar::standin::ResetRegistration resetProgressCallback{[] { progressCallback() = {}; }};

qelmar::standin::ExportProgress::Listener progressListener() {
    const ProgressCallback installed = progressCallback();
    if (!installed.callback)
        return {};
    return [installed](double share) { return installed.callback(share, installed.clientData); };
}

void exportStillImage(const ExportSettings& settings) {
    using qelmar::standin::ExportProgress;
    const auto area = qelmar::standin::exportAreaOf(settings.region);
    if (!area)
        refuse("There is no frame to export.");
    const ExportProgress::Listening listening(progressListener());
    ExportProgress::report(0.0);
    const QByteArray bytes = encode(*area, settings);
    if (bytes.isEmpty())
        refuse("The export produced no data.");
    // The last chance to cancel: nothing has been written yet.
    ExportProgress::report(1.0);
    qelmar::standin::writeFileSafely(settings.fileName, bytes);
}

void startExport() {
    const ExportSettings settings = ExportSettings::fromStyles();
    if (const std::string reason = unavailableFormatReason(settings.format); !reason.empty())
        refuse(reason);
    if (settings.fileName.empty())
        refuse("No file name was given for the export.");
    if (const auto* format = qelmar::sdk::findExportFormat(settings.format); format && format->isAnimated())
        startAnimation(settings);
    else
        exportStillImage(settings);
}

// The width the writers take for the format when the dialog asks with `width` (0 or less: none
// typed), by the same rule as theirs.
int writtenWidth(ExportFormat_e format, ExportRegion_e region, int width) {
    using namespace qelmar::standin;
    const ExportSettings settings = ExportSettings::fromStyles();
    if (!takesTypedWidth(format, settings.useOffscreenBitmap, settings.usePhysicalSize))
        return defaultImageWidth(format, region);
    if (width > 0)
        return width;
    return settings.usePhysicalSize ? settings.imageWidth : defaultImageWidth(format, region);
}

} // namespace

bool QelUtilExport(bool append) {
    qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilExport")) {
        if (append)
            runningAnimation().reset();
        return false;
    }
    return qelmar::standin::succeedsOrSetsLastError(append ? addAnimationFrame : startExport);
}

bool QelUtilExportFinish() {
    qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilExportFinish")) {
        runningAnimation().reset();
        return false;
    }
    return qelmar::standin::succeedsOrSetsLastError(finishAnimation);
}

void QelUtilExportCancel() {
    KernelState::instance().beginCall("QelUtilExportCancel");
    runningAnimation().reset();
}

void QelUtilExportSetProgressCallback(QelExportProgressCallback_pf callback, void* clientData) {
    KernelState::instance().beginCall("QelUtilExportSetProgressCallback");
    progressCallback() = {callback, callback ? clientData : nullptr};
}

int QelUtilGetDefaultExportImageWidth(ExportFormat_e format, ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelUtilGetDefaultExportImageWidth"))
        return 0;
    return qelmar::standin::movieSide(qelmar::standin::defaultImageWidth(format, region), format);
}

int QelUtilGetExportImageHeight(int width, ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelUtilGetExportImageHeight"))
        return 0;
    const auto format = qelmar::standin::ExportSettings::fromStyles().format;
    return qelmar::standin::exportImageSize(format, qelmar::standin::regionInches(region), width).height();
}

void QelUtilGetExportImageSize(ExportFormat_e format, ExportRegion_e region, int width, int* exportWidth,
                               int* exportHeight) {
    using namespace qelmar::standin;
    QSize size;
    if (KernelState::instance().beginCall("QelUtilGetExportImageSize")) {
        size = exportImageSize(format, regionInches(region), writtenWidth(format, region, width));
    }
    if (exportWidth)
        *exportWidth = size.width();
    if (exportHeight)
        *exportHeight = size.height();
}

int QelAppGetVectorExportMaxDPI(ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelAppGetVectorExportMaxDPI"))
        return 0;
    return qelmar::standin::largestResolutionFor(qelmar::standin::regionInches(region));
}
