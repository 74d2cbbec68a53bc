#include "exportengine/SwfLosslessWriter.h"

#include "kernel/SafeFile.h"

#include <QtEndian>

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace qelmar::standin {

namespace {

constexpr int twipsPerPixel = 20;
constexpr int largestSide = 65535 / twipsPerPixel; // a side in twips must fit the shape's records
constexpr int largestFrameCount = 32767;

enum Tag : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    SetBackgroundColor = 9,
    DefineBitsLossless = 20,
    PlaceObject2 = 26,
};

// The bit fields of rectangles, matrices and shape records, most significant bit first.
class BitWriter {
public:
    void unsignedBits(std::uint32_t value, int count) {
        for (int bit = count - 1; bit >= 0; --bit)
            append((value >> bit) & 1u);
    }
    void signedBits(std::int32_t value, int count) {
        unsignedBits(static_cast<std::uint32_t>(value) & ((count >= 32 ? 0u : 1u << count) - 1u), count);
    }
    QByteArray bytes() {
        while (m_used != 0)
            append(0);
        return m_bytes;
    }

private:
    void append(unsigned bit) {
        m_current = static_cast<unsigned char>((m_current << 1) | bit);
        if (++m_used == 8) {
            m_bytes.append(static_cast<char>(m_current));
            m_current = 0;
            m_used = 0;
        }
    }

    QByteArray m_bytes;
    unsigned char m_current = 0;
    int m_used = 0;
};

// The fewest bits that hold the value as a two's complement number.
int signedBitCount(std::int32_t value) {
    int bits = 1;
    while (value < -(1 << (bits - 1)) || value >= (1 << (bits - 1)))
        ++bits;
    return bits;
}

void appendUint16(QByteArray& bytes, unsigned value) {
    char little[2];
    qToLittleEndian<quint16>(static_cast<quint16>(value), little);
    bytes.append(little, 2);
}

void appendUint32(QByteArray& bytes, std::uint32_t value) {
    char little[4];
    qToLittleEndian<quint32>(value, little);
    bytes.append(little, 4);
}

QByteArray tag(Tag code, const QByteArray& body) {
    QByteArray bytes;
    if (body.size() < 0x3f) {
        appendUint16(bytes, (static_cast<unsigned>(code) << 6) | static_cast<unsigned>(body.size()));
    } else {
        appendUint16(bytes, (static_cast<unsigned>(code) << 6) | 0x3fu);
        appendUint32(bytes, static_cast<std::uint32_t>(body.size()));
    }
    return bytes + body;
}

QByteArray rectangle(int width, int height) {
    const int right = width * twipsPerPixel;
    const int bottom = height * twipsPerPixel;
    const int bits = std::max(signedBitCount(right), signedBitCount(bottom));
    BitWriter writer;
    writer.unsignedBits(static_cast<std::uint32_t>(bits), 5);
    writer.signedBits(0, bits);
    writer.signedBits(right, bits);
    writer.signedBits(0, bits);
    writer.signedBits(bottom, bits);
    return writer.bytes();
}

QByteArray deflated(const QByteArray& raw, int level) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    QByteArray packed(static_cast<qsizetype>(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(raw.constData()), static_cast<uLong>(raw.size()),
                  level) != Z_OK)
        throw std::runtime_error("A frame of the Flash movie could not be compressed.");
    packed.truncate(static_cast<qsizetype>(size));
    return packed;
}

// 32-bit pixels: a reserved byte, then red, green and blue.
QByteArray trueColourPixels(const QImage& frame) {
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    QByteArray raw;
    raw.reserve(static_cast<qsizetype>(rgb.width()) * rgb.height() * 4);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            raw.append('\0');
            raw.append(static_cast<char>(qRed(row[x])));
            raw.append(static_cast<char>(qGreen(row[x])));
            raw.append(static_cast<char>(qBlue(row[x])));
        }
    }
    return raw;
}

// The colour table (red, green, blue each), then one index per pixel, rows padded to four bytes.
QByteArray indexedPixels(const QImage& frame, int& tableSize) {
    const QImage indexed =
        frame.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const QVector<QRgb> table = indexed.colorTable();
    tableSize = static_cast<int>(table.size());
    QByteArray raw;
    for (QRgb colour : table) {
        raw.append(static_cast<char>(qRed(colour)));
        raw.append(static_cast<char>(qGreen(colour)));
        raw.append(static_cast<char>(qBlue(colour)));
    }
    const int padded = (indexed.width() + 3) / 4 * 4;
    for (int y = 0; y < indexed.height(); ++y) {
        raw.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), indexed.width());
        raw.append(QByteArray(padded - indexed.width(), '\0'));
    }
    return raw;
}

