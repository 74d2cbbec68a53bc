#include "exportengine/RasterMetafile.h"

#include "exportengine/ExportGeometry.h"
#include "kernel/SafeFile.h"
#include "kernel/SafeFileWrite.h"

#include <QtEndian>

#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace qelmar::standin {

namespace {

quint32 crcOf(const QByteArray& bytes, qsizetype from = 0) {
    return static_cast<quint32>(crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData() + from),
                                      static_cast<uInt>(bytes.size() - from)));
}

void append32(QByteArray& bytes, quint32 value) {
    char little[4];
    qToLittleEndian(value, little);
    bytes.append(little, 4);
}

void appendChecksum(QByteArray& bytes, qsizetype from = 0) {
    append32(bytes, crcOf(bytes, from));
}

QByteArray headerBytes(const QSize& size, double framesPerSecond, quint32 frames, bool tablePerFrame) {
    QByteArray bytes(rasterMetafileMagic, sizeof rasterMetafileMagic);
    append32(bytes, rasterMetafileVersion);
    append32(bytes, static_cast<quint32>(size.width()));
    append32(bytes, static_cast<quint32>(size.height()));
    char rate[8];
    qToLittleEndian(framesPerSecond, rate);
    bytes.append(rate, 8);
    append32(bytes, frames);
    append32(bytes, tablePerFrame ? 1 : 0);
    appendChecksum(bytes);
    return bytes;
}

QByteArray tableBytes(const QVector<QRgb>& table) {
    QByteArray bytes;
    append32(bytes, static_cast<quint32>(table.size()));
    for (const QRgb colour : table)
        append32(bytes, colour);
    appendChecksum(bytes);
    return bytes;
}

QByteArray frameBytes(const QImage& indexed) {
    QByteArray rows;
    rows.reserve(static_cast<qsizetype>(indexed.width()) * indexed.height());
    for (int y = 0; y < indexed.height(); ++y)
        rows.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), indexed.width());
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    QByteArray bytes(4 + static_cast<qsizetype>(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(bytes.data() + 4), &packedSize,
                  reinterpret_cast<const Bytef*>(rows.constData()), static_cast<uLong>(rows.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("A frame of the Raster Metafile could not be compressed.");
    bytes.resize(4 + static_cast<qsizetype>(packedSize));
    qToLittleEndian(static_cast<quint32>(packedSize), bytes.data());
    appendChecksum(bytes);
    return bytes;
}

// Reads the file's parts in order; every failure names the file and what is wrong.
class Reader {
public:
    Reader(const QByteArray& bytes, const std::string& origin)
        : m_bytes(bytes)
        , m_origin(origin) {}

    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error("Cannot read " + m_origin + ": " + why + ".");
    }

    const char* take(qsizetype count, const char* what) {
        if (count < 0 || m_bytes.size() - m_at < count)
            fail("it ends inside " + std::string(what) + " (the file is truncated)");
        const char* data = m_bytes.constData() + m_at;
        m_at += count;
        return data;
    }
    quint32 take32(const char* what) { return qFromLittleEndian<quint32>(take(4, what)); }

    // Checks the CRC that follows the bytes read since `from`.
    void checkSum(qsizetype from, const char* what) {
        const quint32 expected = crcOf(m_bytes.left(m_at), from);
        if (take32(what) != expected)
            fail(std::string(what) + " is damaged (its checksum does not match)");
    }

    qsizetype at() const { return m_at; }

private:
    const QByteArray& m_bytes;
    std::string m_origin;
    qsizetype m_at = 0;
};

QVector<QRgb> readTable(Reader& reader) {
    const qsizetype start = reader.at();
    const quint32 count = reader.take32("a colour table");
    if (count < 1 || count > 256)
        reader.fail("a colour table has " + std::to_string(count) + " colours");
    QVector<QRgb> table;
    for (quint32 i = 0; i < count; ++i)
        table.append(reader.take32("a colour table"));
    reader.checkSum(start, "a colour table");
    return table;
}

QImage readFrame(Reader& reader, const QSize& size, const QVector<QRgb>& table) {
    const qsizetype start = reader.at();
    const quint32 packed = reader.take32("a frame");
    const char* data = reader.take(static_cast<qsizetype>(packed), "a frame");
    reader.checkSum(start, "a frame");
    // No zlib stream unpacks to more than about a thousand times its size; a frame claiming more
    // is refused before memory is set aside for it.
    if (static_cast<double>(packed) * 1032 < static_cast<double>(size.width()) * size.height())
        reader.fail("a frame is too short for " + std::to_string(size.width()) + " x " +
                    std::to_string(size.height()) + " pixels");
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable(table);
    QByteArray rows(static_cast<qsizetype>(size.width()) * size.height(), Qt::Uninitialized);
    uLongf unpacked = static_cast<uLongf>(rows.size());
    if (uncompress(reinterpret_cast<Bytef*>(rows.data()), &unpacked, reinterpret_cast<const Bytef*>(data),
                   packed) != Z_OK ||
        unpacked != static_cast<uLongf>(rows.size()))
        reader.fail("a frame's pixels do not unpack to " + std::to_string(size.width()) + " x " +
                    std::to_string(size.height()));
    for (int y = 0; y < size.height(); ++y) {
        const auto* row =
            reinterpret_cast<const uchar*>(rows.constData()) + static_cast<qsizetype>(y) * size.width();
        for (int x = 0; x < size.width(); ++x)
            if (row[x] >= table.size())
                reader.fail("a frame uses a colour its table does not have");
        std::memcpy(image.scanLine(y), row, static_cast<std::size_t>(size.width()));
    }
    return image;
}

} // namespace

