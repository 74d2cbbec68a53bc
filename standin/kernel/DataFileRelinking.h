#pragma once

// Internal to the stand-in kernel: finding the data files of a linked layout after the layout,
// its data or both moved, without ever taking a different file for one of them.

#include <map>
#include <string>
#include <vector>

namespace qelmar::standin {

// One data file a linked layout names.
struct LinkedDataFile {
    std::string reference;    // as the layout names it
    std::string recordedPath; // absolute: where the file was when the layout was saved
    // Absolute places to look first, in order; the first is where the layout reads it from when
    // it is nowhere (so the reading names that place).
    std::vector<std::string> places;
    std::string sha256; // empty: the layout did not record one
};

// Where each file is now, by reference. Missing files are asked of the host's locate callback
// (host/KernelLayout.h); files whose content is not the recorded one are listed in one question.
// Throws std::runtime_error with a reason for the user when the host cancels or the user declines
// the changed files. A file still missing without a callback keeps its first place, so that
// reading it fails as for any unreadable data file.
std::map<std::string, std::string> locateDataFiles(const std::string& layoutPath,
                                                   const std::vector<LinkedDataFile>& files);

} // namespace qelmar::standin
