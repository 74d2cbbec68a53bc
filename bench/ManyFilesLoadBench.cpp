// Loading many files against one file of the same size, through the Delimited Text loader's
// whole path; and, with a progress callback that pumps events as a host's window does, how long
// the event loop waits at most and how soon a cancel returns.

#include "bench/BenchRatios.h"
#include "host/KernelDataLoadProgress.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

constexpr int manyFiles = 500;
constexpr int rowsPerFile = 10000;

void writeRows(QFile& out, int firstRow, int rows) {
    std::string text;
    for (int row = firstRow; row < firstRow + rows; ++row) {
        text += std::to_string(row) + ',' + std::to_string(10.0 + (row % 977) * 0.013) + ',' +
                std::to_string(1000.0 - (row % 431) * 0.07) + '\n';
    }
    out.write(text.data(), static_cast<qint64>(text.size()));
}

// 500 files of 10,000 rows and one file of all their rows, written once per run.
struct Files {
    QTemporaryDir folder;
    std::vector<std::string> many;
    std::string one;
};

const Files& files() {
    static const Files written = [] {
        Files made;
        const QString header = QStringLiteral("Time,Temperature,Pressure\n");
        QFile whole(made.folder.filePath(QStringLiteral("all.csv")));
        whole.open(QIODevice::WriteOnly);
        whole.write(header.toUtf8());
        for (int file = 0; file < manyFiles; ++file) {
            const QString path =
                made.folder.filePath(QStringLiteral("station-%1.csv").arg(file, 3, 10, QLatin1Char('0')));
            QFile out(path);
            out.open(QIODevice::WriteOnly);
            out.write(header.toUtf8());
            writeRows(out, file * rowsPerFile, rowsPerFile);
            writeRows(whole, file * rowsPerFile, rowsPerFile);
            made.many.push_back(path.toStdString());
        }
        made.one = whole.fileName().toStdString();
        return made;
    }();
    return written;
}

bool load(const std::vector<std::string>& paths) {
    return qelmar::standin::makeDelimitedTextLoader()->load(nullptr, paths, false,
                                                            qelmar::dataload::ReplaceAndResetStyle);
}

// A kernel with one frame to load into, as the application has.
struct Application {
    KernelTestControl kernel;
    ApplicationTestControl app;
    Application() { app.addFrame(app.addPage("Page"), "Frame"); }
};

void BM_LoadManyFiles(benchmark::State& state) {
    const Application application;
    const std::vector<std::string>& paths = files().many;
    for (auto _ : state) {
        if (!load(paths)) {
            state.SkipWithError("the files did not load");
            break;
        }
    }
    state.counters["files"] = manyFiles;
}

void BM_LoadOneFileOfTheSameSize(benchmark::State& state) {
    const Application application;
    const std::vector<std::string> paths{files().one};
    for (auto _ : state) {
        if (!load(paths)) {
            state.SkipWithError("the file did not load");
            break;
        }
    }
}

// The host's side: every report pumps the event loop, the gaps between reports are the longest
// the loop waits, and a cancel is answered at the next report.
struct PumpingHost {
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int cancelAtFile = -1;
    QElapsedTimer sinceCancel;

    static bool report(const DataLoadProgress_s* progress, void* client) {
        auto& self = *static_cast<PumpingHost*>(client);
        if (self.sinceTick.isValid())
            self.longestGap = std::max(self.longestGap, self.sinceTick.nsecsElapsed());
        QCoreApplication::processEvents();
        self.sinceTick.start();
        if (progress->phase == DataLoadPhase_Reading && progress->filesDone == self.cancelAtFile) {
            if (!self.sinceCancel.isValid())
                self.sinceCancel.start();
            return false;
        }
        return true;
    }
};

void BM_LoadHundredFilesPumpingEvents(benchmark::State& state) {
    const Application application;
    const std::vector<std::string> paths(files().many.begin(), files().many.begin() + 100);
    double longestGapMs = 0;
    double cancelMs = 0;
    for (auto _ : state) {
        PumpingHost host;
        QelUtilDataLoadSetProgressCallback(PumpingHost::report, &host);
        load(paths);
        longestGapMs = std::max(longestGapMs, static_cast<double>(host.longestGap) / 1e6);

        PumpingHost cancelling;
        cancelling.cancelAtFile = 50;
        QelUtilDataLoadSetProgressCallback(PumpingHost::report, &cancelling);
        load(paths);
        cancelMs = std::max(cancelMs, static_cast<double>(cancelling.sinceCancel.nsecsElapsed()) / 1e6);
        QelUtilDataLoadSetProgressCallback(nullptr, nullptr);
    }
    state.counters["longest_gap_ms"] = longestGapMs;
    state.counters["cancel_to_return_ms"] = cancelMs;
}

} // namespace

BENCHMARK(BM_LoadManyFiles)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOneFileOfTheSameSize)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHundredFilesPumpingEvents)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration manyFilesLoad{
    "Delimited Text, 500 files of 10,000 rows loaded together vs one file of the same size (aim <= 1.3)",
    "BM_LoadManyFiles/iterations:1/repeats:3", "BM_LoadOneFileOfTheSameSize/iterations:1/repeats:3"};
const qelmar::bench::RatioRegistration progressPumping{
    "Delimited Text, 100 files with a progress callback pumping events vs 500 files without (gap aim < 100 "
    "ms)",
    "BM_LoadHundredFilesPumpingEvents/iterations:1/repeats:3",
    "BM_LoadManyFiles/iterations:1/repeats:3",
    {"longest_gap_ms", "cancel_to_return_ms"}};
