#pragma once

#include "host/DataLoaderInterface.h"
#include "host/DialogsExport.h"

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace qelmar::dialogs::io {

// The dialog the application loads data files with: the user picks a loader and its files,
// and optionally asks for the loader's advanced options. Typical use:
//   if (dialog.launch() == QDialog::Accepted)
//       dialog.selectedLoader()->load(parent, dialog.files(), dialog.advancedOptionsSelected(), option);
class QELMAR_DIALOGS_EXPORT GenericFileLoaderDialog {
public:
    GenericFileLoaderDialog(QWidget& parent, const std::string& loaderName, const std::string& directory);
    virtual ~GenericFileLoaderDialog();
    GenericFileLoaderDialog(const GenericFileLoaderDialog&) = delete;
    GenericFileLoaderDialog& operator=(const GenericFileLoaderDialog&) = delete;

    // Runs the dialog modally; the result code (QDialog::Accepted or QDialog::Rejected).
    int launch();
    int result() const;
    std::vector<std::string> files() const;
    sdk::ui::DataLoaderPtr selectedLoader() const;
    bool isQelmarLayoutLoaderSelected() const;
    bool advancedOptionsSelected() const;
    // The names in the file name field as the file dialog reads them, whether they exist or not.
    std::vector<std::string> filesInFileNameEditControl() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
