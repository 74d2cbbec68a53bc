#include "host/KernelStartupFiles.h"

#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/StartupFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sstream>

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
    if (QFileInfo(fromUtf8(fullPath)).isDir())
        return failOpen(fullPath + " is a folder, not a " + kind + " file.");
    std::FILE* file = std::fopen(fullPath.c_str(), "rb");
    if (!file)
        return failOpen("The " + kind + " file " + fullPath +
                        " could not be opened: " + std::strerror(errno) + ".");
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
