#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qelmar::bench {

// A comparison printed after all benchmarks ran: the time of one benchmark over the time of
// another, both named as registered with BENCHMARK (with their arguments, e.g. "BM_Foo/8").
// Counters named in `counters` (benchmark::State::counters) are printed for both next to it.
struct Ratio {
    std::string label;
    std::string measured;
    std::string baseline;
    std::vector<std::string> counters;
};

inline std::vector<Ratio>& registeredRatios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

// Registers a ratio from a benchmark file:
//   static const qelmar::bench::RatioRegistration r{"label", "BM_Measured", "BM_Baseline"};
struct RatioRegistration {
    RatioRegistration(std::string label, std::string measured, std::string baseline,
                      std::vector<std::string> counters = {}) {
        registeredRatios().push_back(
            Ratio{std::move(label), std::move(measured), std::move(baseline), std::move(counters)});
    }
};

} // namespace qelmar::bench
