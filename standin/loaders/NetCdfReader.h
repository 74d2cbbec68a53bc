#pragma once

// Internal to the NetCDF loader: the part that calls libnetcdf, run in the reader process. It
// uses no Qt and reports everything, refusals included, as frames.

#include "loaders/NetCdfFrames.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qelmar::standin {

struct NetCdfRequest {
    std::string path;
    bool listOnly = false;
    std::vector<std::string> wanted; // every loadable variable when empty
    std::size_t maxValues = 0;       // doubles a load may take
    std::size_t memoryLimit = 0;     // bytes, named when the reader runs out of memory
};

// Writes the listing or the values of the request, or one refusal; never throws.
void answerNetCdfRequest(const NetCdfRequest& request, NetCdfFrameWriter& out);

} // namespace qelmar::standin
