#include "bench/BenchRatios.h"
#include "propertyframework/Property.h"

#include <benchmark/benchmark.h>

#include <boost/signals2/signal.hpp>

#include <vector>

// What one setValue costs on top of the signal emission it cannot avoid: validation, the
// comparison, the store and the chained untyped notification.

namespace {

long g_sink = 0;

void listener(const long& value) {
    benchmark::DoNotOptimize(g_sink += value);
}

void BM_PropertySetValue(benchmark::State& state) {
    qelmar::Property<long> property(0);
    std::vector<boost::signals2::scoped_connection> connections;
    for (int i = 0; i < state.range(0); ++i)
        connections.emplace_back(property.connectToValueChangedSignalUnique(&listener));
    long value = 0;
    for (auto _ : state)
        property.setValue(++value);
}
BENCHMARK(BM_PropertySetValue)->Arg(1)->Arg(8);

void BM_BareSignalEmission(benchmark::State& state) {
    boost::signals2::signal<void(const long&)> signal;
    std::vector<boost::signals2::scoped_connection> connections;
    for (int i = 0; i < state.range(0); ++i)
        connections.emplace_back(signal.connect(&listener));
    long value = 0;
    for (auto _ : state)
        signal(++value);
}
BENCHMARK(BM_BareSignalEmission)->Arg(1)->Arg(8);

const qelmar::bench::RatioRegistration oneListener{"Property<long>::setValue, 1 listener vs bare signal",
                                                   "BM_PropertySetValue/1", "BM_BareSignalEmission/1"};
const qelmar::bench::RatioRegistration eightListeners{"Property<long>::setValue, 8 listeners vs bare signal",
                                                      "BM_PropertySetValue/8", "BM_BareSignalEmission/8"};

} // namespace
