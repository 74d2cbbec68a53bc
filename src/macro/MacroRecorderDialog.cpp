#include "macro/MacroRecorderDialog.h"

#include "ui_MacroRecorder.h"

#include "host/AppLock.h"
#include "host/ButtonBinding.h"
#include "host/KernelMacro.h"
#include "host/LaunchHelpAction.h"
#include "macro/MacroRecorderPropertiesManager.h"
#include "util/DialogParts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace qelmar::dialogs::io {

using qelmar::sdk::ui::dialogs::ButtonBinding;
using qelmar::sdk::ui::propertymanager::MacroRecorderPropertiesManager;

namespace {

MacroRecorderDialog* dialogInstance = nullptr;

void forgetInstance(const MacroRecorderDialog* dialog) {
    if (dialogInstance == dialog)
        dialogInstance = nullptr;
}

QString trRecorder(const char* text) {
    return QCoreApplication::translate("MacroRecorderDialog", text);
}

// Asks for one line of text; empty when the user cancelled or entered nothing.
std::string askForText(QWidget* parent, const QString& label) {
    bool confirmed = false;
    const QString text = QInputDialog::getText(parent, trRecorder("Enter Text"), label, QLineEdit::Normal,
                                               QString(), &confirmed);
    if (!confirmed)
        return {};
    // Macro files are 8-bit; characters outside of it reach the kernel as the toolkit
    // converts them.
    return text.toLatin1().toStdString();
}

// The kernel's answers to QelAppRecordingLangauge().
enum RecordingLanguage_e { RecordingLanguage_Macro = 0, RecordingLanguage_Script = 1 };

QString titleForRecordingLanguage(int language) {
    switch (language) {
    case RecordingLanguage_Macro:
        return trRecorder("Macro Recorder");
    case RecordingLanguage_Script:
        return trRecorder("PyQelmar Recorder");
    default:
        return {};
    }
}

} // namespace

struct MacroRecorderDialog::Impl {
    Ui_MacroRecorder ui;
    // The recording state is the kernel's: the manager needs no property set.
    DialogParts<NoPropertySet, MacroRecorderPropertiesManager> parts;
    MacroRecorderPropertiesManager& manager = parts.manager();

    void bindPropertiesToControls(MacroRecorderDialog& dialog) {
        bind(*ui.insertCommand_Button, [this, &dialog] { onInsertCommandClicked(dialog); });
        bind(*ui.insertPause_Button, [this, &dialog] { onInsertPauseClicked(dialog); });
        bind(*ui.suspendGraphics_Button, [this] { manager.suspendGraphicsAction(); });
        bind(*ui.unsuspendGraphics_Button, [this] { manager.unSuspendGraphicsAction(); });
        bind(*ui.stop_Button, [this, &dialog] { stopAction(dialog); });
    }

    void bind(QAbstractButton& button, std::function<void()> action) {
        parts.bind<ButtonBinding>(button, std::move(action));
    }

    void onInsertPauseClicked(MacroRecorderDialog& dialog) {
        const std::string text =
            askForText(&dialog, trRecorder("This option generates a macro command that is saved to the\n"
                                           "file you are currently recording. Enter the text that you want\n"
                                           "to appear when the macro is played back."));
        if (!text.empty())
            manager.pauseAction(text);
    }

    void onInsertCommandClicked(MacroRecorderDialog& dialog) {
        const std::string text = askForText(
            &dialog,
            trRecorder("Enter the text for a RAW macro command to insert\ninto the recorded macro stream."));
        if (!text.empty())
            manager.insertCommandAction(text);
    }

    void stopAction(MacroRecorderDialog& dialog) {
        // The manager has released its lock when this returns, so listeners may call the kernel.
        if (manager.stopAction())
            dialog.m_signalMacroRecordingFinished();
    }

    static void showWarningMessage(MacroRecorderDialog& dialog) {
        static bool showAutoRedrawWhileRecordingMsg = true;
        if (!showAutoRedrawWhileRecordingMsg)
            return;
        QMessageBox::warning(
            &dialog, trRecorder("Information"),
            trRecorder("Auto Redraw will be disabled during macro recording. To update the plot "
                       "use the Redraw button on the Plot sidebar."),
            QMessageBox::Ok, QMessageBox::NoButton);
        showAutoRedrawWhileRecordingMsg = false;
    }
};

MacroRecorderDialog* MacroRecorderDialog::getInstance(QWidget& parent, const std::string& fileName) {
    if (!dialogInstance)
        dialogInstance = new MacroRecorderDialog(parent, fileName);
    return dialogInstance;
}

qelmar::sdk::ui::propertymanager::RelevancePtr MacroRecorderDialog::relevance() {
    return MacroRecorderPropertiesManager::relevance();
}

MacroRecorderDialog::MacroRecorderDialog(QWidget& parent, const std::string& fileName)
    : QtDialogAbstract(&parent, MacroRecorderPropertiesManager::okToKeepUpRelevance())
    , m_impl(std::make_unique<Impl>()) {
    // A recorder without a recording is of no use; the next one starts a new recording.
    setDeleteWhenDropped(true);
    m_impl->ui.setupUi(this);
    m_impl->bindPropertiesToControls(*this);
    m_impl->manager.startAction(fileName);
    Impl::showWarningMessage(*this);
    int language = 0;
    {
        const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
        language = QelAppRecordingLangauge();
    }
    setWindowTitle(titleForRecordingLanguage(language));
    setHelpAction(new qelmar::sdk::ui::LaunchHelpAction(QStringLiteral("macro_record.html"), this));
}

MacroRecorderDialog::~MacroRecorderDialog() {
    forgetInstance(this);
    m_impl.reset();
}

void MacroRecorderDialog::drop() {
    // A dropped window is deleted later; until then it must not be handed out again, or a host
    // that starts the next recording right away would get a window that records nothing.
    forgetInstance(this);
    // Without its window a recording could be neither stopped nor cancelled, and no new one
    // started: it ends here, keeping what the user recorded.
    const bool ended = m_impl->manager.endRecording();
    QtDialogAbstract::drop();
    if (ended)
        m_signalMacroRecordingFinished();
}

void MacroRecorderDialog::reject() {
    if (m_impl->manager.cancelAction())
        QtDialogAbstract::reject();
}

void MacroRecorderDialog::closeEvent(QCloseEvent* event) {
    if (m_impl->manager.cancelAction())
        QtDialogAbstract::closeEvent(event);
    else
        event->ignore();
}

boost::signals2::connection MacroRecorderDialog::connectToSignalMacroRecordingFinished(
    const MacroRecordingFinishedSignal::slot_type& slot) {
    auto connection = m_signalMacroRecordingFinished.connect(slot);
    signalMacroRecordingFinishedConnected();
    return connection;
}

void MacroRecorderDialog::signalMacroRecordingFinishedConnected() const {}

} // namespace qelmar::dialogs::io
