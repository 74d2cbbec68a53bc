#pragma once

// Internal to the stand-in kernel: how every file the kernel reads is read. Whatever goes
// wrong (the file cannot be opened, its bytes are not of the format, it claims more than it
// holds) ends as one std::runtime_error whose text names the file and the problem; the same
// text becomes the kernel's last error, and a successful read clears it.

#include "kernel/SafeFileWrite.h"

#include <QByteArray>

#include <exception>
#include <stdexcept>
#include <string>

namespace qelmar::standin {

// The failure that `failure` (thrown while reading `path`) becomes; sets the last error.
std::runtime_error readFailure(const std::string& path, const std::exception_ptr& failure);
void readSucceeded();

// decode(bytes) turns the whole file's bytes into the result.
template <typename Decode> auto readFile(const std::string& path, Decode decode) {
    try {
        auto result = decode(readWholeFile(path));
        readSucceeded();
        return result;
    } catch (...) {
        throw readFailure(path, std::current_exception());
    }
}

} // namespace qelmar::standin
