#include "kernel/LayoutFileFormat.h"

#include "kernel/FileReading.h"
#include "kernel/SafeFileWrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QString>

#include <algorithm>

#include <stdexcept>
#include <utility>

namespace qelmar::standin {

namespace {

std::string escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char character : text) {
        switch (character) {
        case '\\':
            result += "\\\\";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += character;
        }
    }
    return result;
}

class LineParser {
public:
    explicit LineParser(std::string origin)
        : m_origin(std::move(origin)) {}

    void setLine(int number) { m_line = number; }

    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error(m_origin + " is not a readable layout: line " + std::to_string(m_line) +
                                 ": " + why + ".");
    }

    std::string unescaped(const std::string& text) const {
        std::string result;
        for (std::size_t index = 0; index < text.size(); ++index) {
            if (text[index] != '\\') {
                result += text[index];
                continue;
            }
            if (++index == text.size())
                fail("a name ends in a lone backslash");
            switch (text[index]) {
            case '\\':
                result += '\\';
                break;
            case 't':
                result += '\t';
                break;
            case 'n':
                result += '\n';
                break;
            case 'r':
                result += '\r';
                break;
            default:
                fail(std::string("unknown escape \\") + text[index]);
            }
        }
        return result;
    }

    int plotType(const std::string& text) const {
        std::size_t used = 0;
        int value = 0;
        try {
            value = std::stoi(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (text.empty() || used != text.size())
            fail("\"" + text + "\" is not a plot type");
        return value;
    }

private:
    std::string m_origin;
    int m_line = 0;
};

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::vector<std::string> linesOf(const QByteArray& bytes) {
    std::vector<std::string> lines;
    const std::string text = bytes.toStdString();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        lines.push_back(text.substr(start, newline == std::string::npos ? newline : newline - start));
        if (newline == std::string::npos)
            break;
        start = newline + 1;
    }
    return lines;
}

class LayoutReader {
public:
    explicit LayoutReader(std::string origin)
        : m_parser(std::move(origin)) {}

    LayoutDocument read(const QByteArray& bytes) {
        const std::vector<std::string> lines = linesOf(bytes);
        m_firstVersion = !lines.empty() && lines.front() == firstLayoutFileHeader();
        if (lines.empty() || (lines.front() != layoutFileHeader() && !m_firstVersion)) {
            m_parser.setLine(1);
            m_parser.fail("it does not start with \"" + layoutFileHeader() + "\"");
        }
        for (std::size_t index = 1; index < lines.size() && !m_ended; ++index) {
            m_parser.setLine(static_cast<int>(index) + 1);
            readRecord(fieldsOf(lines[index]));
            if (m_ended && index + 1 != lines.size())
                m_parser.fail("there is more after End");
        }
        if (!m_ended) {
            m_parser.setLine(static_cast<int>(lines.size()));
            m_parser.fail("the End line is missing (truncated)");
        }
        return m_layout;
    }

private:
    void readRecord(const std::vector<std::string>& fields) {
        // Data files belong to the frame on the line right before them and to nothing else.
        m_dataAllowed = std::exchange(m_dataMayFollow, false);
        const std::string& kind = fields.front();
        if (kind == "Paths" && fields.size() == 2)
            readPaths(fields[1]);
        else if (kind == "Page" && fields.size() == 2)
            m_layout.pages.push_back({m_parser.unescaped(fields[1]), {}});
        else if (kind == "Frame" && fields.size() == 3)
            readFrame(fields[1], fields[2]);
        else if (kind == "Data" && isDataRecordLength(fields.size()))
            readData(fields);
        else if (kind == "End" && fields.size() == 1)
            m_ended = true;
        else
            m_parser.fail("\"" + kind + "\" with " + std::to_string(fields.size() - 1) +
                          " fields is not a layout record");
    }

    void readPaths(const std::string& mode) {
        if (mode != "relative" && mode != "absolute")
            m_parser.fail("paths are \"" + mode + "\", not relative or absolute");
        m_layout.relativePaths = mode == "relative";
    }

    void readFrame(const std::string& plotType, const std::string& name) {
        if (m_layout.pages.empty())
            m_parser.fail("a frame comes before any page");
        m_layout.pages.back().frames.push_back({m_parser.unescaped(name), m_parser.plotType(plotType), {}});
        m_dataMayFollow = true;
    }

    bool isDataRecordLength(std::size_t fields) const {
        return fields == 2 || (!m_firstVersion && (fields == 3 || fields == 5));
    }

    void readData(const std::vector<std::string>& fields) {
        if (!m_dataAllowed)
            m_parser.fail("a data file does not follow a frame");
        auto& frame = m_layout.pages.back().frames.back();
        frame.dataFiles.push_back(m_parser.unescaped(fields[1]));
        DataFileRecord& record = frame.dataFileRecords.emplace_back();
        if (fields.size() > 2)
            record.sha256 = checkedSha256(fields[2]);
        if (fields.size() > 3) {
            record.relativePath = m_parser.unescaped(fields[3]);
            record.absolutePath = m_parser.unescaped(fields[4]);
        }
        m_dataMayFollow = true;
    }

    const std::string& checkedSha256(const std::string& text) const {
        const bool hex = std::all_of(text.begin(), text.end(), [](char digit) {
            return (digit >= '0' && digit <= '9') || (digit >= 'a' && digit <= 'f');
        });
        if (text.size() != 64 || !hex)
            m_parser.fail("\"" + text + "\" is not a SHA-256 of 64 lower-case hex digits");
        return text;
    }

    LineParser m_parser;
    LayoutDocument m_layout;
    bool m_dataMayFollow = false;
    bool m_dataAllowed = false;
    bool m_ended = false;
    bool m_firstVersion = false;
};

std::string dataRecord(const std::string& file, const DataFileRecord* record) {
    std::string line = "Data\t" + escaped(file);
    if (record && !record->sha256.empty()) {
        line += '\t' + record->sha256;
        if (!record->absolutePath.empty())
            line += '\t' + escaped(record->relativePath) + '\t' + escaped(record->absolutePath);
    }
    return line + '\n';
}

} // namespace

QByteArray encodeLayout(const LayoutDocument& layout) {
    std::string text = layoutFileHeader() + '\n';
    text += std::string("Paths\t") + (layout.relativePaths ? "relative" : "absolute") + '\n';
    for (const auto& page : layout.pages) {
        text += "Page\t" + escaped(page.name) + '\n';
        for (const auto& frame : page.frames) {
            text += "Frame\t" + std::to_string(frame.plotType) + '\t' + escaped(frame.name) + '\n';
            for (std::size_t index = 0; index < frame.dataFiles.size(); ++index)
                text += dataRecord(frame.dataFiles[index], index < frame.dataFileRecords.size()
                                                               ? &frame.dataFileRecords[index]
                                                               : nullptr);
        }
    }
    text += "End\n";
    return QByteArray::fromStdString(text);
}

LayoutDocument decodeLayout(const QByteArray& bytes, const std::string& origin) {
    return LayoutReader(origin).read(bytes);
}

void writeLayoutFile(const std::string& path, const LayoutDocument& layout) {
    writeEncodedFile(path, [&layout] { return encodeLayout(layout); });
}

LayoutDocument readLayoutFile(const std::string& path) {
    return readFile(path, [&path](const QByteArray& bytes) { return decodeLayout(bytes, path); });
}

std::string sha256Of(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::string sha256OfFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

} // namespace qelmar::standin
