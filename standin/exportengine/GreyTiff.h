#pragma once

// Internal to the stand-in kernel: greyscale TIFF images of 1, 4 or 8 bits per pixel, which
// Qt's TIFF writer cannot all produce, encoded in memory by libtiff.

#include <QByteArray>
#include <QImage>

namespace qelmar::standin {

// `bits` is 1, 4 or 8; the image is reduced to grey first. Black is 0, as in the other formats.
// An image with an alpha channel keeps it: its greys, of the shades the depth allows, are stored
// in 8 bits beside an 8-bit alpha, since grey and alpha at 1 or 4 bits are a layout hardly any
// reader opens (libtiff's own RGBA reader among them). A positive resolution is written in dots
// per inch. Throws std::runtime_error when libtiff refuses.
QByteArray encodeGreyTiff(const QImage& image, int bits, bool compressed, int dotsPerInch = 0);

} // namespace qelmar::standin
