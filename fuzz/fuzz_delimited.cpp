// Feeds arbitrary bytes to the delimited-text reader twice: in one piece, and through a device
// whose reads return a few bytes at a time, so that lines, line ends and byte order marks are cut
// at every place. The first byte chooses the options. Both must agree exactly, on the table or on
// the message; a crash, a sanitizer report, a table with columns of different lengths or a
// disagreement is a fault.
#include "loaders/DelimitedText.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using qelmar::standin::DelimitedTextHeader;
using qelmar::standin::DelimitedTextOptions;
using qelmar::standin::ZoneValues;

// Reads of at most `step` bytes, as a slow pipe or a network file system may give them.
class TricklingBuffer : public QBuffer {
public:
    TricklingBuffer(QByteArray* bytes, qint64 step)
        : QBuffer(bytes)
        , m_step(step) {}

protected:
    qint64 readData(char* data, qint64 size) override {
        return QBuffer::readData(data, std::min(size, m_step));
    }

private:
    qint64 m_step;
};

DelimitedTextOptions optionsFrom(std::uint8_t choice) {
    DelimitedTextOptions options;
    static constexpr char separators[] = {0, ',', ';', '\t', ' ', 0, 0, 0};
    options.separator = separators[choice & 7];
    options.decimalSeparator = (choice & 8) && options.separator != ',' ? ',' : '.';
    options.header = static_cast<DelimitedTextHeader>(((choice >> 4) & 3) % 3);
    options.commentMarker = (choice & 64) ? '#' : 0;
    options.linesToSkip = (choice & 128) ? 1 : 0;
    return options;
}

// The outcome as text: the message, or the names and every value's bits.
template <typename Read> std::string outcomeOf(Read read) {
    ZoneValues table;
    try {
        table = read();
    } catch (const std::runtime_error& failure) {
        return std::string("error: ") + failure.what();
    }
    if (table.variableNames.size() != table.values.size() || table.values.empty())
        std::abort();
    std::string outcome;
    for (std::size_t column = 0; column < table.values.size(); ++column) {
        if (table.values[column].size() != table.values.front().size())
            std::abort();
        outcome += table.variableNames[column] + '\n';
        outcome.append(reinterpret_cast<const char*>(table.values[column].data()),
                       table.values[column].size() * sizeof(double));
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const DelimitedTextOptions options = optionsFrom(data[0]);
    const qint64 step = 1 + data[1] % 16;
    const auto* text = reinterpret_cast<const char*>(data + 2);
    const std::size_t length = size - 2;

    const std::string whole = outcomeOf(
        [&] { return qelmar::standin::parseDelimitedText(text, text + length, options, "fuzz.csv"); });
    QByteArray bytes(text, static_cast<qsizetype>(length));
    TricklingBuffer device(&bytes, step);
    device.open(QIODevice::ReadOnly);
    const std::string trickled =
        outcomeOf([&] { return qelmar::standin::readDelimitedText(device, options, "fuzz.csv"); });
    if (whole != trickled)
        std::abort();
    return 0;
}
