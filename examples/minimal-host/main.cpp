// Opens the macro recorder and the save-layout dialog as a host application does, with the
// stand-in package's standard data loaders installed, then quits. Built with Qt's keywords on, as
// most hosts are.
// Nobody answers a modal dialog in a headless run, so each one is answered by a timer.

#include "host/DataLoaderRepository.h"
#include "layout/SaveLayoutDialog.h"
#include "loaders/StandardDataLoaders.h"
#include "macro/MacroRecorderDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using qelmar::dialogs::io::MacroRecorderDialog;
using qelmar::dialogs::io::SaveLayoutDialog;

namespace {

void say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Saves into the file dialog's folder under the given name; closes any other modal dialog.
void answerModalDialog(const QString& fileName) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        say(QStringLiteral("file dialog \"%1\": saving as %2").arg(files->windowTitle(), fileName));
        files->selectFile(fileName);
        static_cast<QDialog*>(files)->accept(); // the file dialog's own accept checks the name
        return;
    }
    say(QStringLiteral("closing \"%1\"").arg(modal->windowTitle()));
    modal->close();
}

bool recordMacro(QWidget& host, const QString& fileName) {
    QPointer<MacroRecorderDialog> recorder = MacroRecorderDialog::getInstance(host, fileName.toStdString());
    recorder->launch();
    const bool opened = recorder->isVisible();
    say(QStringLiteral("macro recorder %1").arg(opened ? "opened" : "did not open"));
    delete recorder.data();
    return opened;
}

bool saveLayout(QWidget& host, const QString& folder) {
    SaveLayoutDialog dialog(&host, folder.toStdString(), "host.lay");
    if (!dialog.launch()) {
        say(QStringLiteral("save-layout dialog was cancelled"));
        return false;
    }
    const bool saved = dialog.saveLayout();
    const QString written = QString::fromStdString(dialog.selectedFilename());
    say(QStringLiteral("layout %1 %2")
            .arg(written, saved && QFileInfo::exists(written) ? "written" : "not written"));
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QTemporaryDir folder;
    QWidget host;
    host.setObjectName(QStringLiteral("host"));

    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout,
                     [&folder] { answerModalDialog(folder.filePath(QStringLiteral("host.lay"))); });
    answerer.start(50);

    qelmar::standin::installStandardDataLoaders();
    const auto loaders = qelmar::sdk::ui::DataLoaderRepository::getInstance().dataLoaderInterfaces(true);
    say(QStringLiteral("%1 data loaders installed").arg(loaders.size()));

    const bool recorded = recordMacro(host, folder.filePath(QStringLiteral("host.mcr")));
    const bool saved = saveLayout(host, folder.path());
    return recorded && saved && !loaders.empty() ? 0 : 1;
}