RasterMetafileContents decodeRasterMetafile(const QByteArray& bytes, const std::string& origin,
                                            RasterMetafileFrames frames) {
    Reader reader(bytes, origin);
    if (bytes.size() < 8 || std::memcmp(bytes.constData(), rasterMetafileMagic, 8) != 0)
        reader.fail("it is not a Raster Metafile");
    reader.take(8, "the header");
    if (const quint32 version = reader.take32("the header"); version != rasterMetafileVersion)
        reader.fail("its version " + std::to_string(version) + " is not known");
    const quint32 width = reader.take32("the header");
    const quint32 height = reader.take32("the header");
    RasterMetafileContents contents;
    contents.framesPerSecond = qFromLittleEndian<double>(reader.take(8, "the header"));
    const quint32 frameCount = reader.take32("the header");
    const quint32 tables = reader.take32("the header");
    reader.checkSum(0, "the header");
    if (width < 1 || height < 1 || width > largestImageSide || height > largestImageSide ||
        static_cast<double>(width) * height > largestImagePixels)
        reader.fail("its frames of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels are out of range");
    if (tables > 1)
        reader.fail("its colour table flag is neither 0 nor 1");
    contents.size = QSize(static_cast<int>(width), static_cast<int>(height));
    const bool tablePerFrame = tables == 1;
    QVector<QRgb> table;
    if (!tablePerFrame)
        table = readTable(reader);
    contents.colourTables = tablePerFrame ? static_cast<int>(frameCount) : 1;
    for (quint32 i = 0; i < frameCount; ++i) {
        if (tablePerFrame)
            table = readTable(reader);
        QImage frame = readFrame(reader, contents.size, table);
        if (frames == RasterMetafileFrames::Keep)
            contents.frames.push_back(std::move(frame));
        ++contents.frameCount;
    }
    if (reader.at() != bytes.size())
        reader.fail("it goes on after its last frame");
    return contents;
}

RasterMetafileContents readRasterMetafile(const std::string& path, RasterMetafileFrames frames) {
    return decodeRasterMetafile(readWholeFile(path), path, frames);
}

struct RasterMetafileWriter::Impl {
    SafeFile file;
    QSize size;
    double framesPerSecond = 0;
    bool tablePerFrame = false;
    quint32 frames = 0;
    QVector<QRgb> sharedTable;

    Impl(const std::string& path, const QSize& frameSize, double rate, bool perFrame)
        : file(path)
        , size(frameSize)
        , framesPerSecond(rate)
        , tablePerFrame(perFrame) {}

    QImage indexed(const QImage& frame) {
        const QImage colours = frame.convertToFormat(QImage::Format_RGB32);
        if (tablePerFrame || frames == 0) {
            QImage image = colours.convertToFormat(QImage::Format_Indexed8);
            file.append(tableBytes(image.colorTable()));
            if (!tablePerFrame)
                sharedTable = image.colorTable();
            return image;
        }
        return colours.convertToFormat(QImage::Format_Indexed8, sharedTable);
    }
};

RasterMetafileWriter::RasterMetafileWriter(const std::string& path, const QSize& size, double framesPerSecond,
                                           bool tablePerFrame)
    : m_impl(std::make_unique<Impl>(path, size, framesPerSecond, tablePerFrame)) {
    m_impl->file.append(headerBytes(size, framesPerSecond, 0, tablePerFrame));
}

RasterMetafileWriter::~RasterMetafileWriter() = default;

void RasterMetafileWriter::addFrame(const QImage& frame) {
    Impl& d = *m_impl;
    d.file.append(frameBytes(d.indexed(frame)));
    ++d.frames;
}

void RasterMetafileWriter::complete() {
    Impl& d = *m_impl;
    d.file.overwrite(0, headerBytes(d.size, d.framesPerSecond, d.frames, d.tablePerFrame));
}

SafeFile& RasterMetafileWriter::file() {
    return m_impl->file;
}

} // namespace qelmar::standin
