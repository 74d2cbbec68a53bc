#include "loaders/DelimitedText.h"
#include "loaders/LoaderSupport.h"

#include "loaders/DataFileChecks.h"

#include <QFile>
#include <QFileInfo>

#include <csv.h>
#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <stdexcept>
#include <string_view>

namespace qelmar::standin {

namespace {

constexpr double missingValue = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t readChunkBytes = 1 << 20;
constexpr std::size_t textSniffBytes = 64;
// A message quotes no more of a bad field than this: a 20 MB field would bury the reason.
constexpr std::size_t quotedFieldLimit = 40;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

std::string shortened(std::string_view field) {
    if (field.size() <= quotedFieldLimit)
        return std::string(field);
    std::size_t cut = quotedFieldLimit;
    // Never cut a UTF-8 character in two.
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(field.substr(0, cut)) + "...";
}

// Tab, semicolon or comma outside quoted names, in that order of preference; blanks otherwise.
char detectSeparator(std::string_view line) {
    bool quoted = false;
    bool tab = false, semicolon = false, comma = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted) {
            tab = tab || c == '\t';
            semicolon = semicolon || c == ';';
            comma = comma || c == ',';
        }
    }
    return tab ? '\t' : semicolon ? ';' : comma ? ',' : ' ';
}

bool startsAsUtf16(std::string_view head) {
    if (head.size() >= 2 && (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF"))
        return true;
    // Without a byte order mark, text in the ASCII range has a NUL in every other byte.
    const std::size_t pairs = std::min(head.size(), textSniffBytes) / 2;
    std::size_t evenNuls = 0, oddNuls = 0;
    for (std::size_t pair = 0; pair < pairs; ++pair) {
        evenNuls += head[2 * pair] == '\0';
        oddNuls += head[2 * pair + 1] == '\0';
    }
    return pairs > 0 && (evenNuls == 0) != (oddNuls == 0) && std::max(evenNuls, oddNuls) * 2 > pairs;
}

// Past the end of the line starting at `begin` (CR, LF or CR LF), or null when the line may go
// on in the next chunk, including a CR that may be followed by an LF.
const char* lineEndOf(const char* begin, const char* end) {
    const auto* lf =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
    const char* searchEnd = lf ? lf : end;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(searchEnd - begin)));
    if (cr) {
        if (cr + 1 == end)
            return nullptr;
        return cr + 1 == lf ? lf + 1 : cr + 1;
    }
    return lf ? lf + 1 : nullptr;
}

class CsvParser {
public:
    explicit CsvParser(unsigned char options) {
        if (csv_init(&m_parser, options) != 0)
            throw std::bad_alloc();
        // libcsv grows its field buffer by this much at a time, 128 bytes by default: a field of
        // megabytes (a damaged or binary file) then costs a reallocation, and where realloc copies,
        // a copy, per 128 bytes, quadratic in the field's length.
        csv_set_blk_size(&m_parser, 1 << 20);
    }
    ~CsvParser() { csv_free(&m_parser); }
    CsvParser(const CsvParser&) = delete;
    CsvParser& operator=(const CsvParser&) = delete;

    csv_parser* get() { return &m_parser; }

private:
    csv_parser m_parser{};
};

// Splits what it is fed into physical lines, leaves out skipped, blank and comment lines
// between rows, and hands the rest to libcsv, whose fields become the table's values.
class TableReader {
public:
    TableReader(const DelimitedTextOptions& options, const std::string& fileName)
        : m_options(options)
        , m_fileName(fileName)
        , m_csv(0) {
        m_table.title = QFileInfo(QString::fromStdString(fileName)).completeBaseName().toStdString();
    }

    void feed(const char* begin, const char* end) {
        if (m_started)
            return takeChunk(begin, end);
        // The encoding is told from the first bytes, however small the first reads are.
        m_head.append(begin, end);
        if (m_head.size() >= textSniffBytes)
            takeHead();
    }

