#include "kernel/DataFileFormat.h"

#include "kernel/FileReading.h"
#include "kernel/SafeFileWrite.h"

#include <QFile>
#include <QString>
#include <QtEndian>

#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace qelmar::standin {

namespace {

class Encoder {
public:
    void raw(const char* data, std::size_t size) { m_bytes.append(data, static_cast<qsizetype>(size)); }
    void uint32(quint32 value) {
        const quint32 little = qToLittleEndian(value);
        raw(reinterpret_cast<const char*>(&little), sizeof little);
    }
    void float64(double value) {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        const quint64 little = qToLittleEndian(bits);
        raw(reinterpret_cast<const char*>(&little), sizeof little);
    }
    void text(const std::string& value) {
        uint32(checkedCount(value.size()));
        raw(value.data(), value.size());
    }
    QByteArray& bytes() { return m_bytes; }

    static quint32 checkedCount(std::size_t count) {
        if (count > std::numeric_limits<quint32>::max())
            throw std::invalid_argument("The data set is too large for a data file.");
        return static_cast<quint32>(count);
    }

private:
    QByteArray m_bytes;
};

class Decoder {
public:
    Decoder(const QByteArray& bytes, std::size_t end, std::string origin)
        : m_bytes(bytes)
        , m_end(end)
        , m_origin(std::move(origin)) {}

    const char* raw(std::size_t size) {
        if (size > m_end - m_position)
            fail("it ends too early (truncated)");
        const char* data = m_bytes.constData() + m_position;
        m_position += size;
        return data;
    }
    quint32 uint32() {
        quint32 value = 0;
        std::memcpy(&value, raw(sizeof value), sizeof value);
        return qFromLittleEndian(value);
    }
    double float64() {
        quint64 bits = 0;
        std::memcpy(&bits, raw(sizeof bits), sizeof bits);
        bits = qFromLittleEndian(bits);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string text() {
        const quint32 size = uint32();
        const char* data = raw(size);
        return std::string(data, size);
    }
    // Checks a count against what is left before anything is allocated for it, so a damaged
    // count cannot ask for gigabytes.
    void expectAtLeast(quint64 count, quint64 bytesEach) {
        if (bytesEach != 0 && count > (m_end - m_position) / bytesEach)
            fail("it ends too early (truncated)");
    }
    bool atEnd() const { return m_position == m_end; }

    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error(m_origin + " is not a readable data file: " + why + ".");
    }

private:
    const QByteArray& m_bytes;
    std::size_t m_position = 0;
    std::size_t m_end;
    std::string m_origin;
};

std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 index = 0; index < table.size(); ++index) {
        quint32 value = index;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1U) ? 0xEDB88320U ^ (value >> 1) : value >> 1;
        table[index] = value;
    }
    return table;
}

std::size_t pointCountOf(const DataValues& values) {
    if (values.values.size() != values.variableNames.size())
        throw std::invalid_argument("The data set has a different number of names and variables.");
    if (values.values.empty())
        return 0;
    const std::size_t points = values.values.front().size();
    for (const auto& variable : values.values) {
        if (variable.size() != points)
            throw std::invalid_argument("The variables of the data set differ in length.");
    }
    return points;
}

} // namespace

unsigned crc32Of(const char* data, std::size_t size) {
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 crc = 0xFFFFFFFFU;
    for (std::size_t index = 0; index < size; ++index)
        crc = table[(crc ^ static_cast<unsigned char>(data[index])) & 0xFFU] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

QByteArray encodeDataFile(const DataValues& values) {
    const std::size_t points = pointCountOf(values);
    Encoder encoder;
    encoder.raw(dataFileMagic, sizeof dataFileMagic);
    encoder.uint32(dataFileVersion);
    encoder.text(values.title);
    encoder.uint32(Encoder::checkedCount(values.variableNames.size()));
    encoder.uint32(Encoder::checkedCount(points));
    for (const auto& name : values.variableNames)
        encoder.text(name);
    for (const auto& variable : values.values) {
        for (const double value : variable)
            encoder.float64(value);
    }
    QByteArray& bytes = encoder.bytes();
    const quint32 crc = crc32Of(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    encoder.uint32(crc);
    return bytes;
}

DataValues decodeDataFile(const QByteArray& bytes, const std::string& origin) {
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    Decoder whole(bytes, size, origin);
    if (size < sizeof dataFileMagic ||
        std::memcmp(bytes.constData(), dataFileMagic, sizeof dataFileMagic) != 0)
        whole.fail("it does not start like a data file");
    if (size < sizeof dataFileMagic + 2 * sizeof(quint32))
        whole.fail("it ends too early (truncated)");

    Decoder decoder(bytes, size - sizeof(quint32), origin);
    decoder.raw(sizeof dataFileMagic);
    const quint32 version = decoder.uint32();
    if (version != dataFileVersion)
        decoder.fail("its version " + std::to_string(version) + " is not supported");

    quint32 storedCrc = 0;
    std::memcpy(&storedCrc, bytes.constData() + size - sizeof storedCrc, sizeof storedCrc);
    if (qFromLittleEndian(storedCrc) != crc32Of(bytes.constData(), size - sizeof storedCrc))
        decoder.fail("its checksum does not match (truncated or damaged)");

    DataValues values;
    values.title = decoder.text();
    const quint32 variables = decoder.uint32();
    const quint32 points = decoder.uint32();
    decoder.expectAtLeast(variables, sizeof(quint32));
    for (quint32 variable = 0; variable < variables; ++variable)
        values.variableNames.push_back(decoder.text());
    decoder.expectAtLeast(static_cast<quint64>(variables) * points, sizeof(double));
    values.values.resize(variables);
    for (auto& variable : values.values) {
        variable.reserve(points);
        for (quint32 point = 0; point < points; ++point)
            variable.push_back(decoder.float64());
    }
    if (!decoder.atEnd())
        decoder.fail("it has unexpected bytes after the values");
    return values;
}

bool writeDataFile(const std::string& path, const DataValues& values, std::string& error) {
    QByteArray bytes;
    try {
        bytes = encodeDataFile(values);
    } catch (const std::invalid_argument& invalid) {
        error = "Cannot write " + path + ": " + invalid.what();
        return false;
    }
    return writeFileSafely(path, bytes, error);
}

DataValues readDataFile(const std::string& path) {
    return readFile(path, [&path](const QByteArray& bytes) { return decodeDataFile(bytes, path); });
}

} // namespace qelmar::standin
