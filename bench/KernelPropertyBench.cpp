#include "bench/BenchRatios.h"

#include "host/CheckedStyleValue.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"
#include "styleproperties/KernelProperty.h"

#include <benchmark/benchmark.h>

namespace {

using qelmar::sdk::styleproperties::KernelProperty;
using qelmar::toolbox::ArgList;
using qelmar::toolbox::CheckedStyleValue;
using qelmar::toolbox::StringList;
using qelmar::toolbox::StyleValue;

const qelmar::standin::StylePath benchPath{"Bench", "Width"};

// A kernel holding one integer style value. The kernel journals calls only while a test records
// them, so nothing piles up over a long run.
class BenchKernel {
public:
    BenchKernel() { m_styles.define(benchPath, qelmar::standin::StyleDefinition::integer(640, 1, 100000)); }

    static StyleValue styleValue() { return StyleValue(StringList{"Bench", "Width"}); }

private:
    qelmar::standin::testing::KernelTestControl m_kernel;
    qelmar::standin::testing::StyleTestControl m_styles;
};

long readDirectly(const CheckedStyleValue& value) {
    long path[8];
    std::size_t length = 0;
    for (long identifier : value.getIdentifiers())
        path[length++] = identifier;
    path[length] = -1;
    ArgList args;
    value.setupGetValueArgList(path, -1, -1, args);
    long received = 0;
    args.appendArbParamPtr("IValue", &received);
    value.styleGetLowLevel(args);
    return received;
}

void BM_KernelPropertyRead(benchmark::State& state) {
    BenchKernel kernel;
    const KernelProperty<long> property(BenchKernel::styleValue());
    for (auto _ : state)
        benchmark::DoNotOptimize(property.retrieveValue());
}
BENCHMARK(BM_KernelPropertyRead);

void BM_StyleValueReadDirect(benchmark::State& state) {
    BenchKernel kernel;
    const CheckedStyleValue value(BenchKernel::styleValue());
    for (auto _ : state)
        benchmark::DoNotOptimize(readDirectly(value));
}
BENCHMARK(BM_StyleValueReadDirect);

// Alternating values, so that every setValue reaches the kernel.
void BM_KernelPropertyWrite(benchmark::State& state) {
    BenchKernel kernel;
    KernelProperty<long> property(BenchKernel::styleValue());
    std::size_t iteration = 0;
    for (auto _ : state) {
        property.setValue((iteration & 1) ? 800 : 1024);
        ++iteration;
    }
}
BENCHMARK(BM_KernelPropertyWrite);

void BM_StyleValueWriteDirect(benchmark::State& state) {
    BenchKernel kernel;
    const StyleValue value = BenchKernel::styleValue();
    std::size_t iteration = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value.set<int>((iteration & 1) ? 800 : 1024));
        ++iteration;
    }
}
BENCHMARK(BM_StyleValueWriteDirect);

const qelmar::bench::RatioRegistration readRatio{"kernel property read vs direct style value read",
                                                 "BM_KernelPropertyRead", "BM_StyleValueReadDirect"};
const qelmar::bench::RatioRegistration writeRatio{"kernel property write vs direct style value write",
                                                  "BM_KernelPropertyWrite", "BM_StyleValueWriteDirect"};

} // namespace
