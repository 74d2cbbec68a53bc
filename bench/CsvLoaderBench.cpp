#include "bench/BenchRatios.h"
#include "loaders/DelimitedText.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

namespace {

constexpr int csvColumns = 10;
constexpr qint64 csvBytes = 100 * 1000 * 1000;
// Every so many fields is missing ("NA"), and the header names are quoted, so that the loader's
// missing-value and quoting paths are part of what is timed.
constexpr int missingEvery = 97;

// What the file holds, to check that a timed load read all of it right: the number of rows and
// the sum of every value in millionths (exact, whatever the order of adding), missing ones left out.
struct CsvContents {
    std::string path;
    std::size_t rows = 0;
    std::size_t missing = 0;
    long long microSum = 0;
};

// About 100 MB of random numbers with six decimals in ten columns, written once per run.
const CsvContents& numericCsv() {
    static QTemporaryDir folder;
    static const CsvContents contents = [] {
        CsvContents written;
        const QString file = folder.filePath("numbers.csv");
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return written;
        std::mt19937_64 random(7);
        std::uniform_int_distribution<long long> micros(-1000000000LL, 1000000000LL);
        std::string line;
        for (int column = 0; column < csvColumns; ++column)
            line += (column ? ",\"v" : "\"v") + std::to_string(column) + '"';
        out.write(line.data(), static_cast<qint64>(line.size()));
        std::size_t field = 0;
        char buffer[32];
        while (out.size() < csvBytes) {
            line = "\n";
            for (int column = 0; column < csvColumns; ++column, ++field) {
                if (column)
                    line += ',';
                if (field % missingEvery == 0) {
                    line += "NA";
                    ++written.missing;
                    continue;
                }
                const long long value = micros(random);
                written.microSum += value;
                const auto end = std::to_chars(buffer, buffer + sizeof buffer,
                                               static_cast<double>(value) / 1e6, std::chars_format::fixed, 6)
                                     .ptr;
                line.append(buffer, end);
            }
            out.write(line.data(), static_cast<qint64>(line.size()));
            ++written.rows;
        }
        out.write("\n", 1);
        written.path = file.toStdString();
        return written;
    }();
    return contents;
}

// Empty when the table holds what was written, else what differs.
std::string mismatchOf(const qelmar::standin::ZoneValues& table, const CsvContents& expected) {
    if (table.values.size() != static_cast<std::size_t>(csvColumns))
        return "wrong number of columns";
    std::size_t missing = 0;
    long long microSum = 0;
    for (const auto& column : table.values) {
        if (column.size() != expected.rows)
            return "wrong number of rows";
        for (const double value : column) {
            if (std::isnan(value))
                ++missing;
            else
                microSum += std::llround(value * 1e6);
        }
    }
    if (missing != expected.missing)
        return "wrong number of missing values";
    return microSum == expected.microSum ? std::string() : "the values' checksum differs";
}

// Debian's interpreter, which sees Debian's pandas, even when another python3 comes first in PATH.
QString debianPython() {
    return QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

void BM_CsvLoaderParse(benchmark::State& state) {
    const CsvContents& csv = numericCsv();
    for (auto _ : state) {
        const auto table = qelmar::standin::readDelimitedText(csv.path, {});
        state.PauseTiming();
        const std::string mismatch = mismatchOf(table, csv);
        state.ResumeTiming();
        if (!mismatch.empty()) {
            state.SkipWithError(("the loader read the file wrong: " + mismatch).c_str());
            break;
        }
    }
    state.counters["MB"] = static_cast<double>(QFile(QString::fromStdString(csv.path)).size()) / 1e6;
    state.counters["rows"] = static_cast<double>(csv.rows);
}

// pandas.read_csv timed inside Python, so that starting the interpreter and importing pandas
// are not counted against it.
void BM_PandasReadCsv(benchmark::State& state) {
    const std::string& path = numericCsv().path;
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
