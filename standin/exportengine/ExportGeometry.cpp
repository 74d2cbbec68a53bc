#include "exportengine/ExportGeometry.h"

#include "host/ExportFormats.h"

#include "exportengine/ExportSettings.h"
#include "exportengine/MovieCodec.h"
#include "kernel/ApplicationModel.h"
#include "kernel/StyleStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qelmar::standin {

namespace {

QRectF paperWithMargin(const QSizeF& paper) {
    return QRectF(QPointF(0, 0), paper)
        .adjusted(-workAreaMargin, -workAreaMargin, workAreaMargin, workAreaMargin);
}

QRectF boundsOf(const Page& page) {
    QRectF bounds;
    for (const auto& frame : page.frames)
        bounds = bounds.united(frame.placement);
    return bounds;
}

std::vector<int> bottomFirst(const Page& page) {
    std::vector<int> ids;
    for (auto it = page.frames.rbegin(); it != page.frames.rend(); ++it)
        ids.push_back(it->id);
    return ids;
}

} // namespace

QRectF workAreaOf(int page) {
    const auto& pages = ApplicationModel::instance().pages();
    if (page < 0 || page >= static_cast<int>(pages.size()))
        return paperWithMargin(Page{}.paper);
    return paperWithMargin(pages[static_cast<std::size_t>(page)].paper);
}

std::optional<ExportArea> exportAreaOf(ExportRegion_e region) {
    ApplicationModel& model = ApplicationModel::instance();
    const Frame* current = model.currentFrame();
    if (!current)
        return std::nullopt;
    ExportArea area;
    area.page = model.pageOf(current->id);
    const Page& page = model.pages()[static_cast<std::size_t>(area.page)];
    switch (region) {
    case ExportRegion_CurrentFrame:
        area.frames = {current->id};
        area.inches = current->placement;
        break;
    case ExportRegion_AllFrames:
        area.frames = bottomFirst(page);
        area.inches = boundsOf(page);
        break;
    default:
        area.frames = bottomFirst(page);
        area.inches = paperWithMargin(page.paper);
        break;
    }
    if (area.inches.width() <= 0 || area.inches.height() <= 0)
        area.inches = paperWithMargin(page.paper);
    return area;
}

QRectF regionInches(ExportRegion_e region) {
    if (const auto area = exportAreaOf(region))
        return area->inches;
    return workAreaOf(-1);
}

bool isVectorFormat(ExportFormat_e format) {
    const sdk::ExportFormatDescriptor* row = sdk::findExportFormat(format);
    return row && row->embedsImageAtResolution();
}

int defaultImageWidth(ExportFormat_e format, ExportRegion_e region) {
    const double pixelsPerInch = isVectorFormat(format)
                                     ? static_cast<double>(StyleStore::instance().integerValue(
                                           stylePathOf(sdk::exportsettings::resolution)))
                                     : screenPixelsPerInch;
    const double width = std::round(regionInches(region).width() * pixelsPerInch);
    return static_cast<int>(std::clamp(width, 1.0, static_cast<double>(largestImageSide)));
}

int imageHeightFor(int width, const QRectF& inches) {
    if (inches.width() <= 0)
        return 1;
    const double height = std::round(width * inches.height() / inches.width());
    return static_cast<int>(
        std::clamp(height, 1.0, static_cast<double>(std::numeric_limits<int>::max() - 1)));
}

QSize exportImageSize(ExportFormat_e format, const QRectF& inches, int width) {
    // The height follows the width written, so that asking again with that width gives the
    // same size.
    const int written = movieSide(width, format);
    return QSize(written, movieSide(imageHeightFor(written, inches), format));
}

QSizeF pageInches(const ExportArea& area, const ExportSettings& settings) {
    return pageInches(area.inches, settings.usePhysicalSize, settings.imageWidth, settings.resolution);
}

QSize pageImageSize(const ExportArea& area, const ExportSettings& settings) {
    const QSizeF page = pageInches(area, settings);
    const int width = std::max(1, static_cast<int>(std::lround(page.width() * settings.resolution)));
    return exportImageSize(settings.format, QRectF(QPointF(0, 0), page), width);
}

int largestResolutionFor(const QRectF& inches) {
    if (inches.width() <= 0 || inches.height() <= 0)
        return 1;
    const double bySide = largestImageSide / std::max(inches.width(), inches.height());
    const double byArea = std::sqrt(largestImagePixels / (inches.width() * inches.height()));
    return std::max(1, static_cast<int>(std::floor(std::min(bySide, byArea))));
}

bool fitsImageBounds(const QSize& size) {
    return size.width() >= 1 && size.height() >= 1 && size.width() <= largestImageSide &&
           size.height() <= largestImageSide &&
           static_cast<double>(size.width()) * size.height() <= largestImagePixels;
}

bool takesTypedWidth(ExportFormat_e format, bool useOffscreenBitmap, bool usePhysicalSize) {
    return usePhysicalSize || (useOffscreenBitmap && !isVectorFormat(format));
}

QSizeF pageInches(const QRectF& region, bool usePhysicalSize, int imageWidth, int dotsPerInch) {
    if (!usePhysicalSize || dotsPerInch <= 0 || region.width() <= 0)
        return region.size();
    const double width = static_cast<double>(imageWidth) / dotsPerInch;
    return QSizeF(width, width * region.height() / region.width());
}

} // namespace qelmar::standin
