#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qelmar::bench {

// A comparison printed after all benchmarks ran: the time of one benchmark over the time of
// another, both named as registered with BENCHMARK (with their arguments, e.g. "BM_Foo/8").
struct Ratio {
    std::string label;
    std::string measured;
    std::string baseline;
};

inline std::vector<Ratio>& registeredRatios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

// Registers a ratio from a benchmark file:
//   static const qelmar::bench::RatioRegistration r{"label", "BM_Measured", "BM_Baseline"};
struct RatioRegistration {
    RatioRegistration(std::string label, std::string measured, std::string baseline) {
        registeredRatios().push_back(Ratio{std::move(label), std::move(measured), std::move(baseline)});
    }
};

} // namespace qelmar::bench
