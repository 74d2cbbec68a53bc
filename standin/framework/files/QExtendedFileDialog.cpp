#include "host/QExtendedFileDialog.h"

#include "host/KernelMessages.h"

#include "framework/dialog/WidgetGeometryPersistence.h"

#include <QAbstractFileIconProvider>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QShowEvent>
#include <QSplitter>
#include <QTemporaryFile>
#include <QToolButton>
#include <QTreeView>

namespace qelmar::sdk::ui::dialogs {

namespace {

// The default provider asks the MIME database about every file, which makes a folder with
// thousands of files open slowly. The model's gatherer thread asks it, so it keeps no state.
// The type must not be empty: the model takes a file whose information equals that of its
// new, empty entry for unchanged and never lists it.
class PlainFileIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType) const override { return QIcon(); }
    QIcon icon(const QFileInfo&) const override { return QIcon(); }
    QString type(const QFileInfo& file) const override {
        if (file.isDir())
            return translate("Folder");
        const QString suffix = file.suffix();
        return suffix.isEmpty() ? translate("File") : translate("%1 File").arg(suffix);
    }

private:
    static QString translate(const char* text) {
        return QCoreApplication::translate("QExtendedFileDialog", text);
    }
};

// Shared by all dialogs and never destroyed before them: a file system model may still ask
// it while its dialog is being torn down.
QAbstractFileIconProvider* plainIconProvider() {
    static PlainFileIconProvider provider;
    return &provider;
}

QString tr(const char* text) {
    return QCoreApplication::translate("QExtendedFileDialog", text);
}

void showError(const QString& text) {
    QelUtilDialogMessageBox(text.toUtf8().constData(), MessageBox_Error);
}

bool userConfirmsReplacing(const QFileInfo& file) {
    const QString question = tr("%1 already exists.\nDo you want to replace it?").arg(file.fileName());
    return QelUtilDialogMessageBox(question.toUtf8().constData(), MessageBox_Question);
}

// Why nothing can be created in the folder, from the system's refusal of a probe file: a
// read-only file system and a folder without permission look alike to a permission check, and
// root passes that check where the system still refuses. Empty when the folder takes files.
QString whyFolderRefusesFiles(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
    return probe.open() ? QString() : probe.errorString();
}

// Refuses a file whose folder cannot take it, before the user fills in anything else.
bool folderCanTake(const QFileInfo& file) {
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir()) {
        showError(tr("Cannot save \"%1\":\nthe folder %2 does not exist.")
                      .arg(file.fileName(), QDir::toNativeSeparators(folder.absoluteFilePath())));
        return false;
    }
    const QString refusal = whyFolderRefusesFiles(folder.absoluteFilePath());
    if (!refusal.isEmpty()) {
        showError(tr("Cannot save \"%1\":\nthe folder %2 cannot be written (%3).")
                      .arg(file.fileName(), QDir::toNativeSeparators(folder.absoluteFilePath()), refusal));
        return false;
    }
    return true;
}

// The toolkit looks for a typed folder relative to the process's folder rather than the
// dialog's, so "results" would become the file "results.lay" instead of opening the folder.
bool openTypedFolder(QExtendedFileDialog& dialog) {
    QLineEdit* edit = dialog.fileNameEdit();
    const QString typed = edit ? edit->text() : QString();
    if (typed.isEmpty() || typed.contains(QLatin1Char('"')))
        return false;
    const QFileInfo target(dialog.directory().absoluteFilePath(typed));
    if (!target.isDir())
        return false;
    dialog.setDirectory(target.absoluteFilePath());
    edit->clear();
    return true;
}

// The toolkit names the widgets of its own dialog; only here are they looked up by name.
template <class Widget> Widget* toolkitChild(const QFileDialog& dialog, const char* objectName) {
    return dialog.findChild<Widget*>(QLatin1String(objectName));
}

} // namespace

struct QExtendedFileDialog::Impl {
    QSize defaultSize;
    WidgetGeometryPersistence geometry;
};