    ZoneValues finish() {
        if (!m_started)
            takeHead();
        if (!m_pending.empty()) {
            const std::string last = std::move(m_pending);
            takeLine(last.data(), last.data() + last.size());
        }
        if (!m_firstRowText.empty())
            releaseFirstRow();
        // Forgiving while parsing (a quote inside a name is kept as it is), strict at the end only,
        // where libcsv then tells a quoted field that never closed.
        csv_set_opts(m_csv.get(), CSV_STRICT | CSV_STRICT_FINI);
        if (csv_fini(m_csv.get(), onField, onRowEnd, this) != 0)
            fail(atLine(m_rowLine) + ": a quoted field never ends; its closing quote is missing.");
        rethrowFailure();
        if (!m_headerDecided)
            fail(": the file holds no table.");
        if (m_table.values.front().empty())
            fail(": no data rows below the header row.");
        return std::move(m_table);
    }

private:
    void takeHead() {
        m_started = true;
        const std::string head = std::move(m_head);
        m_head.clear();
        const char* end = head.data() + head.size();
        takeChunk(startOfText(head.data(), end), end);
    }

    void takeChunk(const char* begin, const char* end) {
        if (!m_pending.empty() && begin < end)
            begin = completePendingLine(begin, end);
        while (begin < end) {
            const char* lineEnd = lineEndOf(begin, end);
            if (!lineEnd) {
                m_pending.assign(begin, end);
                return;
            }
            takeLine(begin, lineEnd);
            begin = lineEnd;
        }
    }

    const char* startOfText(const char* begin, const char* end) {
        const std::string_view head(begin, static_cast<std::size_t>(end - begin));
        if (startsAsUtf16(head))
            throw std::runtime_error(m_fileName + " is UTF-16 text; save it as UTF-8 and load it again.");
        return head.substr(0, 3) == "\xEF\xBB\xBF" ? begin + 3 : begin;
    }

    const char* completePendingLine(const char* begin, const char* end) {
        if (m_pending.back() == '\r') {
            if (*begin == '\n')
                m_pending += *begin++;
        } else {
            const char* lineEnd = lineEndOf(begin, end);
            if (!lineEnd) {
                m_pending.append(begin, end);
                return end;
            }
            m_pending.append(begin, lineEnd);
            begin = lineEnd;
        }
        const std::string line = std::move(m_pending);
        m_pending.clear();
        takeLine(line.data(), line.data() + line.size());
        return begin;
    }

    void takeLine(const char* begin, const char* end) {
        ++m_line;
        if (m_line <= m_options.linesToSkip)
            return;
        if (m_atRowStart) {
            // A tab that separates fields makes a row of missing values, not a blank line.
            const char* first = begin;
            while (first < end && isBlank(*first) && !(*first == '\t' && m_separator == '\t'))
                ++first;
            if (first == end || isLineEnd(*first))
                return;
            if (m_options.commentMarker && *first == m_options.commentMarker)
                return;
            m_rowLine = m_line;
            m_atRowStart = false;
        }
        if (!m_separator)
            return holdFirstRowLine(begin, end);
        parse(begin, end);
    }

    // The separator is told from the whole first row, which quoted line ends may spread over
    // several lines.
    void holdFirstRowLine(const char* begin, const char* end) {
        m_firstRowText.append(begin, end);
        if (std::count(m_firstRowText.begin(), m_firstRowText.end(), '"') % 2 == 0)
            releaseFirstRow();
    }

    void releaseFirstRow() {
        const std::string row = std::move(m_firstRowText);
        m_firstRowText.clear();
        chooseSeparator(row);
        parse(row.data(), row.data() + row.size());
    }

    void chooseSeparator(std::string_view firstRow) {
        m_separator = m_options.separator ? m_options.separator : detectSeparator(firstRow);
        if (m_separator == m_options.decimalSeparator)
            fail(": the separator and the decimal separator are the same character.");
        m_blankSeparated = m_separator == ' ';
        csv_set_delim(m_csv.get(), static_cast<unsigned char>(m_separator));
    }

