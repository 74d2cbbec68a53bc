#include "host/KernelExport.h"

#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/SafeFileWrite.h"
#include "kernel/export/ExportGeometry.h"
#include "kernel/export/ExportSettings.h"
#include "kernel/export/PostScriptExport.h"
#include "kernel/export/RasterExport.h"

using qelmar::standin::ExportSettings;
using qelmar::standin::KernelState;

namespace {

bool isAnimationFormat(ExportFormat_e format) {
    return format == ExportFormat_AVI || format == ExportFormat_Flash || format == ExportFormat_MPEG4 ||
           format == ExportFormat_WMV || format == ExportFormat_RasterMetafile ||
           format == ExportFormat_FlashVideo;
}

// Why the format cannot be written by this kernel; empty for the formats it writes.
std::string unavailableFormatReason(ExportFormat_e format) {
    if (qelmar::standin::isRasterFormat(format) || format == ExportFormat_EPS || format == ExportFormat_PS)
        return {};
    if (format == ExportFormat_WindowsMetafile)
        return "Exporting WMF files is not available yet.";
    if (isAnimationFormat(format))
        return "Exporting animations is not available yet.";
    return "Export format " + std::to_string(static_cast<int>(format)) + " is not supported.";
}

bool fail(const std::string& reason) {
    qelmar::standin::setLastErrorMessage(reason);
    return false;
}

QByteArray encode(const qelmar::standin::ExportArea& area, const ExportSettings& settings,
                  std::string& error) {
    if (qelmar::standin::isRasterFormat(settings.format))
        return qelmar::standin::encodeRasterImage(area, settings, error);
    return qelmar::standin::encodePostScript(area, settings, error);
}

} // namespace

bool QelUtilExport(bool append) {
    qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilExport"))
        return false;
    if (append)
        return fail("Adding a frame to an animation export is not available yet.");
    const ExportSettings settings = ExportSettings::fromStyles();
    if (const std::string reason = unavailableFormatReason(settings.format); !reason.empty())
        return fail(reason);
    if (settings.fileName.empty())
        return fail("No file name was given for the export.");
    const auto area = qelmar::standin::exportAreaOf(settings.region);
    if (!area)
        return fail("There is no frame to export.");

    std::string error;
    const QByteArray bytes = encode(*area, settings, error);
    if (bytes.isEmpty())
        return fail(error.empty() ? "The export produced no data." : error);
    if (!qelmar::standin::writeFileSafely(settings.fileName, bytes, error))
        return fail(error);
    return true;
}

int QelUtilGetDefaultExportImageWidth(ExportFormat_e format, ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelUtilGetDefaultExportImageWidth"))
        return 0;
    return qelmar::standin::defaultImageWidth(format, region);
}

int QelUtilGetExportImageHeight(int width, ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelUtilGetExportImageHeight"))
        return 0;
    return qelmar::standin::imageHeightFor(width, region);
}

int QelAppGetVectorExportMaxDPI(ExportRegion_e region) {
    if (!KernelState::instance().beginCall("QelAppGetVectorExportMaxDPI"))
        return 0;
    return qelmar::standin::largestResolutionFor(qelmar::standin::regionInches(region));
}
