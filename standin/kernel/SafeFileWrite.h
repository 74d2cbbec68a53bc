#pragma once

// Internal to the stand-in kernel: how every file the kernel produces reaches the disk. The
// bytes go to a temporary file in the target's folder that replaces the target only once
// everything was written, so a failed write leaves an earlier file as it was.

#include <QByteArray>

#include <string>

namespace qelmar::standin {

// False on failure, with a reason for the user in `error` ("Cannot write <path>: <why>").
bool writeFileSafely(const std::string& path, const QByteArray& bytes, std::string& error);

// The whole file; throws std::runtime_error ("Cannot read <path>: <why>") when it cannot be read.
QByteArray readWholeFile(const std::string& path);

// Makes every following write fail as on a full disk once it has written `bytes` bytes; a
// negative count lets writes succeed again. For tests of interrupted writes.
void setWriteFailureAfterBytes(long long bytes);

} // namespace qelmar::standin