    void parse(const char* begin, const char* end) {
        static constexpr char blank = ' ';
        if (!m_blankSeparated)
            return parseBytes(begin, end);
        // libcsv takes one delimiter character while blank-separated columns are split by runs of
        // blanks and tabs: tabs go in as blanks, and the empty fields between blanks are dropped.
        while (const auto* tab = static_cast<const char*>(
                   std::memchr(begin, '\t', static_cast<std::size_t>(end - begin)))) {
            parseBytes(begin, tab);
            parseBytes(&blank, &blank + 1);
            begin = tab + 1;
        }
        parseBytes(begin, end);
    }

    void parseBytes(const char* begin, const char* end) {
        const auto size = static_cast<std::size_t>(end - begin);
        if (csv_parse(m_csv.get(), begin, size, onField, onRowEnd, this) != size)
            throw std::bad_alloc(); // libcsv stops only when its field buffer cannot grow
        rethrowFailure();
    }

    // libcsv is C: nothing may be thrown through it, so the callbacks keep what went wrong and
    // ignore the rest of the line until the parse returns.
    static void onField(void* data, std::size_t size, void* self) {
        auto& reader = *static_cast<TableReader*>(self);
        if (reader.m_failure)
            return;
        try {
            reader.field(std::string_view(static_cast<const char*>(data), size));
        } catch (...) {
            reader.m_failure = std::current_exception();
        }
    }

    static void onRowEnd(int, void* self) {
        auto& reader = *static_cast<TableReader*>(self);
        reader.m_atRowStart = true;
        if (reader.m_failure)
            return;
        try {
            reader.rowEnd();
        } catch (...) {
            reader.m_failure = std::current_exception();
        }
    }

    void rethrowFailure() {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

    void field(std::string_view text) {
        if (m_blankSeparated && text.empty())
            return;
        if (!m_headerDecided) {
            m_firstRow.emplace_back(text);
            return;
        }
        if (m_field == m_table.values.size())
            fail(atLine(m_line) + ": long row, more than the " + std::to_string(m_table.values.size()) +
                 " fields of the first row.");
        m_table.values[m_field].push_back(number(text));
        ++m_field;
    }

    void rowEnd() {
        if (!m_headerDecided)
            return takeFirstRow();
        if (m_field > 0 && m_field < m_table.values.size())
            fail(atLine(m_line) + ": short row, " + std::to_string(m_field) +
                 " fields where the first row has " + std::to_string(m_table.values.size()) + ".");
        m_field = 0;
    }

    void takeFirstRow() {
        if (m_firstRow.empty())
            return; // blanks only
        m_headerDecided = true;
        const std::vector<std::string> firstRow = std::move(m_firstRow);
        m_table.values.resize(firstRow.size());
        const bool holdsData =
            m_options.header == DelimitedTextHeader::None ||
            (m_options.header == DelimitedTextHeader::Detect && holdsOnlyNumbers(firstRow));
        for (std::size_t column = 0; column < firstRow.size(); ++column) {
            const std::string& name = firstRow[column];
            m_table.variableNames.push_back(holdsData || name.empty() ? "V" + std::to_string(column + 1)
                                                                      : name);
        }
        if (holdsData) {
            for (const std::string& text : firstRow)
                field(text);
            m_field = 0;
        }
    }

    // A first row of numbers is data: a bare matrix of numbers is what people save without
    // names, and a header row of nothing but numbers (years, say) is rare enough to be chosen in
    // the options. Missing values count as numbers, but at least one real number must be there.
    bool holdsOnlyNumbers(const std::vector<std::string>& row) const {
        bool anyNumber = false;
        for (const std::string& text : row) {
            double value = 0;
            if (isMissing(text))
                continue;
            if (!parsesAsNumber(text, value))
                return false;
            anyNumber = true;
        }
        return anyNumber;
    }

    bool isMissing(std::string_view text) const {
        if (text.empty())
            return true;
        for (const std::string& token : m_options.missingValues) {
            if (text.size() == token.size() && text == token)
                return true;
        }
        return false;
    }

    bool parsesAsNumber(std::string_view text, double& value) const {
        const char* begin = text.data();
        const char* end = begin + text.size();
        // from_chars takes no plus sign; one is skipped, but never one before another sign.
        if (end - begin > 1 && *begin == '+' && begin[1] != '-' && begin[1] != '+')
            ++begin;
        const auto result = fast_float::from_chars_advanced(
            begin, end, value,
            fast_float::parse_options(fast_float::chars_format::general, m_options.decimalSeparator));
        return result.ptr == end && begin < end &&
               (result.ec == std::errc() || result.ec == std::errc::result_out_of_range);
    }

    double number(std::string_view text) {
        // libcsv trims the blanks around a field but keeps those inside quotes.
        while (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isBlank(text.back()))
            text.remove_suffix(1);
        // Before the number: a token such as -999 is a number too.
        if (isMissing(text))
            return missingValue;
        double value = 0;
        if (!parsesAsNumber(text, value))
            failAtField("\"" + shortened(text) + "\" is not a number.");
        if (std::isinf(value) && !writesInfinity(text))
            failAtField(shortened(text) + " is too large for a number (the largest is about 1.8e308).");
        // A nonzero value read as 0 would change what the data says (a ratio, a logarithm, a
        // test for zero), so it is refused like a too large one rather than rounded away;
        // values down to about 4.9e-324 load, with less precision below 2.2e-308.
        if (value == 0 && hasNonZeroDigit(text))
            failAtField(shortened(text) +
                        " is too small for a number (the smallest above 0 is about 4.9e-324).");
        return value;
    }

    static bool writesInfinity(std::string_view text) {
        const std::size_t first = text.find_first_not_of("+-");
        return first != std::string_view::npos && (text[first] == 'i' || text[first] == 'I');
    }

    bool hasNonZeroDigit(std::string_view text) const {
        for (const char c : text) {
            if (c == 'e' || c == 'E')
                return false;
            if (c >= '1' && c <= '9')
                return true;
        }
        return false;
    }

    std::string atLine(int line) const { return ", line " + std::to_string(line); }

    [[noreturn]] void failAtField(const std::string& what) const {
        fail(atLine(m_line) + ", column " + std::to_string(m_field + 1) + ": " + what);
    }

    [[noreturn]] void fail(const std::string& what) const { throw std::runtime_error(m_fileName + what); }

    const DelimitedTextOptions m_options;
    const std::string m_fileName;
    CsvParser m_csv;
    ZoneValues m_table;
    std::string m_head;    // the first bytes, until there are enough to tell the encoding
    std::string m_pending; // the start of a line the next chunk goes on with
    std::string m_firstRowText;
    std::vector<std::string> m_firstRow;
    std::exception_ptr m_failure;
    std::size_t m_field = 0;
    int m_line = 0;
    int m_rowLine = 0;
    char m_separator = 0;
    bool m_blankSeparated = false;
    bool m_started = false;
    bool m_atRowStart = true;
    bool m_headerDecided = false;
};

} // namespace

