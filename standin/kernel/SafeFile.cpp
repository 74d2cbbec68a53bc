#include "kernel/SafeFile.h"

#include "kernel/KernelState.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>

#include <algorithm>
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

// QSaveFile judges an existing target by its permissions before it tries anything, and then
// blames the file even when the file system is read-only; a probe file beside the target shows
// what the system really refuses.
std::string whyNotOpened(const QSaveFile& file) {
    const QString folder = QFileInfo(file.fileName()).absolutePath();
    if (QFileInfo(folder).isDir()) {
        QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
        if (!probe.open())
            return "the folder " + QDir::toNativeSeparators(folder).toStdString() + " cannot be written (" +
                   probe.errorString().toStdString() + ")";
    }
    return file.errorString().toStdString();
}

} // namespace

struct SafeFile::Impl {
    std::string path;
    QSaveFile file;
    std::int64_t handedOver = 0; // every byte given to the file, rewrites included
    std::string failure;         // the first reason, empty while none

    explicit Impl(const std::string& target)
        : path(target)
        , file(QString::fromStdString(target)) {}

    // The first failure is the reason; whatever the caller tries afterwards repeats it.
    [[noreturn]] void fail(const std::string& reason) {
        if (failure.empty())
            failure = reason;
        throw WriteError("Cannot write " + path + ": " + failure, failure);
    }

    void refuseAfterFailure() {
        if (!failure.empty())
            fail(failure);
    }

    // A short write is retried with the rest, so that a full disk or a size limit turns into an
    // error instead of a silently shortened file.
    void writeAll(const char* data, std::int64_t size) {
        std::int64_t done = 0;
        while (done < size) {
            const qint64 count = file.write(data + done, size - done);
            if (count <= 0)
                fail(file.errorString().toStdString());
            done += count;
        }
    }
};

SafeFile::SafeFile(const std::string& path)
    : m_impl(std::make_unique<Impl>(path)) {
    if (path.empty())
        throw WriteError("Cannot write a file without a name.", "it has no name");
    // Unbuffered: the callers buffer already, a failed write shows at once, and a buffered flush
    // at commit could drop the part a short write left over.
    if (!m_impl->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        m_impl->fail(whyNotOpened(m_impl->file));
}

SafeFile::~SafeFile() {
    // QSaveFile removes its temporary file when it is destroyed without a commit.
    if (m_impl->file.isOpen())
        m_impl->file.cancelWriting();
}

void SafeFile::append(const char* data, std::int64_t size) {
    Impl& d = *m_impl;
    d.refuseAfterFailure();
    const long long threshold = failureThreshold();
    if (threshold >= 0 && d.handedOver + size > threshold) {
        d.writeAll(data, std::max<std::int64_t>(0, threshold - d.handedOver));
        d.fail(std::strerror(ENOSPC));
    }
    d.writeAll(data, size);
    d.handedOver += size;
}

void SafeFile::overwrite(std::int64_t position, const QByteArray& bytes) {
    seek(position);
    append(bytes);
}

void SafeFile::seek(std::int64_t position) {
    Impl& d = *m_impl;
    d.refuseAfterFailure();
    if (!d.file.seek(position))
        d.fail(d.file.errorString().toStdString());
}

std::int64_t SafeFile::position() const {
    return m_impl->file.pos();
}

std::int64_t SafeFile::size() const {
    return m_impl->file.size();
}

const std::string& SafeFile::path() const {
    return m_impl->path;
}

// The temporary file is open for writing only and its name is the saving class's own; the
// system's link to the open descriptor opens the same file again, for reading.
std::string SafeFile::readablePath() const {
    const int descriptor = m_impl->file.handle();
    if (descriptor < 0)
        m_impl->fail("the file is not open");
    return "/proc/self/fd/" + std::to_string(descriptor);
}

void SafeFile::commit() {
    Impl& d = *m_impl;
    d.refuseAfterFailure();
    if (!d.file.commit())
        d.fail(d.file.errorString().toStdString());
}

void setWriteFailureAfterBytes(long long bytes) {
    failureThreshold() = bytes;
}

} // namespace qelmar::standin
