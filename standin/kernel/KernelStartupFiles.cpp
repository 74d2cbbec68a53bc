#include "host/KernelStartupFiles.h"

#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/SafeFileWrite.h"
#include "kernel/StartupFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelmar::standin {

namespace {

// Never destroyed: test controls that live in statics of their own reset it while the process
// exits, in whatever order the statics go.
std::string& chosenFolder() {
    static auto* folder = new std::string;
    return *folder;
}

// Longer first lines are not headers; reading stops there so a binary file is refused quickly.
constexpr int maxHeaderLength = 256;
constexpr char headerMark[] = "#!QELMAR";
// Editors on Windows put a UTF-8 byte order mark in front of the first line.
constexpr char utf8ByteOrderMark[] = "\xEF\xBB\xBF";

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// "Variable Aliases" reads "variable aliases" inside a sentence.
std::string inSentence(const char* description) {
    return description && *description ? fromUtf8(description).toLower().toStdString()
                                       : std::string("startup");
}

// Reads the first line, without its LF or CR LF; false when it is longer than any header.
bool readFirstLine(std::FILE* file, std::string& line) {
    for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file)) {
        if (static_cast<int>(line.size()) >= maxHeaderLength)
            return false;
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.rfind(utf8ByteOrderMark, 0) == 0)
        line.erase(0, std::strlen(utf8ByteOrderMark));
    return true;
}

// "#!QELMAR <tag> <version>" with blanks between the words and nothing after the version.
bool parseHeader(const std::string& line, std::string& tag, int& version) {
    std::istringstream words(line);
    std::string mark, versionText, rest;
    if (!(words >> mark >> tag >> versionText) || words >> rest || mark != headerMark)
        return false;
    if (versionText.empty() || versionText.size() > 6 ||
        versionText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    version = std::stoi(versionText);
    return true;
}

std::string resolvedPath(const char* path, int flags) {
    const QString given = fromUtf8(path);
    if ((flags & 1) && !given.contains(QLatin1Char('/')) && !given.contains(QDir::separator()))
        return QDir(fromUtf8(startupFolder())).filePath(given).toStdString();
    return path;
}

std::FILE* failOpen(std::string message) {
    setLastErrorMessage(std::move(message));
    return nullptr;
}

// Closes the descriptor unless a stream took it over.
class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    int get() const { return m_descriptor; }
    std::FILE* openStream() {
        std::FILE* stream = ::fdopen(m_descriptor, "rb");
        if (stream)
            m_descriptor = -1;
        return stream;
    }

private:
    int m_descriptor;
};

// Opens without blocking and checks what was opened: a FIFO opened for reading the ordinary way
// waits for a writer forever, and a folder or a device is never a startup file. Checking the
// opened descriptor rather than the path leaves no gap for the path to change in between.
std::FILE* openRegularFile(const std::string& path, const std::string& kind) {
    Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (descriptor.get() < 0)
        return failOpen("The " + kind + " file " + path + " could not be opened: " + std::strerror(errno) +
                        ".");
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return S_ISDIR(status.st_mode)
                   ? failOpen(path + " is a folder, not a " + kind + " file.")
                   : failOpen(path + " is not a regular file, so it cannot be a " + kind + " file.");
    ::fcntl(descriptor.get(), F_SETFL, ::fcntl(descriptor.get(), F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = descriptor.openStream();
    return file ? file : failOpen("The " + kind + " file " + path + " could not be opened.");
}

} // namespace

std::string startupFolder() {
    if (!chosenFolder().empty())
        return chosenFolder();
    const QString fromEnvironment = qEnvironmentVariable("QELMAR_STARTUP_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment.toStdString();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("qelmar/startup"))
        .toStdString();
}

void setStartupFolder(std::string folder) {
    chosenFolder() = std::move(folder);
}

} // namespace qelmar::standin

using namespace qelmar::standin;

char* QelAppStartupFileGetPath(const char* description, const char* fileName) {
    (void)description;
    if (!KernelState::instance().beginCall("QelAppStartupFileGetPath") || !fileName || !*fileName)
        return nullptr;
    const QString path = QDir(fromUtf8(startupFolder())).filePath(fromUtf8(fileName));
    return QFileInfo(path).isFile() ? allocKernelString(path.toStdString()) : nullptr;
}

std::FILE* QelAppStartupFileOpen(const char* description, const char* path, const char* tag, int* version,
                                 int flags) {
    const std::string kind = inSentence(description);
    if (!KernelState::instance().beginCall("QelAppStartupFileOpen"))
        return failOpen("The " + kind + " file could not be opened.");
    clearLastErrorMessage();
    if (!path || !*path)
        return failOpen("No " + kind + " file was given.");
    const std::string fullPath = resolvedPath(path, flags);
    std::FILE* file = openRegularFile(fullPath, kind);
    if (!file)
        return nullptr;
    std::string line, foundTag;
    int foundVersion = 0;
    if (!readFirstLine(file, line) || !parseHeader(line, foundTag, foundVersion) || !tag || foundTag != tag) {
        std::fclose(file);
        return failOpen(fullPath + " is not a " + kind + " file: its first line must be \"" + headerMark +
                        " " + (tag ? tag : "") + " <version>\".");
    }
    if (version)
        *version = foundVersion;
    return file;
}

bool QelAppStartupFileWrite(const char* description, const char* fileName, const char* contents,
                            std::size_t length) {
    const std::string kind = inSentence(description);
    clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelAppStartupFileWrite"))
        return false;
    const QString name = fileName ? fromUtf8(fileName) : QString();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.endsWith(QLatin1Char('/'))) {
        setLastErrorMessage("The " + kind + " file needs a file name.");
        return false;
    }
    if (name.contains(QLatin1Char('/'))) {
        if (!QDir::isAbsolutePath(name)) {
            setLastErrorMessage("The " + kind + " file needs a plain file name or a full path.");
            return false;
        }
        // A file the user chose elsewhere: its folder is theirs, so it is not created here.
        return succeedsOrSetsLastError([&] {
            writeFileSafely(name.toStdString(),
                            QByteArray(contents ? contents : "", static_cast<int>(contents ? length : 0)));
        });
    }
    return succeedsOrSetsLastError([&] {
        const QString folder = fromUtf8(startupFolder());
        if (!QDir().mkpath(folder))
            throw std::runtime_error("The startup folder " + folder.toStdString() + " cannot be created.");
        writeFileSafely(QDir(folder).filePath(name).toStdString(),
                        QByteArray(contents ? contents : "", static_cast<int>(contents ? length : 0)));
    });
}
