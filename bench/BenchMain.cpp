#include "bench/BenchRatios.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

// Prints as the console reporter does and remembers the time per iteration of every run, so
// that the ratios can be computed once everything ran.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only for a terminal: escape codes would clutter a log.
    RecordingReporter()
        : benchmark::ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            record(run);
    }

    // Nanoseconds per iteration, or a negative value when the benchmark did not run.
    double nanoseconds(const std::string& name) const {
        const auto found = m_nanoseconds.find(name);
        return found == m_nanoseconds.end() ? -1.0 : found->second;
    }

    // A counter's value in the recorded run, or a negative value when it has none.
    double counter(const std::string& name, const std::string& counterName) const {
        const auto found = m_counters.find(name);
        if (found == m_counters.end())
            return -1.0;
        const auto value = found->second.find(counterName);
        return value == found->second.end() ? -1.0 : static_cast<double>(value->second);
    }

private:
    void record(const Run& run) {
        if (run.error_occurred)
            return;
        // With repetitions the mean stands for the benchmark; single runs otherwise.
        const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
        if (run.run_type == Run::RT_Aggregate && !mean)
            return;
        const double ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const std::string name = run.run_name.str();
        if (mean || !m_fromMean.count(name)) {
            m_nanoseconds[name] = ns;
            m_counters[name] = run.counters;
            if (mean)
                m_fromMean[name] = true;
        }
    }

    std::map<std::string, double> m_nanoseconds;
    std::map<std::string, benchmark::UserCounters> m_counters;
    std::map<std::string, bool> m_fromMean;
};

void printRatios(const RecordingReporter& reporter) {
    for (const auto& ratio : qelmar::bench::registeredRatios()) {
        const double measured = reporter.nanoseconds(ratio.measured);
        const double baseline = reporter.nanoseconds(ratio.baseline);
        if (measured < 0 || baseline <= 0) {
            std::printf("ratio %s: not measured (%s or %s did not run)\n", ratio.label.c_str(),
                        ratio.measured.c_str(), ratio.baseline.c_str());
            continue;
        }
        std::printf("ratio %s: %.2fx (%.1f ns vs %.1f ns)", ratio.label.c_str(), measured / baseline,
                    measured, baseline);
        for (const std::string& counter : ratio.counters)
            std::printf("; %s: %g vs %g", counter.c_str(), reporter.counter(ratio.measured, counter),
                        reporter.counter(ratio.baseline, counter));
        std::printf("\n");
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    // Some benchmarks drive real widgets; without a display they run on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::fflush(stdout);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
