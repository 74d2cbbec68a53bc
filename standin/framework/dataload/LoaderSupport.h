#pragma once

// Internal to the stand-in framework's loaders: what every loader does with the files it reads.

#include "kernel/DataLoading.h"
#include "kernel/LastError.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace qelmar::standin {

// Reads one file with `read`; running out of memory becomes a message naming the file, since
// "std::bad_alloc" tells a user nothing.
template <typename Read> auto readWithinMemory(const std::string& file, Read& read) {
    try {
        return read(file);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(file + " is too large to load: its values need more memory than is free.");
    }
}

// Reads every file with `read` (which throws with a message for the user) and loads them
// together; the first failure loads nothing and becomes the kernel's last error.
template <typename Read>
bool readAndLoad(const std::vector<std::string>& files, Read read, qelmar::dataload::DataLoadOption option) {
    std::vector<LoadedFile> loaded;
    try {
        for (const std::string& file : files)
            loaded.push_back({file, readWithinMemory(file, read), {}});
    } catch (const std::exception& failure) {
        setLastErrorMessage(failure.what());
        return false;
    }
    return loadData(std::move(loaded), option);
}

// A cancelled options dialog loads nothing and is no error.
inline bool cancelledLoad() {
    clearLastErrorMessage();
    return false;
}

} // namespace qelmar::standin
