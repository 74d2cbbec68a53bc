// "Record Macro...": the macro recorder, offered while no recording runs.

#include "ActionFollowingRelevance.h"
#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"

#include "host/FilenameStrategy.h"
#include "host/SaveFileQtDialog.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "macro/MacroRecorderDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::MacroRecorderDialog;

QString tr(const char* text) {
    return QApplication::translate("MacroDemo", text);
}

void startRecording(DemoMainWindow& window, const QString& fileName) {
    MacroRecorderDialog* recorder = MacroRecorderDialog::getInstance(window, fileName.toStdString());
    recorder->connectToSignalMacroRecordingFinished(
        [&window, fileName] { window.showStatus(tr("Macro recording finished: %1").arg(fileName)); });
    recorder->launch();
}

void install(DemoMainWindow& window) {
    QAction* record = window.addCommand(tr("Record Macro..."), [&window] {
        using qelmar::sdk::ui::FilenameStrategy;
        const auto& names = FilenameStrategy::getManager();
        qelmar::sdk::ui::dialogs::SaveFileQtDialog dialog(
            &window, tr("Record Macro"), names.getDefaultDirectory(FilenameStrategy::FileCategory_Macro),
            names.getDefaultFileName(FilenameStrategy::FileCategory_Macro),
            tr("Macro Files (*.mcr)").toStdString(), QStringLiteral("macro_record.html"));
        if (dialog.launch())
            startRecording(window, QString::fromStdString(dialog.selectedFilename()));
    });
    new ActionFollowingRelevance(record, MacroRecorderDialog::relevance());
}

bool clickRecorderButton(TourContext& tour, const char* objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* recorder = dynamic_cast<MacroRecorderDialog*>(widget);
        if (auto* button =
                recorder ? recorder->findChild<QAbstractButton*>(QLatin1String(objectName)) : nullptr) {
            button->click();
            return true;
        }
    }
    tour.fail(QStringLiteral("the macro recorder has no %1").arg(QLatin1String(objectName)));
    return false;
}

void runTour(TourContext& tour) {
    const QString macroFile = tour.filePath(QStringLiteral("tour.mcr"));
    QAction* record = nullptr;
    for (QAction* action : tour.window().fileMenu()->actions()) {
        if (action->text() == tr("Record Macro..."))
            record = action;
    }
    if (!record || !record->isEnabled()) {
        tour.fail(QStringLiteral("\"Record Macro...\" is not offered"));
        return;
    }

    // The recorder tells once per process that auto redraw is off while recording.
    tour.modalAnswers().pressOk();
    startRecording(tour.window(), macroFile);
    auto* recorder = MacroRecorderDialog::getInstance(tour.window(), macroFile.toStdString());
    if (!tour.waitFor([recorder] { return recorder->isVisible(); }) || record->isEnabled()) {
        tour.fail(QStringLiteral("the macro recorder did not open, or recording can start twice"));
        return;
    }

    tour.modalAnswers().enterText(QStringLiteral("Don't move"));
    if (!clickRecorderButton(tour, "insertPause_Button"))
        return;
    // Switching graphics is confirmed first.
    tour.kernel().answerNextQuestions({true, true});
    if (!clickRecorderButton(tour, "suspendGraphics_Button") ||
        !clickRecorderButton(tour, "unsuspendGraphics_Button"))
        return;
    tour.modalAnswers().enterText(QStringLiteral("$!REDRAWALL"));
    if (!clickRecorderButton(tour, "insertCommand_Button"))
        return;
    tour.screenshot(*recorder, QStringLiteral("macro_recorder.png"),
                    QStringLiteral("the macro recorder while recording"));

    tour.kernel().answerNextQuestions({true});
    if (!clickRecorderButton(tour, "stop_Button"))
        return;
    if (!tour.waitFor([record] { return record->isEnabled(); })) {
        tour.fail(QStringLiteral("stopping did not end the recording"));
        return;
    }
    tour.recordFile(QStringLiteral("tour.mcr"), QStringLiteral("the recorded macro"));
}

const DemoFeatureRegistration registration{{10, install, runTour}};

} // namespace
} // namespace qelmar::demo
