#include "framework/dataload/DelimitedText.h"

#include <QFile>
#include <QFileInfo>

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace qelmar::standin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(const char* begin, const char* end) {
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    if (end - begin >= 2 && *begin == '"' && end[-1] == '"') {
        ++begin;
        --end;
    }
    return {begin, static_cast<std::size_t>(end - begin)};
}

char separatorOf(std::string_view header) {
    for (char candidate : {'\t', ';', ','}) {
        if (header.find(candidate) != std::string_view::npos)
            return candidate;
    }
    return ' ';
}

// Walks the fields of one line without copying them.
class FieldCursor {
public:
    FieldCursor(const char* begin, const char* end, char separator)
        : m_position(begin)
        , m_end(end)
        , m_separator(separator) {}

    bool next(std::string_view& field) {
        if (m_separator == ' ')
            return nextBlankSeparated(field);
        if (m_done)
            return false;
        const auto* found =
            static_cast<const char*>(std::memchr(m_position, m_separator, m_end - m_position));
        const char* fieldEnd = found ? found : m_end;
        field = trimmed(m_position, fieldEnd);
        m_done = !found;
        m_position = found ? found + 1 : m_end;
        return true;
    }

private:
    bool nextBlankSeparated(std::string_view& field) {
        while (m_position < m_end && isBlank(*m_position))
            ++m_position;
        if (m_position == m_end)
            return false;
        const char* start = m_position;
        while (m_position < m_end && !isBlank(*m_position))
            ++m_position;
        field = trimmed(start, m_position);
        return true;
    }

    const char* m_position;
    const char* m_end;
    char m_separator;
    bool m_done = false;
};

class TableParser {
public:
    TableParser(const char* begin, const char* end, const DelimitedTextOptions& options, std::string fileName)
        : m_position(begin)
        , m_end(end)
        , m_options(options)
        , m_fileName(std::move(fileName)) {
        if (m_end - m_position >= 3 && std::memcmp(m_position, "\xEF\xBB\xBF", 3) == 0)
            m_position += 3;
    }

    DataValues parse() {
        for (int line = 0; line < m_options.linesToSkip && m_position < m_end; ++line)
            nextLine();
        std::string_view header;
        while (m_position < m_end && trimmed(header.data(), header.data() + header.size()).empty())
            header = nextLine();
        if (trimmed(header.data(), header.data() + header.size()).empty())
            fail(": no header row.");
        const char separator = m_options.separator ? m_options.separator : separatorOf(header);
        if (separator == m_options.decimalSeparator)
            fail(": the separator and the decimal separator are the same character.");
        DataValues table = tableWithHeader(header, separator);
        readRows(table, separator);
        if (table.values.front().empty())
            fail(": no data rows below the header row.");
        return table;
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throw std::runtime_error(m_fileName + what); }
    [[noreturn]] void failAtLine(const std::string& what) const {
        fail(" line " + std::to_string(m_line) + what);
    }

    std::string_view nextLine() {
        const auto* newline = static_cast<const char*>(std::memchr(m_position, '\n', m_end - m_position));
        const char* lineEnd = newline ? newline : m_end;
        const std::string_view line(m_position, static_cast<std::size_t>(lineEnd - m_position));
        m_position = newline ? newline + 1 : m_end;
        ++m_line;
        return line;
    }

    bool parsesAsNumber(std::string_view field) const {
        double value = 0;
        return !field.empty() && number(field, value);
    }

    bool number(std::string_view field, double& value) const {
        const char* begin = field.data();
        const char* end = begin + field.size();
        if (begin < end && *begin == '+')
            ++begin;
        const auto result = fast_float::from_chars_advanced(
            begin, end, value,
            fast_float::parse_options(fast_float::chars_format::general, m_options.decimalSeparator));
        return result.ec == std::errc() && result.ptr == end;
    }

    DataValues tableWithHeader(std::string_view header, char separator) {
        DataValues table;
        table.title = QFileInfo(QString::fromStdString(m_fileName)).completeBaseName().toStdString();
        FieldCursor fields(header.data(), header.data() + header.size(), separator);
        bool allNumbers = true;
        for (std::string_view name; fields.next(name);) {
            allNumbers = allNumbers && parsesAsNumber(name);
            table.variableNames.emplace_back(
                name.empty() ? "V" + std::to_string(table.variableNames.size() + 1) : std::string(name));
        }
        if (allNumbers)
            fail(": no header row (the first row holds numbers, not variable names).");
        table.values.resize(table.variableNames.size());
        const auto rows = static_cast<std::size_t>(std::count(m_position, m_end, '\n')) + 1;
        for (auto& column : table.values)
            column.reserve(rows);
        return table;
    }

    void readRows(DataValues& table, char separator) {
        const std::size_t columns = table.values.size();
        while (m_position < m_end) {
            const std::string_view line = nextLine();
            if (trimmed(line.data(), line.data() + line.size()).empty())
                continue;
            FieldCursor fields(line.data(), line.data() + line.size(), separator);
            std::size_t column = 0;
            for (std::string_view field; fields.next(field); ++column) {
                if (column == columns)
                    failAtLine(": long row, more than the " + std::to_string(columns) +
                               " fields the header names.");
                double value = std::numeric_limits<double>::quiet_NaN();
                if (!field.empty() && !number(field, value))
                    failAtLine(", field " + std::to_string(column + 1) + ": \"" + std::string(field) +
                               "\" is not a number.");
                table.values[column].push_back(value);
            }
            if (column < columns)
                failAtLine(": short row, " + std::to_string(column) + " of the " + std::to_string(columns) +
                           " fields the header names.");
        }
    }

    const char* m_position;
    const char* m_end;
    DelimitedTextOptions m_options;
    std::string m_fileName;
    int m_line = 0;
};

} // namespace

DataValues parseDelimitedText(const char* begin, const char* end, const DelimitedTextOptions& options,
                              const std::string& fileName) {
    return TableParser(begin, end, options, fileName).parse();
}

DataValues readDelimitedText(const std::string& path, const DelimitedTextOptions& options) {
    QFile file(QString::fromStdString(path));
    const std::string fileName = QFileInfo(file).fileName().toStdString();
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot read " + path + ": " + file.errorString().toStdString());
    if (file.size() == 0)
        return parseDelimitedText(nullptr, nullptr, options, fileName);
    // Mapped rather than read: the parse runs over the file's pages in place.
    if (const uchar* mapped = file.map(0, file.size())) {
        const auto* begin = reinterpret_cast<const char*>(mapped);
        return parseDelimitedText(begin, begin + file.size(), options, fileName);
    }
    const QByteArray bytes = file.readAll();
    return parseDelimitedText(bytes.constData(), bytes.constData() + bytes.size(), options, fileName);
}

} // namespace qelmar::standin
