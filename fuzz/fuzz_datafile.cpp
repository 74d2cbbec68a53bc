// Feeds arbitrary bytes to the binary data file reader, once as they are and once with the
// checksum at their end made to match, so that damage behind a good checksum is reached too.
// A refusal is a std::runtime_error; anything else escaping, a crash or a sanitizer report is a
// fault.
#include "kernel/DataFileFormat.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

void decode(const QByteArray& bytes) {
    try {
        qelmar::standin::decodeDataFile(bytes, "input.plt");
    } catch (const std::runtime_error&) {
    }
}

QByteArray withMatchingChecksum(QByteArray bytes) {
    constexpr qsizetype checksumSize = 4;
    if (bytes.size() < checksumSize)
        return bytes;
    const std::size_t covered = static_cast<std::size_t>(bytes.size() - checksumSize);
    qToLittleEndian<quint32>(qelmar::standin::crc32Of(bytes.constData(), covered), bytes.data() + covered);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    decode(bytes);
    decode(withMatchingChecksum(bytes));
    return 0;
}
