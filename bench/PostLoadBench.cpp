#include "bench/BenchRatios.h"
#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"
#include "postload/PostLoadOptionsPropertiesManager.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

// Opening the "Variable Load and Combine" state for a multi-file load, applying an aliases file
// and adding every remaining name: 50 files of 2,000 variables against 5 files of 200, which is
// 100 times the names, and 5 files of 20,000 (many names per file). Half of each file's names are
// shared with the data set, half are the file's own. The aliases file grows with the data, as a
// real one written for such files does: the data set has one variable of its own for each of a
// file's own names, and one group ties it to that name in every file.

namespace {

using qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

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
    for (int k = 0; k < varsPerFile - shared; ++k)
        data.existing.append("D" + std::to_string(k));
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

// Group k: "Dk;F0_k;F1_k;...", the data set's own variable and every file's k-th own name.
std::string writeAliases(const QTemporaryDir& folder, int fileCount, int varsPerFile) {
    const QString path = folder.filePath(QStringLiteral("variable_aliases.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!QELMAR VA 1\n# the data set's own variables and each file's name for them\n");
    for (int group = 0; group < varsPerFile - varsPerFile / 2; ++group) {
        std::string line = "D" + std::to_string(group);
        for (int owner = 0; owner < fileCount; ++owner)
            line += ";F" + std::to_string(owner) + "_" + std::to_string(group);
        line += "\n";
        file.write(line.c_str());
    }
    return path.toStdString();
}

void runLoad(benchmark::State& state, int fileCount, int varsPerFile) {
    KernelTestControl kernel;
    QTemporaryDir folder;
    const std::string aliases = writeAliases(folder, fileCount, varsPerFile);
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

// Argument: names per file. Doubling them shows whether the work grows in proportion.
void BM_PostLoadWide(benchmark::State& state) {
    runLoad(state, 5, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PostLoadWide)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration postLoad{
    "Variable load and combine, 50x2,000 vs 5x200 names (100x the work)",
    "BM_PostLoadLarge",
    "BM_PostLoadSmall",
    {"names"}};
const qelmar::bench::RatioRegistration postLoadWide{
    "Variable load and combine, 5x20,000 vs 5x200 names (100x the work)",
    "BM_PostLoadWide/20000",
    "BM_PostLoadSmall",
    {"names"}};
const qelmar::bench::RatioRegistration postLoadDoubled{
    "Variable load and combine, 5x20,000 vs 5x10,000 names (2x the work)",
    "BM_PostLoadWide/20000",
    "BM_PostLoadWide/10000",
    {"names"}};

} // namespace
