#pragma once

#include <chrono>

namespace qelmar::standin::testing {

// Slows every load down by a pause before each file a loader begins to read, so that a scripted
// tour or a test sees the progress window of a short load. Restores the normal speed when it
// goes (a kernel reset does too).
class SlowDataLoads {
public:
    explicit SlowDataLoads(std::chrono::milliseconds delayPerFile);
    ~SlowDataLoads();
    SlowDataLoads(const SlowDataLoads&) = delete;
    SlowDataLoads& operator=(const SlowDataLoads&) = delete;
};

} // namespace qelmar::standin::testing
