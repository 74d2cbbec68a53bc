#include "bench/BenchRatios.h"
#include "host/StringList.h"
#include "kernel/MatchVariables.h"
#include "kernel/StartupFolder.h"
#include "kernel/testing/KernelTestControl.h"
#include "postload/PostLoadOptionsDialog.h"
#include "postload/VariableAliasesApplier.h"
#include "postload/VariableAliasesFileParser.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// The "Variable Load and Combine" path at the scale of a campaign: hundreds of files of
// thousands of variables, as loggers of one kind write them. Each file shares most of its names
// with the others (most of them already in the data set, a few new to it) and has a few hundred
// of its own. Every bench runs a small case (30 files x 500 names) as its baseline, so the ratio
// shows how the work grows with 100 times the names.
//
// - opening: the kernel's callback through to the shown and painted window, accepted at once;
// - each command of the window, pressed on its button with rows selected in the views;
// - parsing an aliases file of a million groups, against 10,000 groups;
// - the aliases applier with one name held by 1,000 groups, over 100 files x 5,000 names, with
//   the growth of the peak resident memory it causes.

namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::sdk::ui::postload::VariableAliasesApplier;
using qelmar::sdk::ui::postload::VariableAliasesFileParser;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;
using Clock = std::chrono::steady_clock;

// Seconds of processor time this thread used: on a machine shared with builds the wall time
// also counts the time others had the processor, so both are printed.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Span {
    double wall = 0;
    double cpu = 0;
};

// Measures from construction until stop().
class Stopwatch {
public:
    Span stop() const {
        return {std::chrono::duration<double>(Clock::now() - m_wall).count(), threadSeconds() - m_cpu};
    }

private:
    Clock::time_point m_wall = Clock::now();
    double m_cpu = threadSeconds();
};

void reportSpans(benchmark::State& state, const std::vector<Span>& spans) {
    double cpu = 0;
    for (const Span& span : spans)
        cpu += span.cpu;
    state.counters["cpu_ms"] = spans.empty() ? 0 : 1000 * cpu / static_cast<double>(spans.size());
}

constexpr int smallFiles = 30, smallNames = 500;
constexpr int largeFiles = 300, largeNames = 5000;

int ownNamesPerFile(int varsPerFile) {
    return varsPerFile * 6 / 100;
}

std::string sharedName(int k) {
    return "Probe" + std::to_string(k % 97) + "_Channel" + std::to_string(k);
}

std::string ownName(int file, int k) {
    return "Logger" + std::to_string(file) + "_Sensor" + std::to_string(k);
}

std::string dataSetNameFor(int k) {
    return "Sensor" + std::to_string(k);
}

// The data set holds 90% of the shared names and, for each own name of a file, a variable that
// the aliases file ties to it in every file.
struct Load {
    StringList existing;
    std::vector<StringList> files;
    std::vector<StringList_s*> handles;
    int ownNames = 0;

    Load(int fileCount, int varsPerFile) {
        const int own = ownNames = ownNamesPerFile(varsPerFile);
        const int shared = varsPerFile - own;
        for (int k = 0; k < shared * 9 / 10; ++k)
            existing.append(sharedName(k));
        for (int k = 0; k < own; ++k)
            existing.append(dataSetNameFor(k));
        for (int file = 0; file < fileCount; ++file) {
            StringList names;
            for (int k = 0; k < shared; ++k)
                names.append(sharedName(k));
            for (int k = 0; k < own; ++k)
                names.append(ownName(file, k));
            files.push_back(std::move(names));
        }
        for (const StringList& file : files)
            handles.push_back(file.getRef());
        writeAliases(fileCount, own);
    }

    // The window reads the aliases file of the startup folder, which each load writes anew.
    static void writeAliases(int fileCount, int own) {
        static const QTemporaryDir startupFolder;
        qelmar::standin::setStartupFolder(startupFolder.path().toStdString());
        std::ofstream out(startupFolder.filePath(QStringLiteral("variable_aliases.txt")).toStdString(),
                          std::ios::binary);
        out << "#!QELMAR VA 1\n";
        for (int k = 0; k < own; ++k) {
            out << dataSetNameFor(k);
            for (int file = 0; file < fileCount; ++file)
                out << ';' << ownName(file, k);
            out << '\n';
        }
    }
};

QWidget& host() {
    static QWidget* widget = new QWidget;
    return *widget;
}

template <typename T = QPushButton> T& child(QDialog& dialog, const char* name) {
    return *dialog.findChild<T*>(QString::fromLatin1(name));
}

