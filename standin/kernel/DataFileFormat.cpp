#include "kernel/DataFileFormat.h"

#include "kernel/FileReading.h"
#include "kernel/SafeFileWrite.h"

#include <QFile>
#include <QString>
#include <QtEndian>

#include <algorithm>
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
    void expectAtLeast(const char* what, quint64 count, quint64 bytesEach, quint64 declared) {
        if (bytesEach != 0 && count > (m_end - m_position) / bytesEach)
            fail("it declares " + std::to_string(declared) + " " + what + ", more than its remaining " +
                 std::to_string(m_end - m_position) + " bytes can hold (truncated or damaged)");
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

constexpr std::size_t largestRank = 3;

void checkDimensions(const std::vector<std::size_t>& dimensions, std::size_t points) {
    if (dimensions.empty())
        return;
    if (dimensions.size() > largestRank)
        throw std::invalid_argument("An ordered zone has at most three dimensions.");
    std::size_t product = 1;
    bool overflows = false;
    for (const std::size_t dimension : dimensions) {
        overflows =
            overflows || (dimension != 0 && product > std::numeric_limits<std::size_t>::max() / dimension);
        product *= dimension;
    }
    if (overflows || product != points)
        throw std::invalid_argument("The dimensions of an ordered zone do not match its points.");
}

void checkShape(const DataFileContents& contents) {
    if (contents.zones.empty() || contents.zones.front().empty())
        throw std::invalid_argument("The data set has no zone or no time step to write.");
    const std::size_t steps = contents.zones.front().size();
    const auto& names = contents.first().variableNames;
    for (const auto& zone : contents.zones) {
        if (zone.size() != steps)
            throw std::invalid_argument("The zones of the data set differ in their number of time steps.");
        for (const DataValues& block : zone) {
            if (block.variableNames != names)
                throw std::invalid_argument("The zones and time steps of the data set differ in their "
                                            "variables.");
        }
    }
}

void encodeBlock(Encoder& encoder, const DataValues& block) {
    const std::size_t points = pointCountOf(block);
    checkDimensions(block.dimensions, points);
    encoder.text(block.title);
    encoder.uint32(Encoder::checkedCount(block.dimensions.size()));
    for (const std::size_t dimension : block.dimensions)
        encoder.uint32(Encoder::checkedCount(dimension));
    encoder.uint32(Encoder::checkedCount(points));
    for (const auto& variable : block.values) {
        for (const double value : variable)
            encoder.float64(value);
    }
}

// The smallest block: an empty title, no dimensions and no points.
constexpr quint64 smallestBlock = 3 * sizeof(quint32);

std::vector<double> decodeVariable(Decoder& decoder, quint32 points) {
    std::vector<double> variable;
    variable.reserve(points);
    for (quint32 point = 0; point < points; ++point)
        variable.push_back(decoder.float64());
    return variable;
}

DataValues decodeBlock(Decoder& decoder, const std::vector<std::string>& names) {
    DataValues block;
    block.title = decoder.text();
    const quint32 rank = decoder.uint32();
    if (rank > largestRank)
        decoder.fail("a zone declares " + std::to_string(rank) + " dimensions, more than three");
    quint64 product = 1;
    for (quint32 axis = 0; axis < rank; ++axis) {
        const quint32 dimension = decoder.uint32();
        block.dimensions.push_back(dimension);
        // Capped so that it cannot overflow; a capped product never equals a 32-bit count.
        product = std::min<quint64>(product, quint64{1} << 32) * dimension;
    }
    const quint32 points = decoder.uint32();
    decoder.expectAtLeast("points", static_cast<quint64>(names.size()) * points, sizeof(double), points);
    if (rank != 0 && product != points)
        decoder.fail("the dimensions of a zone do not multiply to its " + std::to_string(points) + " points");
    block.variableNames = names;
    block.values.reserve(names.size());
    for (std::size_t variable = 0; variable < names.size(); ++variable)
        block.values.push_back(decodeVariable(decoder, points));
    return block;
}

std::vector<std::string> decodeNames(Decoder& decoder, quint32 variables) {
    decoder.expectAtLeast("variables", variables, sizeof(quint32), variables);
    std::vector<std::string> names;
    names.reserve(variables);
    for (quint32 variable = 0; variable < variables; ++variable)
        names.push_back(decoder.text());
    return names;
}

DataFileContents decodeVersion1(Decoder& decoder) {
    DataValues values;
    values.title = decoder.text();
    const quint32 variables = decoder.uint32();
    const quint32 points = decoder.uint32();
    values.variableNames = decodeNames(decoder, variables);
    decoder.expectAtLeast("points", static_cast<quint64>(variables) * points, sizeof(double), points);
    for (quint32 variable = 0; variable < variables; ++variable)
        values.values.push_back(decodeVariable(decoder, points));
    DataFileContents contents;
    contents.zones.push_back({std::move(values)});
    return contents;
}

DataFileContents decodeVersion2(Decoder& decoder) {
    const std::vector<std::string> names = decodeNames(decoder, decoder.uint32());
    const quint32 zones = decoder.uint32();
    const quint32 steps = decoder.uint32();
    if (zones == 0 || steps == 0)
        decoder.fail("it declares no zone or no time step");
    decoder.expectAtLeast("zones and time steps", static_cast<quint64>(zones) * steps, smallestBlock,
                          static_cast<quint64>(zones) * steps);
    DataFileContents contents;
    contents.zones.resize(zones);
    for (auto& zone : contents.zones) {
        zone.reserve(steps);
        for (quint32 step = 0; step < steps; ++step)
            zone.push_back(decodeBlock(decoder, names));
    }
    return contents;
}

} // namespace

