#pragma once

#include <QFileDialog>

#include <memory>

class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListView;
class QSplitter;
class QToolButton;
class QTreeView;

namespace qelmar::sdk::ui::dialogs {

// The application's file dialog: always the toolkit's own (non-native) dialog, so that dialogs
// can add controls to its grid layout and reach its widgets through the accessors below. It
// never looks up per-file icons or types, so it opens quickly on folders with many thousands
// of files.
// QFileDialog's filterSelected(const QString&) tells when the user picks another filter.
class QExtendedFileDialog : public QFileDialog {
public:
    QExtendedFileDialog(QWidget* parent, const QString& caption, const QString& directory = QString(),
                        const QString& filter = QString());
    ~QExtendedFileDialog() override;

    // Checks the chosen files before the dialog accepts them; in save mode an existing file is
    // only accepted after the user confirmed to replace it. False keeps the dialog open.
    virtual bool performSelectedFileValidation();
    // The size the dialog opens with when no size was remembered.
    void setDefaultSize(const QSize& size);
    // Remembers the geometry under this settings key when the dialog closes and restores it
    // when it opens again, also in a later run.
    void setGeometryPersistenceKey(const QString& key);

    void accept() override;

    // The toolkit's widgets of the dialog; null if a toolkit version lacks one.
    QGridLayout* gridLayout() const;
    QLineEdit* fileNameEdit() const;
    QLabel* fileNameLabel() const;
    QComboBox* fileTypeCombo() const;
    QLabel* fileTypeLabel() const;
    QComboBox* lookInCombo() const;
    QLabel* lookInLabel() const;
    QDialogButtonBox* buttonBox() const;
    QListView* listView() const;
    QTreeView* treeView() const;
    QListView* sidebar() const;
    QSplitter* splitter() const;
    QToolButton* backButton() const;
    QToolButton* forwardButton() const;
    QToolButton* toParentButton() const;
    QToolButton* newFolderButton() const;
    QToolButton* listModeButton() const;
    QToolButton* detailModeButton() const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
