#include "bench/BenchRatios.h"
#include "dataload/GenericFileLoaderQtDialog.h"
#include "framework/dataload/StandardDataLoaders.h"

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

constexpr int fileCount = 20000;
constexpr int loadTimeoutMilliseconds = 120000;

struct Folders {
    QTemporaryDir full;
    QTemporaryDir empty;
    bool ready = false;

    Folders() {
        if (!full.isValid() || !empty.isValid())
            return;
        for (int i = 0; i < fileCount; ++i) {
            QFile file(full.filePath(QStringLiteral("run%1.csv").arg(i, 5, 10, QLatin1Char('0'))));
            if (!file.open(QIODevice::WriteOnly))
                return;
        }
        ready = true;
    }
};

// Made once, with the loaders the dialog offers: neither is part of what is measured.
Folders& folders() {
    static Folders instance;
    static const bool loadersInstalled = [] {
        qelmar::standin::installStandardDataLoaders();
        return true;
    }();
    (void)loadersInstalled;
    return instance;
}

// Runs the event loop until the dialog's model has listed the folder and shows all its rows.
bool waitUntilListed(GenericFileLoaderQtDialog& dialog, const QString& folder, int expectedRows) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return false;
    const QString cleanFolder = QDir::cleanPath(folder);
    bool loaded = false;
    const auto listed = [&] { return loaded && model->rowCount(model->index(cleanFolder)) >= expectedRows; };
    QEventLoop loop;
    const auto check = [&] {
        if (listed())
            loop.quit();
    };
    const QMetaObject::Connection onLoaded =
        QObject::connect(model, &QFileSystemModel::directoryLoaded, &loop, [&](const QString& path) {
            if (QDir::cleanPath(path) == cleanFolder)
                loaded = true;
            check();
        });
    const QMetaObject::Connection onRows =
        QObject::connect(model, &QFileSystemModel::rowsInserted, &loop, check);
    QTimer::singleShot(loadTimeoutMilliseconds, &loop, &QEventLoop::quit);
    dialog.show();
    if (!listed())
        loop.exec();
    QObject::disconnect(onLoaded);
    QObject::disconnect(onRows);
    return listed();
}

void measureOpening(benchmark::State& state, const QString& folder, int expectedRows) {
    if (!folders().ready) {
        state.SkipWithError("could not create the folders");
        return;
    }
    QWidget parent;
    for (auto _ : state) {
        auto dialog =
            std::make_unique<GenericFileLoaderQtDialog>(parent, "Delimited Text", folder.toStdString());
        const bool listed = waitUntilListed(*dialog, folder, expectedRows);
        // Closing waits for the file system model's thread; that is no part of opening.
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
        if (!listed) {
            state.SkipWithError("the file list did not fill in time");
            break;
        }
    }
}

void BM_LoadDataDialogOn20000Files(benchmark::State& state) {
    measureOpening(state, folders().full.path(), fileCount);
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
