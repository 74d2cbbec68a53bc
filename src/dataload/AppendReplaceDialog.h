#pragma once

#include "host/DataLoadOption.h"
#include "host/DialogsExport.h"
#include "host/QtDialogAbstract.h"

#include <memory>

namespace qelmar::dialogs::io {

// Asks how newly loaded data joins the data the current frame already shows: replace it
// (resetting or retaining the style, in this frame or in every frame sharing the data set) or
// append it. One large button per choice; the pressed one closes the dialog.
class QELMAR_DIALOGS_EXPORT AppendReplaceDialog : public qelmar::sdk::ui::dialogs::QtDialogAbstract {
public:
    enum LoaderType { StandardLoader = 0, StyleRetainingLoader = 1, LayoutLoader = 2 };

    // A new dialog on every call, owned by the caller, who deletes it when done (hold it in a
    // std::unique_ptr). It is also a Qt child of `parent`: one never deleted would pile up
    // there until the parent goes.
    static AppendReplaceDialog* getInstance(LoaderType type, QWidget& parent);

    AppendReplaceDialog(LoaderType type, QWidget& parent);
    ~AppendReplaceDialog() override;

    void acceptOption(dataload::DataLoadOption option);
    // The pressed button's option; none when the dialog was cancelled.
    dataload::DataLoadOption loadOption() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
