#pragma once

#include "host/DialogsExport.h"
#include "host/QtDialogAbstract.h"

#include <memory>

class QWidget;
struct StringList_s;

namespace qelmar::dialogs::io {

// The modal "Variable Load and Combine" window. Once registered, the kernel calls it whenever
// the files of one load carry different variables; the user decides which variables the data set
// gets and which names of the files fill them.
class QELMAR_DIALOGS_EXPORT PostLoadOptionsDialog : public qelmar::sdk::ui::dialogs::QtDialogAbstract {
public:
    // Registers the kernel callback once; later calls do nothing. The parent must outlive the
    // registration: the callback opens the dialog over it.
    static void registerCallback(QWidget& parent);
    // The one dialog, created with `parent` on the first call; later calls ignore the argument.
    // The dialog is a Qt child of that parent, which deletes it; the caller does not own it. A
    // host may delete it earlier, and the next call then makes a new one.
    static PostLoadOptionsDialog* getInstance(QWidget& parent);

    explicit PostLoadOptionsDialog(QWidget& parent);
    ~PostLoadOptionsDialog() override;

private:
    // The kernel's callback. The lists it is given stay the kernel's; the answer is a new list
    // that the kernel takes over (it frees it), or null when the user cancelled.
    static StringList_s* static_matchVariablesCallback(StringList_s* existing, StringList_s* const* incoming,
                                                       long incomingCount, void* clientData);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