QExtendedFileDialog::QExtendedFileDialog(QWidget* parent, const QString& caption, const QString& directory,
                                         const QString& filter)
    // Folder and filter come only after the icon provider is in place, so the first listing
    // already runs without icon lookups.
    : QFileDialog(parent, caption)
    , m_impl(std::make_unique<Impl>()) {
    setOption(DontUseNativeDialog);
    // Overwriting is confirmed by performSelectedFileValidation, through the kernel's question.
    setOption(DontConfirmOverwrite);
    setOption(DontResolveSymlinks);
    setIconProvider(plainIconProvider());
    if (!filter.isEmpty())
        setNameFilter(filter);
    if (!directory.isEmpty())
        setDirectory(directory);
}

QExtendedFileDialog::~QExtendedFileDialog() = default;

bool QExtendedFileDialog::performSelectedFileValidation() {
    if (acceptMode() != AcceptSave)
        return true;
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return true;
    const QFileInfo file(files.first());
    // A folder is not a choice: the toolkit's dialog opens it.
    if (file.isDir())
        return true;
    if (!folderCanTake(file))
        return false;
    return !file.exists() || userConfirmsReplacing(file);
}

void QExtendedFileDialog::setDefaultSize(const QSize& size) {
    m_impl->defaultSize = size;
    if (!isVisible() && size.isValid())
        resize(size);
}

void QExtendedFileDialog::setGeometryPersistenceKey(const QString& key) {
    m_impl->geometry.setKey(key);
}

void QExtendedFileDialog::accept() {
    if (openTypedFolder(*this) || !performSelectedFileValidation())
        return;
    QFileDialog::accept();
}

void QExtendedFileDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_impl->geometry.restore(*this) && m_impl->defaultSize.isValid())
        resize(m_impl->defaultSize);
    QFileDialog::showEvent(event);
}

void QExtendedFileDialog::done(int result) {
    m_impl->geometry.save(*this);
    QFileDialog::done(result);
}

QGridLayout* QExtendedFileDialog::gridLayout() const {
    return qobject_cast<QGridLayout*>(layout());
}

QLineEdit* QExtendedFileDialog::fileNameEdit() const {
    return toolkitChild<QLineEdit>(*this, "fileNameEdit");
}

QLabel* QExtendedFileDialog::fileNameLabel() const {
    return toolkitChild<QLabel>(*this, "fileNameLabel");
}

QComboBox* QExtendedFileDialog::fileTypeCombo() const {
    return toolkitChild<QComboBox>(*this, "fileTypeCombo");
}

QLabel* QExtendedFileDialog::fileTypeLabel() const {
    return toolkitChild<QLabel>(*this, "fileTypeLabel");
}

QComboBox* QExtendedFileDialog::lookInCombo() const {
    return toolkitChild<QComboBox>(*this, "lookInCombo");
}

QLabel* QExtendedFileDialog::lookInLabel() const {
    return toolkitChild<QLabel>(*this, "lookInLabel");
}

QDialogButtonBox* QExtendedFileDialog::buttonBox() const {
    return toolkitChild<QDialogButtonBox>(*this, "buttonBox");
}

QListView* QExtendedFileDialog::listView() const {
    return toolkitChild<QListView>(*this, "listView");
}

QTreeView* QExtendedFileDialog::treeView() const {
    return toolkitChild<QTreeView>(*this, "treeView");
}

QListView* QExtendedFileDialog::sidebar() const {
    return toolkitChild<QListView>(*this, "sidebar");
}

QSplitter* QExtendedFileDialog::splitter() const {
    return toolkitChild<QSplitter>(*this, "splitter");
}

QToolButton* QExtendedFileDialog::backButton() const {
    return toolkitChild<QToolButton>(*this, "backButton");
}

QToolButton* QExtendedFileDialog::forwardButton() const {
    return toolkitChild<QToolButton>(*this, "forwardButton");
}

QToolButton* QExtendedFileDialog::toParentButton() const {
    return toolkitChild<QToolButton>(*this, "toParentButton");
}

QToolButton* QExtendedFileDialog::newFolderButton() const {
    return toolkitChild<QToolButton>(*this, "newFolderButton");
}

QToolButton* QExtendedFileDialog::listModeButton() const {
    return toolkitChild<QToolButton>(*this, "listModeButton");
}

QToolButton* QExtendedFileDialog::detailModeButton() const {
    return toolkitChild<QToolButton>(*this, "detailModeButton");
}

} // namespace qelmar::sdk::ui::dialogs
