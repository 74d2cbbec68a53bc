#include "postload/VariableAliasesFileParser.h"

#include "postload/TrimmedName.h"

#include "host/KernelMessages.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/KernelStrings.h"
#include "host/StringList.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

namespace qelmar::sdk::ui::postload {

namespace {

const char description[] = "Variable Aliases";
const char defaultFileName[] = "variable_aliases.txt";
const char fileTag[] = "VA";
const int supportedVersion = 1;
const int searchStartupFolder = 1;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The stream read a block at a time: a byte at a time through the locking stdio calls costs
// more than everything else the parser does with a large file.
class BufferedReader {
public:
    explicit BufferedReader(std::FILE* file)
        : m_file(file) {}

    int get() {
        if (m_next == m_end && !refill())
            return EOF;
        return static_cast<unsigned char>(m_buffer[m_next++]);
    }
    // Gives back the byte get() just returned (never EOF).
    void unget() { --m_next; }

private:
    bool refill() {
        m_end = std::fread(m_buffer, 1, sizeof m_buffer, m_file);
        m_next = 0;
        if (m_end == 0 && std::ferror(m_file))
            throw std::runtime_error("the file could not be read");
        return m_end > 0;
    }

    std::FILE* m_file;
    char m_buffer[1 << 16];
    std::size_t m_next = 0;
    std::size_t m_end = 0;
};

// Reads one line after its first byte. A run of CR ends the line, together with the LF of a
// CR LF pair; a lone CR ends the line too, so CR-only files lose nothing.
std::string readRestOfLine(BufferedReader& reader, int first) {
    std::string line;
    int c = first;
    while (c != EOF && c != '\n' && c != '\0') {
        if (c == '\r') {
            do
                c = reader.get();
            while (c == '\r');
            if (c != '\n' && c != EOF)
                reader.unget();
            break;
        }
        line.push_back(static_cast<char>(c));
        c = reader.get();
    }
    return line;
}

// The fields between semicolons, empty ones dropped, each trimmed (trimming may leave a field
// empty; it is kept, since the user wrote something there).
std::vector<std::string> aliasNames(const std::string& line) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(';', start);
        if (end == std::string::npos)
            end = line.size();
        if (end > start)
            names.push_back(trimmedName(line.substr(start, end - start)));
        start = end + 1;
    }
    return names;
}

} // namespace

struct VariableAliasesFileParser::Impl {
    std::string filePath;
    // The groups own their lists; aliasesList lends their handles out in the same order.
    std::vector<toolbox::StringList> groups;
    std::vector<StringList_s*> aliasesList;

    explicit Impl(const std::string& path)
        : filePath(path) {}

    void parseData() {
        int version = 0;
        FilePtr file(
            QelAppStartupFileOpen(description, filePath.c_str(), fileTag, &version, searchStartupFolder));
        if (!file) {
            showError("File " + filePath + " could not be opened or is invalid.");
            return;
        }
        if (version != supportedVersion) {
            showError("Variable aliases file has an incorrect version: " + std::to_string(version) +
                      ". Version should be: " + std::to_string(supportedVersion));
            return;
        }
        try {
            readGroups(file.get());
        } catch (const std::exception& e) {
            showError("An error occurred while parsing " + filePath + ": " + e.what());
        }
    }

    void readGroups(std::FILE* file) {
        // Owned by the heap rather than the stack: its buffer is larger than a thread's stack
        // should lend.
        const auto reader = std::make_unique<BufferedReader>(file);
        for (;;) {
            const int first = reader->get();
            if (first == EOF || first == '\0')
                return;
            addGroup(withoutComment(readRestOfLine(*reader, first)));
        }
    }

    // The comment is cut exactly at its "#"; a line that is all comment leaves nothing.
    static std::string withoutComment(const std::string& line) {
        const std::size_t hash = line.find('#');
        return hash == std::string::npos ? line : line.substr(0, hash);
    }

    void addGroup(const std::string& line) {
        if (line.find(';') == std::string::npos)
            return;
        toolbox::StringList group = toolbox::adoptNewList(QelUtilStringListAlloc());
        for (const std::string& name : aliasNames(line)) {
            if (!group.append(name))
                throw std::bad_alloc();
        }
        if (group.empty())
            return;
        // Both vectors grow first, so that a failure leaves them in step; they grow by half their
        // size at a time, since growing by one slot moves every group read so far at each line.
        reserveRoomForOne(groups);
        reserveRoomForOne(aliasesList);
        aliasesList.push_back(group.getRef());
        groups.push_back(std::move(group));
    }

    template <typename T> static void reserveRoomForOne(std::vector<T>& items) {
        if (items.size() == items.capacity())
            items.reserve(items.size() + items.size() / 2 + 16);
    }

    static void showError(const std::string& text) {
        QelUtilDialogMessageBox(text.c_str(), MessageBox_Error);
    }
};

VariableAliasesFileParser::VariableAliasesFileParser(const std::string& filePath)
    : m_impl(std::make_unique<Impl>(filePath)) {
    m_impl->parseData();
}

VariableAliasesFileParser::~VariableAliasesFileParser() = default;

std::vector<StringList_s*>& VariableAliasesFileParser::aliasesList() {
    return m_impl->aliasesList;
}

std::string VariableAliasesFileParser::locateVariableAliasesFilePath() {
    const KernelString startupPath(QelAppStartupFileGetPath(description, defaultFileName));
    if (!startupPath.isNull())
        return startupPath.str();
    const QString homeFile =
        QStringLiteral("%1/%2").arg(QDir::homePath(), QString::fromLatin1(defaultFileName));
    return QDir(homeFile).absolutePath().toUtf8().toStdString();
}

} // namespace qelmar::sdk::ui::postload
