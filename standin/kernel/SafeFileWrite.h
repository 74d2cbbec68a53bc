#pragma once

// Internal to the stand-in kernel: files written whole, through a SafeFile, so a failed write
// leaves an earlier file as it was; and files read whole.

#include <QByteArray>

#include <functional>
#include <string>

namespace qelmar::standin {

// Throws std::runtime_error ("Cannot write <path>: <why>") when the file cannot be written.
void writeFileSafely(const std::string& path, const QByteArray& bytes);

// Writes the bytes `encode` produces. An encoder refuses contents it cannot write by throwing
// std::invalid_argument or std::runtime_error with the reason; that reason, like a failed write,
// is thrown on as std::runtime_error "Cannot write <path>: <reason>".
void writeEncodedFile(const std::string& path, const std::function<QByteArray()>& encode);

// The whole file; throws std::runtime_error ("Cannot read <path>: <why>") when it cannot be read.
QByteArray readWholeFile(const std::string& path);

} // namespace qelmar::standin
