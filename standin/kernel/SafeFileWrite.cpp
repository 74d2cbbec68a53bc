#include "kernel/SafeFileWrite.h"

#include "kernel/KernelState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace qelmar::standin {

namespace {

long long& failureThreshold() {
    static long long bytes = -1;
    return bytes;
}

const ResetRegistration resetWriteFailure{[] { failureThreshold() = -1; }};

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return "Cannot write " + path + ": " + reason;
}

// A short write is retried with the rest, so that a full disk or a size limit turns into an
// error instead of a silently shortened file.
bool writeAll(QSaveFile& file, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return false;
        written += static_cast<qsizetype>(count);
    }
    return true;
}

// QSaveFile judges an existing target by its permissions before it tries anything, and then
// blames the file even when the file system is read-only; a probe file beside the target shows
// what the system really refuses.
std::string whyNotWritten(const QString& path, const QSaveFile& file) {
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir()) {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
        if (!probe.open())
            return "the folder " + QDir::toNativeSeparators(folder).toStdString() + " cannot be written (" +
                   probe.errorString().toStdString() + ")";
    }
    return file.errorString().toStdString();
}

} // namespace

QByteArray readWholeFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot read " + path + ": " + file.errorString().toStdString());
    // A device or a pipe has no end to read up to.
    if (file.isSequential())
        throw std::runtime_error("Cannot read " + path + ": it is not a regular file.");
    return file.readAll();
}

bool writeFileSafely(const std::string& path, const QByteArray& bytes, std::string& error) {
    if (path.empty()) {
        error = "Cannot write a file without a name.";
        return false;
    }
    const QString target = QString::fromStdString(path);
    QSaveFile file(target);
    // Unbuffered, because a buffered flush at commit can drop the part a short write left over.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = cannotWrite(path, whyNotWritten(target, file));
        return false;
    }
    const long long threshold = failureThreshold();
    if (threshold >= 0 && threshold < bytes.size()) {
        writeAll(file, bytes.left(static_cast<qsizetype>(threshold)));
        file.cancelWriting();
        error = cannotWrite(path, std::strerror(ENOSPC));
        return false;
    }
    if (!writeAll(file, bytes) || !file.commit()) {
        error = cannotWrite(path, file.errorString().toStdString());
        file.cancelWriting();
        return false;
    }
    return true;
}

void setWriteFailureAfterBytes(long long bytes) {
    failureThreshold() = bytes;
}

} // namespace qelmar::standin