ZoneValues parseDelimitedText(const char* begin, const char* end, const DelimitedTextOptions& options,
                              const std::string& fileName) {
    TableReader reader(options, fileName);
    reader.feed(begin, end);
    return reader.finish();
}

// Read in chunks, never mapped: a file cut short while it is read (a log being rotated) then
// ends early instead of faulting on pages that are gone.
ZoneValues readDelimitedText(QIODevice& device, const DelimitedTextOptions& options,
                             const std::string& fileName) {
    TableReader reader(options, fileName);
    std::vector<char> chunk(readChunkBytes);
    long long bytesRead = 0;
    for (;;) {
        const qint64 read = device.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (read < 0)
            throw std::runtime_error("Cannot read " + fileName + ": " + device.errorString().toStdString());
        if (read == 0)
            break;
        reader.feed(chunk.data(), chunk.data() + read);
        bytesRead += read;
        // A full chunk means more may follow: the host hears of a large file every megabyte, and
        // can cancel in the middle of it.
        if (read == static_cast<qint64>(chunk.size()))
            reportBytesRead(bytesRead);
    }
    return reader.finish();
}

ZoneValues readDelimitedText(const std::string& path, const DelimitedTextOptions& options) {
    requireRegularFile(path);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot read " + path + ": " + file.errorString().toStdString());
    return readDelimitedText(file, options, QFileInfo(file).fileName().toStdString());
}

} // namespace qelmar::standin
