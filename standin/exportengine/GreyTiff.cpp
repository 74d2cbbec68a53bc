#include "exportengine/GreyTiff.h"

#include <tiffio.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace qelmar::standin {

namespace {

// libtiff writes through these callbacks into a growing byte array instead of a file.
struct MemoryFile {
    QByteArray bytes;
    toff_t position = 0;
};

tsize_t readMemory(thandle_t handle, tdata_t data, tsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    const auto available = static_cast<tsize_t>(file->bytes.size()) - static_cast<tsize_t>(file->position);
    const tsize_t count = std::max<tsize_t>(0, std::min(size, available));
    std::memcpy(data, file->bytes.constData() + file->position, static_cast<std::size_t>(count));
    file->position += static_cast<toff_t>(count);
    return count;
}

tsize_t writeMemory(thandle_t handle, tdata_t data, tsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    const auto end = static_cast<qsizetype>(file->position) + static_cast<qsizetype>(size);
    if (end > file->bytes.size())
        file->bytes.resize(end);
    std::memcpy(file->bytes.data() + file->position, data, static_cast<std::size_t>(size));
    file->position = static_cast<toff_t>(end);
    return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = file->position;
    else if (whence == SEEK_END)
        base = static_cast<toff_t>(file->bytes.size());
    file->position = base + offset;
    return file->position;
}

int closeMemory(thandle_t) {
    return 0;
}

toff_t sizeOfMemory(thandle_t handle) {
    return static_cast<toff_t>(static_cast<MemoryFile*>(handle)->bytes.size());
}

int mapNothing(thandle_t, tdata_t*, toff_t*) {
    return 0;
}

void unmapNothing(thandle_t, tdata_t, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// One row of grey values packed at the depth, the first pixel in the high bits.
std::vector<unsigned char> packRow(const uchar* grey, int width, int bits) {
    std::vector<unsigned char> row((static_cast<std::size_t>(width) * bits + 7) / 8, 0);
    for (int x = 0; x < width; ++x) {
        const unsigned value = static_cast<unsigned>(grey[x]) >> (8 - bits);
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        row[bit / 8] |= static_cast<unsigned char>(value << (8 - bits - bit % 8));
    }
    return row;
}

// One row of grey and alpha pairs, 8 bits each; the grey keeps only the shades of `bits`.
std::vector<unsigned char> packGreyAlphaRow(const QRgb* pixels, int width, int bits) {
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 2);
    const int top = (1 << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int level = qGray(pixels[x]) >> (8 - bits);
        row[2 * static_cast<std::size_t>(x)] = static_cast<unsigned char>(level * 255 / top);
        row[2 * static_cast<std::size_t>(x) + 1] = static_cast<unsigned char>(qAlpha(pixels[x]));
    }
    return row;
}

void setLayout(TIFF* tiff, const QSize& size, int bits, bool alpha) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(size.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(size.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(alpha ? 8 : bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(alpha ? 2 : 1));
    if (alpha) {
        const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(1), extra);
    }
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
}

void setResolution(TIFF* tiff, int dotsPerInch) {
    if (dotsPerInch <= 0)
        return;
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<double>(dotsPerInch));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<double>(dotsPerInch));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, static_cast<uint16_t>(RESUNIT_INCH));
}

} // namespace

QByteArray encodeGreyTiff(const QImage& image, int bits, bool compressed, int dotsPerInch) {
    const bool alpha = image.hasAlphaChannel();
    // Unpremultiplied, so that a half-covered edge keeps its grey beside its alpha.
    const QImage grey = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_Grayscale8);
    MemoryFile file;
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpen("image", "w", &file, readMemory, writeMemory,
                                                          seekMemory, closeMemory, sizeOfMemory, mapNothing,
                                                          unmapNothing));
    if (!tiff)
        throw std::runtime_error("The TIFF encoder could not be started.");
    setLayout(tiff.get(), grey.size(), bits, alpha);
    setResolution(tiff.get(), dotsPerInch);
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, compressed ? COMPRESSION_LZW : COMPRESSION_NONE);
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff.get(), 0));
    for (int y = 0; y < grey.height(); ++y) {
        std::vector<unsigned char> row =
            alpha ? packGreyAlphaRow(reinterpret_cast<const QRgb*>(grey.constScanLine(y)), grey.width(), bits)
                  : packRow(grey.constScanLine(y), grey.width(), bits);
        if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<uint32_t>(y), 0) < 0)
            throw std::runtime_error("The TIFF encoder failed.");
    }
    tiff.reset(); // writes the directory
    return file.bytes;
}

} // namespace qelmar::standin
