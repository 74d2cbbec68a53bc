#include "bench/BenchRatios.h"
#include "framework/dataload/DelimitedText.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <charconv>
#include <random>
#include <string>

namespace {

constexpr int csvColumns = 10;
constexpr qint64 csvBytes = 100 * 1000 * 1000;

// About 100 MB of random numbers in ten columns, written once per run.
const std::string& numericCsv() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const QString file = folder.filePath("numbers.csv");
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return std::string();
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> value(-1000.0, 1000.0);
        std::string line;
        for (int column = 0; column < csvColumns; ++column)
            line += (column ? ",v" : "v") + std::to_string(column);
        out.write(line.data(), static_cast<qint64>(line.size()));
        char buffer[32];
        while (out.size() < csvBytes) {
            line = "\n";
            for (int column = 0; column < csvColumns; ++column) {
                if (column)
                    line += ',';
                const auto end =
                    std::to_chars(buffer, buffer + sizeof buffer, value(random), std::chars_format::fixed, 6)
                        .ptr;
                line.append(buffer, end);
            }
            out.write(line.data(), static_cast<qint64>(line.size()));
        }
        out.write("\n", 1);
        return file.toStdString();
    }();
    return path;
}

// Debian's interpreter, which sees Debian's pandas, even when another python3 comes first in PATH.
QString debianPython() {
    return QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

void BM_CsvLoaderParse(benchmark::State& state) {
    const std::string& path = numericCsv();
    for (auto _ : state) {
        const auto table = qelmar::standin::readDelimitedText(path, {});
        benchmark::DoNotOptimize(table.values.data());
    }
    state.counters["MB"] = static_cast<double>(QFile(QString::fromStdString(path)).size()) / 1e6;
}

// pandas.read_csv timed inside Python, so that starting the interpreter and importing pandas
// are not counted against it.
void BM_PandasReadCsv(benchmark::State& state) {
    const std::string& path = numericCsv();
    const QString script = "import sys, time\n"
                           "try:\n    import pandas\nexcept ImportError:\n    sys.exit(3)\n"
                           "start = time.perf_counter()\npandas.read_csv(sys.argv[1])\n"
                           "print(time.perf_counter() - start)\n";
    for (auto _ : state) {
        QProcess python;
        python.start(debianPython(), {"-c", script, QString::fromStdString(path)});
        if (!python.waitForFinished(600000) || python.exitCode() != 0) {
            state.SkipWithError(python.exitCode() == 3 ? "pandas is not installed (Debian: python3-pandas)"
                                                       : "python3 could not run pandas.read_csv");
            break;
        }
        state.SetIterationTime(python.readAllStandardOutput().trimmed().toDouble());
    }
}

} // namespace

BENCHMARK(BM_CsvLoaderParse)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PandasReadCsv)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration csvParse{
    "Delimited text, 100 MB of numbers in 10 columns: loader vs pandas read_csv",
    "BM_CsvLoaderParse/iterations:1/repeats:3", "BM_PandasReadCsv/iterations:1/repeats:3/manual_time"};
