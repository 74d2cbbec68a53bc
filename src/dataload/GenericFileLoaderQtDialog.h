#pragma once

#include "host/DataLoaderInterface.h"
#include "host/DialogsExport.h"
#include "host/QExtendedFileDialog.h"

#include <memory>
#include <string>
#include <vector>

class QModelIndex;

namespace qelmar::dialogs::io {

// The application's file dialog extended for data loaders: the file types are the loaders, a
// check box asks for the chosen loader's advanced options, and for loaders that take several
// files an additional-files list collects files from several folders before loading.
class QELMAR_DIALOGS_EXPORT GenericFileLoaderQtDialog : public sdk::ui::dialogs::QExtendedFileDialog {
    Q_OBJECT

public:
    // Starts on the first loader whose file type begins with `loaderName` (case-sensitive);
    // an empty name keeps the first loader.
    GenericFileLoaderQtDialog(QWidget& parent, const std::string& loaderName, const std::string& directory);
    ~GenericFileLoaderQtDialog() override;

    // Runs the dialog modally and returns its result code. Without any loader there is nothing
    // to choose: the user is told so and the dialog is not shown.
    int launch();
    // The additional files in their order, then the selected files that exist as files and are
    // not in that list yet; UTF-8, native separators.
    std::vector<std::string> files() const;
    sdk::ui::DataLoaderPtr selectedLoader() const;
    bool isQelmarLayoutLoaderSelected() const;
    bool advancedOptionsSelected() const;

    void setVisible(bool visible) override;

public Q_SLOTS:
    void accept() override;
    void advancedOptionsStateChanged(int state);
    void onAddToListClicked();
    void indexChanged(int index);
    void openButtonClicked();
    void onFileDoubleClicked(const QModelIndex& index);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::dialogs::io
