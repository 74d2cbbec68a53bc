#pragma once

// Internal to the stand-in framework's loaders: NetCDF files read through libnetcdf. A data set
// takes the file's one-dimensional numeric variables along one dimension (the unlimited one
// if it has such variables, else the dimension most of them share); scalars, text and variables
// of other or more dimensions are skipped.

#include "kernel/DataFileFormat.h"

#include <string>
#include <vector>

namespace qelmar::standin {

struct NetCdfVariable {
    std::string name;
    // Empty for a variable that can be loaded, else why it is skipped.
    std::string skippedBecause;
};

// Every variable of the file. Throws std::runtime_error naming the file when it cannot be read.
std::vector<NetCdfVariable> netCdfVariables(const std::string& path);
// The loadable variables among `wanted` (all of them when `wanted` is empty), in the file's
// order. Throws std::runtime_error naming the file when it cannot be read or none is loadable.
DataValues readNetCdf(const std::string& path, const std::vector<std::string>& wanted);

} // namespace qelmar::standin
