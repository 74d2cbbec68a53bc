// "Record Macro...": the macro recorder, offered while no recording runs.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"

#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "macro/MacroRecorderDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::MacroRecorderDialog;

QString tr(const char* text)
{
    return QApplication::translate("MacroDemo", text);
}

void startRecording(DemoMainWindow& window, const QString& fileName)
{
    MacroRecorderDialog* recorder = MacroRecorderDialog::getInstance(window, fileName.toStdString());
    recorder->connectToSignalMacroRecordingFinished(
        [&window, fileName] { window.showStatus(tr("Macro recording finished: %1").arg(fileName)); });
    recorder->launch();
}

void install(DemoMainWindow& window)
{
    QAction* record = window.addCommand(tr("Record Macro..."), [&window] {
        const QString fileName = QFileDialog::getSaveFileName(&window, tr("Record Macro"), QString(),
                                                              tr("Macro Files (*.mcr)"));
        if (!fileName.isEmpty())
            startRecording(window, fileName);
    });
    const auto relevance = MacroRecorderDialog::relevance();
    record->setEnabled(relevance->isRelevant());
    // The connection lives as long as the relevance, which outlives the window's actions
    // only at process exit; the action is checked through a guarded pointer.
    relevance->connectToRelevanceChangedSignal(
        [action = QPointer<QAction>(record), relevance] {
            if (action)
                action->setEnabled(relevance->isRelevant());
        });
}

QAbstractButton* recorderButton(const char* objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* recorder = dynamic_cast<MacroRecorderDialog*>(widget))
            return recorder->findChild<QAbstractButton*>(QLatin1String(objectName));
    }
    return nullptr;
}

void runTour(TourContext& tour)
{
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
    recorderButton("insertPause_Button")->click();
    // Switching graphics is confirmed first.
    tour.kernel().answerNextQuestions({true, true});
    recorderButton("suspendGraphics_Button")->click();
    recorderButton("unsuspendGraphics_Button")->click();
    tour.modalAnswers().enterText(QStringLiteral("$!REDRAWALL"));
    recorderButton("insertCommand_Button")->click();
    tour.screenshot(*recorder, QStringLiteral("macro_recorder.png"), QStringLiteral("the macro recorder while recording"));

    tour.kernel().answerNextQuestions({true});
    recorderButton("stop_Button")->click();
    if (!tour.waitFor([record] { return record->isEnabled(); })) {
        tour.fail(QStringLiteral("stopping did not end the recording"));
        return;
    }
    tour.recordFile(QStringLiteral("tour.mcr"), QStringLiteral("the recorded macro"));
}

const DemoFeatureRegistration registration{{10, install, runTour}};

} // namespace
} // namespace qelmar::demo
