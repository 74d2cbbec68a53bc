#include "bench/BenchRatios.h"
#include "bench/LargeFolder.h"
#include "dataload/GenericFileLoaderQtDialog.h"
#include "loaders/StandardDataLoaders.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <memory>

// Opening the load-data dialog on a folder of 20,000 CSV files until its file list is complete,
// against the same on an empty folder: the custom controls and the loaders' filters must not
// make a large folder slower than the save dialog finds it.

namespace {

using qelmar::dialogs::io::GenericFileLoaderQtDialog;

// Made once, with the loaders the dialog offers: neither is part of what is measured.
qelmar::bench::LargeAndEmptyFolders& folders() {
    static qelmar::bench::LargeAndEmptyFolders instance(QStringLiteral("csv"));
    static const bool loadersInstalled = [] {
        qelmar::standin::installStandardDataLoaders();
        return true;
    }();
    (void)loadersInstalled;
    return instance;
}

void measureOpening(benchmark::State& state, const QString& folder, int expectedRows) {
    QWidget parent;
    const auto make = [&parent](const QString& start) {
        return std::make_unique<GenericFileLoaderQtDialog>(parent, "Delimited Text", start.toStdString());
    };
    qelmar::bench::timeOpeningUntilListed(state, folders().ready, folder, expectedRows, make,
                                          [](QFileDialog& dialog) -> QFileDialog& { return dialog; });
}

void BM_LoadDataDialogOn20000Files(benchmark::State& state) {
    measureOpening(state, folders().full.path(), qelmar::bench::largeFolderFileCount);
}
BENCHMARK(BM_LoadDataDialogOn20000Files)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadDataDialogOnEmptyFolder(benchmark::State& state) {
    measureOpening(state, folders().empty.path(), 0);
}
BENCHMARK(BM_LoadDataDialogOnEmptyFolder)->Unit(benchmark::kMillisecond)->Iterations(20);

const qelmar::bench::RatioRegistration fullOverEmpty{"load-data dialog on 20,000 files / on an empty folder",
                                                     "BM_LoadDataDialogOn20000Files/iterations:5",
                                                     "BM_LoadDataDialogOnEmptyFolder/iterations:20"};

} // namespace
