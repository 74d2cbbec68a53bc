#include "macro/MacroRecorderDialog.h"

#include "ui_MacroRecorder.h"

#include "host/AppLock.h"
#include "host/ButtonBinding.h"
#include "host/KernelMacro.h"
#include "host/LaunchHelpAction.h"
#include "macro/MacroRecorderPropertiesManager.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <vector>

namespace qelmar::dialogs::io {

using qelmar::sdk::ui::dialogs::BindingInterface;
using qelmar::sdk::ui::dialogs::ButtonBinding;
using qelmar::sdk::ui::propertymanager::MacroRecorderPropertiesManager;

namespace {

MacroRecorderDialog* dialogInstance = nullptr;

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

QString titleForRecordingLanguage(int language) {
    switch (language) {
    case 0:
        return trRecorder("Macro Recorder");
    case 1:
        return trRecorder("PyQelmar Recorder");
    default:
        return {};
    }
}

} // namespace

struct MacroRecorderDialog::Impl {
    Ui_MacroRecorder ui;
    MacroRecorderPropertiesManager manager;
    std::vector<std::unique_ptr<BindingInterface>> bindings;

    ~Impl() {
        // The bindings call into the manager, so they go first, newest first.
        while (!bindings.empty())
            bindings.pop_back();
    }

    void bindPropertiesToControls(MacroRecorderDialog& dialog) {
        bind(*ui.insertCommand_Button, [this, &dialog] { onInsertCommandClicked(dialog); });
        bind(*ui.insertPause_Button, [this, &dialog] { onInsertPauseClicked(dialog); });
        bind(*ui.suspendGraphics_Button, [this] { manager.suspendGraphicsAction(); });
        bind(*ui.unsuspendGraphics_Button, [this] { manager.unSuspendGraphicsAction(); });
        bind(*ui.stop_Button, [this, &dialog] { stopAction(dialog); });
    }

    void bind(QAbstractButton& button, std::function<void()> action) {
        bindings.push_back(std::make_unique<ButtonBinding>(button, std::move(action)));
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
        qelmar::sdk::AppLock lock(0);
        language = QelAppRecordingLangauge();
    }
    setWindowTitle(titleForRecordingLanguage(language));
    setHelpAction(new qelmar::sdk::ui::LaunchHelpAction(QStringLiteral("macro_record.html"), this));
}

MacroRecorderDialog::~MacroRecorderDialog() {
    if (dialogInstance == this)
        dialogInstance = nullptr;
    m_impl.reset();
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
