#pragma once

// Internal to the stand-in kernel and the loaders: how data read by a loader reaches the frames.

#include "host/DataLoadOption.h"
#include "kernel/DataFileFormat.h"

#include <string>
#include <vector>

namespace qelmar::standin {

// The values read from one file; generated data has no file.
struct LoadedFile {
    std::string path;
    DataValues values;
};

// Puts the files' values into the application as the option says: a new data set for the
// current frame (option 1 resets the frame's style to a line plot, 2 keeps it), a new data set
// for every frame sharing the current frame's data set (3), or further zones of the current
// data set (4). Files whose variables match the first file's become zones of one data set;
// files whose variables differ are fitted to the first file's variables by name (missing ones
// become NaN) and the user is told. Without a current frame a new frame gets the data. The new
// data set is journaled when the first file has a path. False, with the kernel's last error
// set, when there is nothing to load.
bool loadData(std::vector<LoadedFile> files, qelmar::dataload::DataLoadOption option);

} // namespace qelmar::standin
