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

// Reads every file with `readInto`, which appends what it read of one file (one zone or several,
// with their time steps) and throws with a message for the user, then loads them together. The
// first failure loads nothing and becomes the kernel's last error; running out of memory, while
// reading or loading, becomes a message that says so, since "std::bad_alloc" tells a user nothing.
template <typename ReadInto>
bool readIntoAndLoad(const std::vector<std::string>& files, ReadInto readInto,
                     qelmar::dataload::DataLoadOption option) {
    std::vector<LoadedFile> loaded;
    try {
        for (const std::string& file : files) {
            try {
                readInto(file, loaded);
            } catch (const std::bad_alloc&) {
                throw std::runtime_error(file +
                                         " is too large to load: its values need more memory than is free.");
            }
        }
        return loadData(std::move(loaded), option);
    } catch (const std::bad_alloc&) {
        setLastErrorMessage(
            "The data is too large to load: it needs more memory than is free. Nothing was loaded.");
    } catch (const std::exception& failure) {
        setLastErrorMessage(failure.what());
    }
    return false;
}

// For readers that give one file's values (its first and only time step).
template <typename Read>
bool readAndLoad(const std::vector<std::string>& files, Read read, qelmar::dataload::DataLoadOption option) {
    return readIntoAndLoad(
        files,
        [&read](const std::string& file, std::vector<LoadedFile>& loaded) {
            LoadedFile& entry = loaded.emplace_back();
            entry.path = file;
            entry.values = read(file);
        },
        option);
}

// For readers that give a whole file: its path, first time step and later ones.
template <typename ReadFile>
bool readFilesAndLoad(const std::vector<std::string>& files, ReadFile read,
                      qelmar::dataload::DataLoadOption option) {
    return readIntoAndLoad(
        files,
        [&read](const std::string& file, std::vector<LoadedFile>& loaded) { loaded.push_back(read(file)); },
        option);
}

// A cancelled options dialog loads nothing and is no error.
inline bool cancelledLoad() {
    clearLastErrorMessage();
    return false;
}

} // namespace qelmar::standin
