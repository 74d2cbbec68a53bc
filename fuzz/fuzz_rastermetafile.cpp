// Feeds arbitrary bytes to the Raster Metafile reader, once as they are and once with the header's
// checksum made to match, so that damage behind a good header is reached too. A refusal is a
// std::runtime_error; anything else escaping, a crash or a sanitizer report is a fault.
#include "exportengine/RasterMetafile.h"

#include <QtEndian>

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

constexpr qsizetype headerBytes = 36;

void decode(const QByteArray& bytes) {
    try {
        qelmar::standin::decodeRasterMetafile(bytes, "input.rm");
    } catch (const std::runtime_error&) {
    }
}

QByteArray withMatchingHeaderChecksum(QByteArray bytes) {
    if (bytes.size() < headerBytes + 4)
        return bytes;
    const auto checksum = crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), headerBytes);
    qToLittleEndian<quint32>(static_cast<quint32>(checksum), bytes.data() + headerBytes);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    decode(bytes);
    decode(withMatchingHeaderChecksum(bytes));
    return 0;
}
