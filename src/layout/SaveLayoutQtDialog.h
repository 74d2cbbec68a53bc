#pragma once

#include "host/DialogsExport.h"
#include "host/SaveFileQtDialog.h"
#include "layout/SaveLayoutDialog.h"

#include <memory>
#include <string>

namespace qelmar::dialogs::io {

// The save-file dialog for layouts: the file type decides whether data is included, and a check
// box below the file list shows the one option that applies to it.
class QELMAR_DIALOGS_EXPORT SaveLayoutQtDialog : public sdk::ui::dialogs::SaveFileQtDialog {
    Q_OBJECT

public:
    SaveLayoutQtDialog(QWidget* parent, const std::string& startPath, const std::string& fileName);
    ~SaveLayoutQtDialog() override;

    SaveLayoutDialog::FileType fileType() const;
    // Saves the layout into the accepted file with the options shown; true when it was saved.
    bool saveLayout();

public Q_SLOTS:
    // Includes data exactly when the filter is the package's.
    void changeFilter(const QString& filter);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