unsigned crc32Of(const char* data, std::size_t size) {
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 crc = 0xFFFFFFFFU;
    for (std::size_t index = 0; index < size; ++index)
        crc = table[(crc ^ static_cast<unsigned char>(data[index])) & 0xFFU] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

QByteArray encodeDataFile(const DataFileContents& contents) {
    checkShape(contents);
    Encoder encoder;
    encoder.raw(dataFileMagic, sizeof dataFileMagic);
    encoder.uint32(dataFileVersion);
    const auto& names = contents.first().variableNames;
    encoder.uint32(Encoder::checkedCount(names.size()));
    for (const auto& name : names)
        encoder.text(name);
    encoder.uint32(Encoder::checkedCount(contents.zones.size()));
    encoder.uint32(Encoder::checkedCount(contents.zones.front().size()));
    for (const auto& zone : contents.zones) {
        for (const DataValues& block : zone)
            encodeBlock(encoder, block);
    }
    QByteArray& bytes = encoder.bytes();
    const quint32 crc = crc32Of(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    encoder.uint32(crc);
    return bytes;
}

QByteArray encodeDataFile(const DataValues& values) {
    DataFileContents contents;
    contents.zones.push_back({values});
    return encodeDataFile(contents);
}

DataFileContents decodeDataFile(const QByteArray& bytes, const std::string& origin) {
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
    if (version != 1 && version != dataFileVersion)
        decoder.fail("its version " + std::to_string(version) + " is not supported");

    quint32 storedCrc = 0;
    std::memcpy(&storedCrc, bytes.constData() + size - sizeof storedCrc, sizeof storedCrc);
    if (qFromLittleEndian(storedCrc) != crc32Of(bytes.constData(), size - sizeof storedCrc))
        decoder.fail("its checksum does not match (truncated or damaged)");

    DataFileContents contents = version == 1 ? decodeVersion1(decoder) : decodeVersion2(decoder);
    if (!decoder.atEnd())
        decoder.fail("it has unexpected bytes after the values");
    return contents;
}

void writeDataFile(const std::string& path, const DataFileContents& contents) {
    writeEncodedFile(path, [&contents] { return encodeDataFile(contents); });
}

void writeDataFile(const std::string& path, const DataValues& values) {
    DataFileContents contents;
    contents.zones.push_back({values});
    writeDataFile(path, contents);
}

DataFileContents readDataFile(const std::string& path) {
    return readFile(path, [&path](const QByteArray& bytes) { return decodeDataFile(bytes, path); });
}

} // namespace qelmar::standin
