#pragma once

// Internal to the stand-in kernel: every file the kernel and its export engine write, whether at
// once or piece by piece over many calls (a movie that grows by a frame per export call). The
// bytes go to a temporary file in the target's folder, which replaces the target only when
// committed; destroying the object without a commit deletes the temporary file, so a cancelled
// or failed write leaves an earlier file at the target as it was and nothing beside it.
//
// Every failure throws a SafeFile::WriteError, "Cannot write <path>: <why>"; after one, the file
// only refuses, with the same reason, and is to be destroyed.

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace qelmar::standin {

class SafeFile {
public:
    // The reason alone is for callers that word the message themselves.
    class WriteError : public std::runtime_error {
    public:
        WriteError(const std::string& message, std::string reason)
            : std::runtime_error(message)
            , m_reason(std::move(reason)) {}
        const std::string& reason() const noexcept { return m_reason; }

    private:
        std::string m_reason;
    };

    explicit SafeFile(const std::string& path);
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;
    ~SafeFile();

    void append(const char* data, std::int64_t size);
    void append(const QByteArray& bytes) { append(bytes.constData(), bytes.size()); }
    // Writes over earlier bytes and leaves the position after them.
    void overwrite(std::int64_t position, const QByteArray& bytes);
    void seek(std::int64_t position);
    std::int64_t position() const;
    std::int64_t size() const;
    const std::string& path() const;
    // A name under which the bytes written so far can be read, until the commit or the
    // destruction: for writers that check what they wrote, or read it back to rearrange it.
    std::string readablePath() const;

    // Moves the finished file onto the target.
    void commit();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Makes every following write of a file fail as on a full disk once `bytes` bytes were handed
// to that file (rewrites included); a negative count lets writes succeed again, as does the
// kernel's reset. For tests of interrupted writes.
void setWriteFailureAfterBytes(long long bytes);

} // namespace qelmar::standin
