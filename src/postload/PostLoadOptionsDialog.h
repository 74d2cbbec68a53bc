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
    // registration.
    static void registerCallback(QWidget& parent);
    // The one dialog, created with `parent` on the first call.
    static PostLoadOptionsDialog* getInstance(QWidget& parent);

    explicit PostLoadOptionsDialog(QWidget& parent);
    ~PostLoadOptionsDialog() override;

private:
    static StringList_s* static_matchVariablesCallback(StringList_s* existing, StringList_s* const* incoming,
                                                       long incomingCount, long clientData);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
