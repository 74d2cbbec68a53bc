#include "bench/BenchRatios.h"
#include "bench/LargeFolder.h"
#include "host/QExtendedFileDialog.h"
#include "host/SaveFileQtDialog.h"

#include <benchmark/benchmark.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIcon>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// Opening the save-file dialog on a folder of 20,000 files until its file list is complete,
// against the same on an empty folder, and against the toolkit's own dialog on the same folder.
// The toolkit's dialog gets an icon provider as plain as ours: its default one asks the MIME
// database about every file, and comparing with that would credit our dialog with the provider
// rather than with anything it does itself.

namespace {

using qelmar::sdk::ui::dialogs::SaveFileQtDialog;

// Made once: creating the files is no part of what is measured.
qelmar::bench::LargeAndEmptyFolders& folders() {
    static qelmar::bench::LargeAndEmptyFolders instance(QStringLiteral("plt"));
    return instance;
}

std::unique_ptr<SaveFileQtDialog> makeSaveDialog(const QString& folder) {
    return std::make_unique<SaveFileQtDialog>(
        nullptr, QStringLiteral("Write Data Set"), folder.toStdString(), "untitled",
        std::vector<std::string>{"Binary Data Files (*.plt)"}, 0, QStringLiteral("write_data_file.html"));
}

// What our dialogs' provider does: no icons, a type named after the suffix.
class PlainIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType) const override { return QIcon(); }
    QIcon icon(const QFileInfo&) const override { return QIcon(); }
    QString type(const QFileInfo& file) const override {
        return file.isDir() ? QStringLiteral("Folder") : QStringLiteral("%1 File").arg(file.suffix());
    }
};

std::unique_ptr<QFileDialog> makeToolkitDialog(const QString& folder) {
    static PlainIconProvider provider; // outlives every dialog, as the model's thread may still ask
    auto dialog = std::make_unique<QFileDialog>(nullptr, QStringLiteral("Write Data Set"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(&provider);
    dialog->setNameFilter(QStringLiteral("Binary Data Files (*.plt)"));
    dialog->setDirectory(folder);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->selectFile(QStringLiteral("untitled.plt"));
    return dialog;
}

QFileDialog& fileDialogOf(SaveFileQtDialog& dialog) {
    return *dialog.dialog();
}
QFileDialog& fileDialogOf(QFileDialog& dialog) {
    return dialog;
}

template <typename Make>
void measureOpening(benchmark::State& state, const QString& folder, int expectedRows, Make make) {
    qelmar::bench::timeOpeningUntilListed(state, folders().ready, folder, expectedRows, make,
                                          [](auto& dialog) -> QFileDialog& { return fileDialogOf(dialog); });
}

void BM_SaveDialogOn20000Files(benchmark::State& state) {
    measureOpening(state, folders().full.path(), qelmar::bench::largeFolderFileCount, makeSaveDialog);
}
BENCHMARK(BM_SaveDialogOn20000Files)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveDialogOnEmptyFolder(benchmark::State& state) {
    measureOpening(state, folders().empty.path(), 0, makeSaveDialog);
}
BENCHMARK(BM_SaveDialogOnEmptyFolder)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ToolkitFileDialogOn20000Files(benchmark::State& state) {
    measureOpening(state, folders().full.path(), qelmar::bench::largeFolderFileCount, makeToolkitDialog);
}
BENCHMARK(BM_ToolkitFileDialogOn20000Files)->Unit(benchmark::kMillisecond)->Iterations(3);

const qelmar::bench::RatioRegistration fullOverEmpty{"save dialog on 20,000 files / on an empty folder",
                                                     "BM_SaveDialogOn20000Files/iterations:5",
                                                     "BM_SaveDialogOnEmptyFolder/iterations:20"};
const qelmar::bench::RatioRegistration againstToolkit{
    "save dialog on 20,000 files / toolkit's file dialog, both with a plain icon provider",
    "BM_SaveDialogOn20000Files/iterations:5", "BM_ToolkitFileDialogOn20000Files/iterations:3"};

} // namespace
