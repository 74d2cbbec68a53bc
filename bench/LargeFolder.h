#pragma once

// What the file dialog benchmarks share: a folder of 20,000 empty files beside an empty folder,
// a wait until a file dialog has listed a folder completely, and the timing of opening one.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>

namespace qelmar::bench {

constexpr int largeFolderFileCount = 20000;
constexpr int folderListingTimeoutMilliseconds = 120000;

struct LargeAndEmptyFolders {
    QTemporaryDir full;
    QTemporaryDir empty;
    bool ready = false;

    // The files are named run00000 to run19999 with the extension given.
    explicit LargeAndEmptyFolders(const QString& extension) {
        if (!full.isValid() || !empty.isValid())
            return;
        for (int i = 0; i < largeFolderFileCount; ++i) {
            QFile file(
                full.filePath(QStringLiteral("run%1.%2").arg(i, 5, 10, QLatin1Char('0')).arg(extension)));
            if (!file.open(QIODevice::WriteOnly))
                return;
        }
        ready = true;
    }
};

// Shows the dialog and runs the event loop until its model has listed the folder and holds all
// its rows, or the timeout passed; true when listed.
inline bool showUntilListed(QFileDialog& dialog, const QString& folder, int expectedRows) {
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
    QTimer::singleShot(folderListingTimeoutMilliseconds, &loop, &QEventLoop::quit);
    dialog.show();
    if (!listed())
        loop.exec();
    QObject::disconnect(onLoaded);
    QObject::disconnect(onRows);
    return listed();
}

// Times opening the file dialog `make(folder)` gives until it lists the folder's expected rows.
// `fileDialogOf` finds the file dialog in what `make` made.
template <typename Make, typename FileDialogOf>
void timeOpeningUntilListed(benchmark::State& state, bool foldersReady, const QString& folder,
                            int expectedRows, Make make, FileDialogOf fileDialogOf) {
    if (!foldersReady) {
        state.SkipWithError("could not create the folders");
        return;
    }
    for (auto _ : state) {
        auto dialog = make(folder);
        const bool listed = showUntilListed(fileDialogOf(*dialog), folder, expectedRows);
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

} // namespace qelmar::bench
