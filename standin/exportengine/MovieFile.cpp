#include "exportengine/MovieFile.h"

#include "kernel/KernelState.h"

#include <QSaveFile>
#include <QString>

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

const ResetRegistration resetMovieWriteFailure{[] { failureThreshold() = -1; }};

} // namespace

struct MovieFile::Impl {
    std::string path;
    QSaveFile file;
    std::int64_t written = 0; // every byte handed to the file, rewrites included
    std::string error;

    explicit Impl(const std::string& target)
        : path(target)
        , file(QString::fromStdString(target)) {}

    bool fail(const std::string& reason) {
        if (error.empty())
            error = "Cannot write " + path + ": " + reason;
        return false;
    }
};

MovieFile::MovieFile(const std::string& path)
    : m_impl(std::make_unique<Impl>(path)) {
    if (path.empty())
        throw std::runtime_error("Cannot write a file without a name.");
    // Unbuffered: the encoders buffer already, and a failed write shows at once.
    if (!m_impl->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_impl->fail(m_impl->file.errorString().toStdString());
        throw std::runtime_error(m_impl->error);
    }
}

MovieFile::~MovieFile() {
    // QSaveFile removes its temporary file when it is destroyed without a commit.
    if (m_impl->file.isOpen())
        m_impl->file.cancelWriting();
}

bool MovieFile::write(const char* data, std::int64_t size) {
    Impl& d = *m_impl;
    if (!d.error.empty())
        return false;
    const long long threshold = failureThreshold();
    if (threshold >= 0 && d.written + size > threshold) {
        d.file.write(data, std::max<std::int64_t>(0, threshold - d.written));
        return d.fail(std::strerror(ENOSPC));
    }
    std::int64_t done = 0;
    // A short write is retried with the rest, so that a full disk turns into an error instead of
    // a silently shortened movie.
    while (done < size) {
        const qint64 count = d.file.write(data + done, size - done);
        if (count <= 0)
            return d.fail(d.file.errorString().toStdString());
        done += count;
    }
    d.written += size;
    return true;
}

bool MovieFile::seek(std::int64_t position) {
    if (!m_impl->error.empty())
        return false;
    return m_impl->file.seek(position) || m_impl->fail(m_impl->file.errorString().toStdString());
}

std::int64_t MovieFile::position() const {
    return m_impl->file.pos();
}

std::int64_t MovieFile::size() const {
    return m_impl->file.size();
}

bool MovieFile::failed() const {
    return !m_impl->error.empty();
}

const std::string& MovieFile::error() const {
    return m_impl->error;
}

bool MovieFile::commit() {
    Impl& d = *m_impl;
    if (!d.error.empty())
        return false;
    if (!d.file.commit())
        return d.fail(d.file.errorString().toStdString());
    return true;
}

void setMovieWriteFailureAfterBytes(long long bytes) {
    failureThreshold() = bytes;
}

void MovieFile::append(const QByteArray& bytes) {
    if (!write(bytes))
        throw std::runtime_error(error());
}

void MovieFile::overwrite(std::int64_t position, const QByteArray& bytes) {
    if (!seek(position) || !write(bytes))
        throw std::runtime_error(error());
}

void MovieFile::commitOrThrow() {
    if (!commit())
        throw std::runtime_error(error());
}

} // namespace qelmar::standin
