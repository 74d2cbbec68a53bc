#pragma once

// Internal to the stand-in kernel: still images in the raster formats (PNG, BMP, JPEG, TIFF).

#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace qelmar::standin {

bool isRasterFormat(ExportFormat_e format);
// The size of the image written (exportImageSize): of the typed width with an off-screen bitmap or
// a physical size, else of the width on screen. Animations take their frame size from here too.
QSize rasterImageSize(const ExportArea& area, const ExportSettings& settings);
// The region drawn at the size, supersampled as the settings ask (within the memory bound), its
// background left transparent when they ask for that.
QImage renderSupersampled(const ExportArea& area, const ExportSettings& settings, const QSize& size);
// The pixel size of the image a file of the settings holds: the raster image (rasterImageSize) or,
// for the vector formats, their page at the resolution (pageImageSize).
QSize filePixelSize(const ExportArea& area, const ExportSettings& settings);
// Throws std::runtime_error with a reason for the user when no writer takes an image of the size.
void checkWritableSize(const QSize& size);
// The pixel layout the settings ask of the format (grey, 256 colours), which Qt's writers keep.
QImage inWrittenLayout(const QImage& image, const ExportSettings& settings);
// Bits per pixel of a monochrome TIFF at "ExportSetup" "GrayscaleDepth".
int tiffGreyBits(int depth);
// A rendered picture encoded as the format's file; throws std::runtime_error.
QByteArray encodeRasterPicture(const QImage& image, const ExportSettings& settings);
// The file's bytes, carrying "PrintSetup" "ImageResolution" as their resolution; throws std::runtime_error
// with a reason for the user.
QByteArray encodeRasterImage(const ExportArea& area, const ExportSettings& settings);

} // namespace qelmar::standin
