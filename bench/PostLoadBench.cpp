#include "bench/BenchRatios.h"
#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"
#include "postload/PostLoadOptionsPropertiesManager.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

// Opening the "Variable Load and Combine" state for a multi-file load, applying an aliases file of
// 500 groups and adding every remaining name: 50 files of 2,000 variables against 5 files of 200,
// which is 100 times the names. Half of each file's names are shared with the data set, half are
// the file's own; each group ties a variable of the data set to one file's own name.

namespace {

using qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

constexpr int aliasGroups = 500;

struct LoadData {
    StringList existing;
    std::vector<StringList> files;
    std::vector<StringList_s*> handles;
};

LoadData makeLoad(int fileCount, int varsPerFile) {
    LoadData data;
    const int shared = varsPerFile / 2;
    for (int k = 0; k < shared; ++k)
        data.existing.append("C" + std::to_string(k));
    for (int file = 0; file < fileCount; ++file) {
        StringList names;
        for (int k = 0; k < shared; ++k)
            names.append("C" + std::to_string(k));
        for (int k = 0; k < varsPerFile - shared; ++k)
            names.append("F" + std::to_string(file) + "_" + std::to_string(k));
        data.files.push_back(std::move(names));
    }
    for (const StringList& file : data.files)
        data.handles.push_back(file.getRef());
    return data;
}

std::string writeAliases(const QTemporaryDir& folder, int fileCount) {
    const QString path = folder.filePath(QStringLiteral("variable_aliases.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!QELMAR VA 1\n# one name of one file for each of the first variables\n");
    for (int group = 0; group < aliasGroups; ++group) {
        const std::string line = "C" + std::to_string(group) + ";F" + std::to_string(group % fileCount) +
                                 "_" + std::to_string(group) + "\n";
        file.write(line.c_str());
    }
    return path.toStdString();
}

void runLoad(benchmark::State& state, int fileCount, int varsPerFile) {
    KernelTestControl kernel;
    QTemporaryDir folder;
    const std::string aliases = writeAliases(folder, fileCount);
    LoadData data = makeLoad(fileCount, varsPerFile);
    for (auto _ : state) {
        PostLoadOptionsPropertiesManager manager;
        manager.filePath()->setValue(aliases);
        manager.initializeManager(data.existing.getRef(), data.handles.data(), fileCount);
        // Aliases first, so that they find names to attach; then everything left is added.
        manager.applyVarAliases();
        manager.addAll();
        StringList toLoad(manager.varNamesToLoad());
        benchmark::DoNotOptimize(toLoad.size());
        // The stand-in kernel journals every call; an earlier run's journal is not this run's cost.
        state.PauseTiming();
        kernel.clearJournal();
        state.ResumeTiming();
    }
    if (!kernel.messages().empty())
        state.SkipWithError(kernel.messages().front().text.c_str());
    state.counters["names"] = static_cast<double>(fileCount) * varsPerFile;
}

void BM_PostLoadSmall(benchmark::State& state) {
    runLoad(state, 5, 200);
}
BENCHMARK(BM_PostLoadSmall)->Unit(benchmark::kMillisecond);

void BM_PostLoadLarge(benchmark::State& state) {
    runLoad(state, 50, 2000);
}
BENCHMARK(BM_PostLoadLarge)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration postLoad{
    "Variable load and combine, 50x2,000 vs 5x200 names (100x the work)",
    "BM_PostLoadLarge",
    "BM_PostLoadSmall",
    {"names"}};

} // namespace
