#pragma once

// Internal to the stand-in framework's loaders: what a loader read, before it hands it to the
// kernel through a data load (host/DataLoad.h).

#include <cstddef>
#include <string>
#include <vector>

namespace qelmar::standin {

// One zone at one time step.
struct ZoneValues {
    std::string title;
    std::vector<std::string> variableNames;
    std::vector<std::vector<double>> values; // one vector per variable, all of equal length
    // I, J (and K) of an ordered zone, I varying fastest, their product the number of points;
    // empty for points that are only a list.
    std::vector<std::size_t> dimensions;
};

// One zone of a file through all of its time steps; computed values have no path.
struct FileZone {
    std::string path;
    ZoneValues values;                  // the first time step
    std::vector<ZoneValues> laterSteps; // with the same variables and points as `values`
};

} // namespace qelmar::standin
