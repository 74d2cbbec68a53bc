#pragma once

// Internal to the stand-in kernel: greyscale TIFF images of 1, 4 or 8 bits per pixel, which
// Qt's TIFF writer cannot all produce, encoded in memory by libtiff.

#include <QByteArray>
#include <QImage>

namespace qelmar::standin {

// `bits` is 1, 4 or 8; the image is reduced to grey first. Black is 0, as in the other formats.
// Throws std::runtime_error when libtiff refuses.
QByteArray encodeGreyTiff(const QImage& image, int bits, bool compressed);

} // namespace qelmar::standin