// A rectangle of the frame's size filled with the bitmap, one pixel to twenty twips.
QByteArray shapeShowing(unsigned shapeId, unsigned bitmapId, int width, int height) {
    QByteArray body;
    appendUint16(body, shapeId);
    body += rectangle(width, height);
    body.append('\x01'); // one fill style
    body.append('\x41'); // a clipped bitmap
    appendUint16(body, bitmapId);
    BitWriter matrix;
    const int scale = twipsPerPixel << 16; // 16.16 fixed point
    const int scaleBits = signedBitCount(scale);
    matrix.unsignedBits(1, 1); // has a scale
    matrix.unsignedBits(static_cast<std::uint32_t>(scaleBits), 5);
    matrix.signedBits(scale, scaleBits);
    matrix.signedBits(scale, scaleBits);
    matrix.unsignedBits(0, 1); // no rotation
    matrix.unsignedBits(0, 5); // no translation
    body += matrix.bytes();
    body.append('\0'); // no line styles

    BitWriter records;
    records.unsignedBits(1, 4); // fill style index bits
    records.unsignedBits(0, 4); // line style index bits
    // Move to the origin and fill to the right of the edges, which run clockwise.
    records.unsignedBits(0, 1);
    records.unsignedBits(0b00101, 5);
    records.unsignedBits(1, 5);
    records.signedBits(0, 1);
    records.signedBits(0, 1);
    records.unsignedBits(1, 1);
    const int right = width * twipsPerPixel;
    const int down = height * twipsPerPixel;
    const auto edge = [&records](bool vertical, int delta) {
        const int bits = std::max(2, signedBitCount(delta));
        records.unsignedBits(0b11, 2); // an edge, a straight one
        records.unsignedBits(static_cast<std::uint32_t>(bits - 2), 4);
        records.unsignedBits(0, 1); // along one axis
        records.unsignedBits(vertical ? 1 : 0, 1);
        records.signedBits(delta, bits);
    };
    edge(false, right);
    edge(true, down);
    edge(false, -right);
    edge(true, -down);
    records.unsignedBits(0, 6); // the end of the shape
    return tag(DefineShape, body + records.bytes());
}

QByteArray placement(unsigned shapeId, bool replacing) {
    QByteArray body;
    body.append(static_cast<char>(replacing ? 0x03 : 0x02)); // a character, moved onto the depth
    appendUint16(body, 1);                                   // depth
    appendUint16(body, shapeId);
    return tag(PlaceObject2, body);
}

} // namespace

struct SwfLosslessWriter::Impl {
    SafeFile file;
    QSize size;
    Pixels pixels;
    int compression;
    unsigned frames = 0;
    qint64 frameCountAt = 0;

    Impl(const std::string& path, const QSize& frameSize, Pixels kind, int level)
        : file(path)
        , size(frameSize)
        , pixels(kind)
        , compression(level) {}

    QByteArray bitmap(unsigned id, const QImage& frame) const {
        QByteArray body;
        appendUint16(body, id);
        if (pixels == Pixels::Colours256) {
            int tableSize = 0;
            const QByteArray raw = indexedPixels(frame, tableSize);
            body.append('\x03');
            appendUint16(body, static_cast<unsigned>(size.width()));
            appendUint16(body, static_cast<unsigned>(size.height()));
            body.append(static_cast<char>(std::max(1, tableSize) - 1));
            body += deflated(raw, compression);
        } else {
            body.append('\x05');
            appendUint16(body, static_cast<unsigned>(size.width()));
            appendUint16(body, static_cast<unsigned>(size.height()));
            body += deflated(trueColourPixels(frame), compression);
        }
        return tag(DefineBitsLossless, body);
    }
};

SwfLosslessWriter::SwfLosslessWriter(const std::string& path, const QSize& size, double framesPerSecond,
                                     Pixels pixels, bool smallestFile) {
    if (size.width() < 1 || size.height() < 1 || size.width() > largestSide || size.height() > largestSide)
        throw std::runtime_error("A Flash movie of lossless frames can be at most " +
                                 std::to_string(largestSide) +
                                 " pixels wide and high. Choose a smaller width.");
    const long rate = std::lround(framesPerSecond * 256.0);
    if (rate < 1 || rate > 0xffff)
        throw std::runtime_error("A Flash movie plays at 0.00390625 (1/256) to 255 frames per second. "
                                 "Choose another animation speed.");
    m_impl = std::make_unique<Impl>(path, size, pixels, smallestFile ? Z_BEST_COMPRESSION : Z_BEST_SPEED);

    QByteArray header("FWS");
    header.append('\x06');
    appendUint32(header, 0); // the file's length, known at the end
    header += rectangle(size.width(), size.height());
    appendUint16(header, static_cast<unsigned>(rate));
    m_impl->frameCountAt = header.size();
    appendUint16(header, 0); // the frame count, known at the end
    QByteArray white;
    white.append("\xff\xff\xff", 3);
    m_impl->file.append(header + tag(SetBackgroundColor, white));
}

SwfLosslessWriter::~SwfLosslessWriter() = default;

void SwfLosslessWriter::addFrame(const QImage& frame) {
    Impl& d = *m_impl;
    if (d.frames >= largestFrameCount)
        throw std::runtime_error("A Flash movie holds at most " + std::to_string(largestFrameCount) +
                                 " frames.");
    const unsigned bitmapId = 2 * d.frames + 1;
    const unsigned shapeId = bitmapId + 1;
    d.file.append(d.bitmap(bitmapId, frame) +
                  shapeShowing(shapeId, bitmapId, d.size.width(), d.size.height()) +
                  placement(shapeId, d.frames > 0) + tag(ShowFrame, {}));
    ++d.frames;
}

void SwfLosslessWriter::complete() {
    Impl& d = *m_impl;
    d.file.append(tag(End, {}));
    const qint64 length = d.file.size();
    if (length > 0xffffffffLL)
        throw std::runtime_error("The Flash movie would be larger than the 4 GB the format can describe.");
    QByteArray field;
    appendUint32(field, static_cast<std::uint32_t>(length));
    QByteArray count;
    appendUint16(count, d.frames);
    d.file.overwrite(4, field);
    d.file.overwrite(d.frameCountAt, count);
}

SafeFile& SwfLosslessWriter::file() {
    return m_impl->file;
}

} // namespace qelmar::standin
