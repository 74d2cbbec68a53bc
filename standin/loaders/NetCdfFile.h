#pragma once

// Internal to the stand-in framework's loaders: NetCDF files read through libnetcdf in a reader
// process, so that no damaged file can crash or hang the application. A data set takes the
// file's numeric variables on one grid, the one most of the chosen variables share: a list of
// points along one dimension, or an ordered zone over two or three dimensions (the last one
// varying fastest as I) with the coordinate variables spread over it as positions, and one time
// step per record when the variables run along the unlimited dimension. Fill values, missing
// values and values outside the valid range become NaN; packed values are unpacked.

#include "loaders/IsolatedChild.h"
#include "loaders/NetCdfFrames.h"
#include "loaders/ZoneValues.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qelmar::standin {

struct NetCdfLimits {
    // Doubles one file may load, all variables and time steps together (2 GiB of them).
    std::size_t maxValues = std::size_t(256) << 20;
    ChildLimits reader;
};

struct NetCdfLoad {
    FileZone file;
    std::vector<std::string> notes; // what the file holds but the load left out, and why
};

// Every variable of the file, with why it would be skipped. Throws std::runtime_error naming the
// file when it cannot be read.
std::vector<NetCdfVariable> netCdfVariables(const std::string& path, const NetCdfLimits& limits = {});
// The loadable variables among `wanted` (all of them when `wanted` is empty) on the grid most of
// them share. Throws std::runtime_error naming the file and what went wrong when it cannot be
// read, holds nothing to load or is too large.
NetCdfLoad readNetCdf(const std::string& path, const std::vector<std::string>& wanted,
                      const NetCdfLimits& limits = {});

} // namespace qelmar::standin
