#pragma once

// Internal to the stand-in kernel: where the export regions lie on the pages, in inches, and
// the sizes derived from them. The export writers, the size queries of the export dialog and
// the screen view all measure here, so the sizes the dialog announces are the sizes written.

#include "host/ExportSettingsTable.h"
#include "host/KernelExport.h"

#include <QRectF>
#include <QSize>

#include <optional>
#include <vector>

namespace qelmar::standin {

// The scale at which the application shows its pages.
constexpr double screenPixelsPerInch = 72.0;
// The desk shown around the paper in the work area.
constexpr double workAreaMargin = 0.5;
// Bounds of an image any writer is asked for: the side the image formats take, and an area that
// keeps the memory of one rendering reasonable.
constexpr int largestImageSide = sdk::exportsettings::largestImageSide;
constexpr double largestImagePixels = 64.0 * 1024.0 * 1024.0;

// What one drawing shows: a rectangle of a page (inches from the paper's top left corner) and
// the frames drawn in it, the bottom of the stack first.
struct ExportArea {
    int page = -1;
    std::vector<int> frames;
    QRectF inches;
    // The time step every data set is drawn at; the application's current one when not given.
    std::optional<int> timeStep;
};

struct ExportSettings;

// The paper of the page and the desk margin around it.
QRectF workAreaOf(int page);
// The region around the current frame; nothing when there is no current frame.
std::optional<ExportArea> exportAreaOf(ExportRegion_e region);
// The region's rectangle; without a current frame, the work area of an empty page, so that a
// size query always has an answer.
QRectF regionInches(ExportRegion_e region);

bool isVectorFormat(ExportFormat_e format);
// The region's width in pixels on screen, or at "PrintSetup" "ImageResolution" for the vector
// formats.
int defaultImageWidth(ExportFormat_e format, ExportRegion_e region);
// The height that keeps the rectangle's aspect ratio at the width.
int imageHeightFor(int width, const QRectF& inches);
// The size of the image an export in the format writes of the rectangle when `width` pixels
// are asked for: the height keeps the aspect ratio, and a movie format whose encoder needs even
// sides gets each odd side rounded up. The writers and the size queries of the export dialog all
// size their images here, so the dimensions the dialog shows are the dimensions written.
QSize exportImageSize(ExportFormat_e format, const QRectF& inches, int width);
// The page of a vector file of the settings, in inches (below).
QSizeF pageInches(const ExportArea& area, const ExportSettings& settings);
// The page of a vector file at "PrintSetup" "ImageResolution": the size of the image it embeds
// when drawn as an image.
QSize pageImageSize(const ExportArea& area, const ExportSettings& settings);
// The largest resolution at which an image of the rectangle stays within both bounds above.
int largestResolutionFor(const QRectF& inches);
// Whether an image of the size stays within both bounds above.
bool fitsImageBounds(const QSize& size);

// Whether an export takes the width typed in "ExportSetup" "ImageWidth" rather than the region's
// own: an image of physical size ("ExportSetup" "UsePhysicalSize") always does, whatever the
// off-screen setting; otherwise only the pixel formats drawn on an off-screen bitmap.
bool takesTypedWidth(ExportFormat_e format, bool useOffscreenBitmap, bool usePhysicalSize);
// The page of a vector file, in inches: the region's own size, or with a physical size the typed
// width at the resolution, the height keeping the region's aspect.
QSizeF pageInches(const QRectF& region, bool usePhysicalSize, int imageWidth, int dotsPerInch);

} // namespace qelmar::standin