void selectRows(QListView& view, const std::vector<int>& rows) {
    QItemSelection selection;
    for (const int row : rows)
        selection.select(view.model()->index(row, 0), view.model()->index(row, 0));
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// Runs a load through the registered callback; `whileShown` runs in the shown window, after
// which the window is accepted. Returns the time from the call until the window was painted.
Span runLoad(Load& load, const std::function<void(QDialog&)>& whileShown) {
    PostLoadOptionsDialog::registerCallback(host());
    const Stopwatch opening;
    Span openSeconds;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->grab(); // paints every visible row of both lists
        openSeconds = opening.stop();
        if (whileShown)
            whileShown(*dialog);
        dialog->accept();
    });
    const StringList answer(qelmar::standin::matchVariables(load.existing.getRef(), load.handles.data(),
                                                            static_cast<long>(load.handles.size())));
    benchmark::DoNotOptimize(answer.size());
    return openSeconds;
}

void reportKernelMessages(benchmark::State& state, const KernelTestControl& kernel) {
    if (!kernel.messages().empty())
        state.SkipWithError(kernel.messages().front().text.c_str());
}

void BM_PostLoadOpen(benchmark::State& state) {
    KernelTestControl kernel;
    Load load(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<Span> spans;
    for (auto _ : state) {
        spans.push_back(runLoad(load, {}));
        state.SetIterationTime(spans.back().wall);
    }
    reportSpans(state, spans);
    reportKernelMessages(state, kernel);
    state.counters["names"] = static_cast<double>(state.range(0) * state.range(1));
}
BENCHMARK(BM_PostLoadOpen)
    ->Args({smallFiles, smallNames})
    ->Args({largeFiles, largeNames})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

enum Command { AddSelected, AddAll, Remove, Combine, Apply };

// Times one command in the shown window, after the steps a user would take before it.
Span timedCommand(Command command, QDialog& dialog, int ownNames) {
    auto& available = child<QListView>(dialog, "incomingVarList");
    auto& toLoad = child<QListView>(dialog, "varsToLoadList");
    const auto timed = [](const std::function<void()>& step) {
        const Stopwatch watch;
        step();
        return watch.stop();
    };
    const auto addTenRows = [&] {
        selectRows(available, {0, 3, 6, 9, 12, 15, 18, 21, 24, 27});
        child(dialog, "addVariable_pushButton").click();
    };
    switch (command) {
    case AddSelected:
        return timed(addTenRows);
    case AddAll:
        return timed([&] { child(dialog, "addVariable_pushButton_2").click(); });
    case Remove: {
        addTenRows();
        const int rows = toLoad.model()->rowCount();
        selectRows(toLoad, {rows - 10, rows - 9, rows - 8, rows - 7, rows - 6, rows - 5, rows - 4, rows - 3,
                            rows - 2, rows - 1});
        return timed([&] { child(dialog, "remove_pushButton").click(); });
    }
    case Combine: {
        // The first available name (file 0's own sensor 0) with the data set's variable for it.
        const int sensorRow = toLoad.model()->rowCount() - ownNames;
        selectRows(available, {0});
        selectRows(toLoad, {sensorRow});
        return timed([&] { child(dialog, "combine_pushButton").click(); });
    }
    case Apply:
        return timed([&] { child(dialog, "apply_Button").click(); });
    }
    return {};
}

void BM_PostLoadCommand(benchmark::State& state) {
    KernelTestControl kernel;
    const auto command = static_cast<Command>(state.range(0));
    Load load(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    std::vector<Span> spans;
    for (auto _ : state) {
        Span span;
        runLoad(load, [&](QDialog& dialog) { span = timedCommand(command, dialog, load.ownNames); });
        spans.push_back(span);
        state.SetIterationTime(span.wall);
    }
    reportSpans(state, spans);
    reportKernelMessages(state, kernel);
    state.counters["names"] = static_cast<double>(state.range(1) * state.range(2));
}

const char* const commandNames[] = {"Add Selected of 10 rows", "Add All", "Remove of 10 rows",
                                    "Combine of one pair", "Apply of the aliases file"};

void commandArguments(benchmark::internal::Benchmark* bench) {
    for (int command = AddSelected; command <= Apply; ++command) {
        bench->Args({command, smallFiles, smallNames});
        bench->Args({command, largeFiles, largeNames});
    }
}
BENCHMARK(BM_PostLoadCommand)
    ->Apply(commandArguments)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

std::string writeGroups(const QTemporaryDir& folder, int groups) {
    const std::string path = folder.filePath(QStringLiteral("aliases_%1.txt").arg(groups)).toStdString();
    std::ofstream out(path, std::ios::binary);
    out << "#!QELMAR VA 1\n# one group per variable of a campaign\n";
    for (int group = 0; group < groups; ++group)
        out << "Var" << group << "; var_" << group << " ;VAR " << group << "\t# station names\n";
    return path;
}

void BM_AliasesParse(benchmark::State& state) {
    KernelTestControl kernel;
    QTemporaryDir folder;
    const std::string path = writeGroups(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        VariableAliasesFileParser parser(path);
        benchmark::DoNotOptimize(parser.aliasesList().size());
    }
    reportKernelMessages(state, kernel);
    state.counters["groups"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_AliasesParse)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Kilobytes of a field of /proc/self/status ("VmRSS", "VmHWM"), or -1.
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// Resets the peak resident size to the current one, so that the peak after a run is its own.
bool resetPeakMemory() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

// Every file offers the shared name "T" among its own; 1,000 groups hold "T", only the last of
// them with a member in the to-load list. The files' other names are in no group.
void BM_AliasesApplier(benchmark::State& state) {
    KernelTestControl kernel;
    const int fileCount = static_cast<int>(state.range(0));
    const int varsPerFile = static_cast<int>(state.range(1));
    constexpr int groupsHoldingT = 1000;
    StringList existing;
    for (int k = 0; k < varsPerFile / 2; ++k)
        existing.append(sharedName(k));
    existing.append("Target");
    std::vector<StringList> files;
    for (int file = 0; file < fileCount; ++file) {
        StringList names;
        for (int k = 0; k < varsPerFile / 2; ++k)
            names.append(sharedName(k));
        names.append("T");
        for (int k = 1; k < varsPerFile - varsPerFile / 2; ++k)
            names.append(ownName(file, k));
        files.push_back(std::move(names));
    }
    std::vector<StringList> groups;
    for (int group = 0; group < groupsHoldingT; ++group)
        groups.push_back(StringList{"T", ("Elsewhere" + std::to_string(group)).c_str(),
                                    group + 1 == groupsHoldingT ? "Target" : "Nowhere"});
    std::vector<StringList_s*> fileHandles, groupHandles;
    for (const StringList& file : files)
        fileHandles.push_back(file.getRef());
    for (const StringList& group : groups)
        groupHandles.push_back(group.getRef());

    long peakGrowth = -1;
    for (auto _ : state) {
        state.PauseTiming();
        VariableAliasesApplier applier;
        applier.init(existing.getRef(), fileHandles);
        StringList toLoad(existing);
        std::vector<StringList> available;
        for (const StringList& file : files) {
            StringList own;
            for (long k = varsPerFile / 2; k < file.size(); ++k)
                own.append(file[k]);
            available.push_back(std::move(own));
        }
        std::vector<StringList_s*> availableHandles;
        for (const StringList& list : available)
            availableHandles.push_back(list.getRef());
        const bool peakKnown = resetPeakMemory();
        const long before = statusKilobytes("VmRSS");
        state.ResumeTiming();

        const auto attached = applier.apply(groupHandles, toLoad.getRef(), availableHandles);

        state.PauseTiming();
        if (peakKnown && before >= 0)
            peakGrowth = std::max(peakGrowth, statusKilobytes("VmHWM") - before);
        benchmark::DoNotOptimize(attached.size());
        state.ResumeTiming();
    }
    reportKernelMessages(state, kernel);
    state.counters["names"] = static_cast<double>(fileCount) * varsPerFile;
    state.counters["peakGrowthMB"] = peakGrowth < 0 ? -1.0 : peakGrowth / 1024.0;
}
BENCHMARK(BM_AliasesApplier)
    ->Args({1, 5000})
    ->Args({100, 5000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration opening{
    "Variable Load and Combine opened and painted, 300x5,000 vs 30x500 names (100x the work; aim: "
    "under 1 s, at most 120x)",
    "BM_PostLoadOpen/300/5000/iterations:3/manual_time",
    "BM_PostLoadOpen/30/500/iterations:3/manual_time",
    {"names"}};

struct CommandRatios {
    std::vector<qelmar::bench::RatioRegistration> ratios;
    CommandRatios() {
        for (int command = AddSelected; command <= Apply; ++command) {
            const std::string prefix = "BM_PostLoadCommand/" + std::to_string(command) + "/";
            ratios.emplace_back(
                std::string(commandNames[command]) + " on 300x5,000 vs 30x500 names (aim: under 100 ms)",
                prefix + "300/5000/iterations:2/manual_time", prefix + "30/500/iterations:2/manual_time",
                std::vector<std::string>{"names"});
        }
    }
} commandRatios;

const qelmar::bench::RatioRegistration parsing{
    "Aliases file parsed, 1,000,000 vs 10,000 groups (100x the work; aim: under 2 s, at most 120x)",
    "BM_AliasesParse/1000000",
    "BM_AliasesParse/10000",
    {"groups"}};

const qelmar::bench::RatioRegistration applying{
    "Aliases applier, one name in 1,000 groups, 100 files vs 1 file of 5,000 names (100x the "
    "names; aim: under 1 s and 500 MB)",
    "BM_AliasesApplier/100/5000/iterations:3",
    "BM_AliasesApplier/1/5000/iterations:3",
    {"names", "peakGrowthMB"}};

} // namespace
