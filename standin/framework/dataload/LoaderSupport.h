#pragma once

// Internal to the stand-in framework's loaders: what every loader does with the files it reads.

#include "kernel/DataLoading.h"
#include "kernel/LastError.h"

#include <exception>
#include <string>
#include <vector>

namespace qelmar::standin {

// Reads every file with `read` (which throws with a message for the user) and loads them
// together; the first failure loads nothing and becomes the kernel's last error.
template <typename Read>
bool readAndLoad(const std::vector<std::string>& files, Read read, qelmar::dataload::DataLoadOption option) {
    std::vector<LoadedFile> loaded;
    try {
        for (const std::string& file : files)
            loaded.push_back({file, read(file), {}});
    } catch (const std::exception& failure) {
        setLastErrorMessage(failure.what());
        return false;
    }
    return loadData(std::move(loaded), option);
}

// As readAndLoad, for readers that give whole files: time steps beyond the first and the path.
template <typename ReadFile>
bool readFilesAndLoad(const std::vector<std::string>& files, ReadFile read,
                      qelmar::dataload::DataLoadOption option) {
    std::vector<LoadedFile> loaded;
    try {
        for (const std::string& file : files)
            loaded.push_back(read(file));
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
