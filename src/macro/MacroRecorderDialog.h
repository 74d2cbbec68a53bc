#pragma once

#include "host/DialogsExport.h"
#include "host/QtDialogAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/Signal.h"

#include <memory>
#include <string>

namespace qelmar::dialogs::io {

// The macro recorder window. It exists exactly while a macro is recorded: opening it starts
// the recording, Stop ends it and closing or cancelling it cancels the recording after the
// user confirmed. One window per process.
class QELMAR_DIALOGS_EXPORT MacroRecorderDialog : public qelmar::sdk::ui::dialogs::QtDialogAbstract {
public:
    using MacroRecordingFinishedSignal = qelmar::Signal<void()>;

    // The existing window, or a new one that starts recording into fileName. While a window
    // exists both arguments are ignored; a dropped window (stopped, cancelled or refused by the
    // kernel) no longer counts, even before it is deleted. The caller does not own the window:
    // it is a Qt child of the first call's parent and deletes itself once dropped.
    static MacroRecorderDialog* getInstance(QWidget& parent, const std::string& fileName);
    // True while no recording runs: the host offers to record a macro only then.
    static qelmar::sdk::ui::propertymanager::RelevancePtr relevance();

    MacroRecorderDialog(QWidget& parent, const std::string& fileName);
    ~MacroRecorderDialog() override;

    void reject() override;
    void drop() override;

    // Emitted when the user stopped the recording with the Stop button.
    boost::signals2::connection
    connectToSignalMacroRecordingFinished(const MacroRecordingFinishedSignal::slot_type& slot);

protected:
    void closeEvent(QCloseEvent* event) override;
    virtual void signalMacroRecordingFinishedConnected() const;

private:
    MacroRecordingFinishedSignal m_signalMacroRecordingFinished;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
