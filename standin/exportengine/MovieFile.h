#pragma once

// Internal to the stand-in kernel: a file written piece by piece over a long time, such as a
// movie that grows by one frame per export call. The pieces go to a temporary file in the
// target's folder, which replaces the target only when committed; destroying the object without
// a commit deletes the temporary file, so a cancelled or failed movie leaves an earlier file at
// the target as it was and nothing beside it.

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <string>

namespace qelmar::standin {

class MovieFile {
public:
    // Throws std::runtime_error ("Cannot write <path>: <why>") when the temporary file cannot be
    // made.
    explicit MovieFile(const std::string& path);
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;
    ~MovieFile();

    // False once any write failed; the reason is then in error().
    bool write(const char* data, std::int64_t size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    bool seek(std::int64_t position);
    std::int64_t position() const;
    std::int64_t size() const;
    bool failed() const;
    const std::string& error() const;

    // Moves the finished file onto the target; false with error() set when it cannot.
    bool commit();

    // The same for writers whose failures are exceptions: each throws std::runtime_error with
    // error() when the file cannot be written.
    void append(const QByteArray& bytes);
    void overwrite(std::int64_t position, const QByteArray& bytes);
    void commitOrThrow();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Makes every following movie write fail as on a full disk once `bytes` bytes of the file were
// written; a negative count lets writes succeed again. For tests of interrupted movies.
void setMovieWriteFailureAfterBytes(long long bytes);

} // namespace qelmar::standin
