#include "host/SaveFileQtDialog.h"

#include "host/FilenameStrategy.h"
#include "host/LaunchHelpAction.h"
#include "host/QExtendedFileDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>

namespace qelmar::sdk::ui::dialogs {

namespace {

QStringList toQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const auto& text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

// "Binary Data Files (*.plt *.dat)" -> "plt"; empty when the first pattern is no plain
// extension ("*", "*.*", "data*").
QString suffixOfFilter(const QString& filter) {
    static const QRegularExpression patternsInParentheses(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = patternsInParentheses.match(filter);
    const QString patterns = match.hasMatch() ? match.captured(1) : filter;
    const QString first = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QLatin1String("*.")))
        return QString();
    const QString suffix = first.mid(2);
    static const QRegularExpression wildcards(QStringLiteral("[*?\\[\\]]"));
    return suffix.contains(wildcards) ? QString() : suffix;
}

QString defaultFolder() {
    return QString::fromStdString(
        FilenameStrategy::getManager().getDefaultDirectory(FilenameStrategy::FileCategory_DataFile));
}

// A path names its own folder when it is one, else the folder it lies in; a folder that is
// not there gives way to the default folder.
QString startFolder(const QString& startPath, const QString& fileName) {
    QString folder;
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        folder = start.isDir() ? start.absoluteFilePath() : start.absolutePath();
    } else if (QDir::isAbsolutePath(fileName)) {
        folder = QFileInfo(fileName).absolutePath();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return defaultFolder();
    return QDir::cleanPath(folder);
}

QString proposedName(const QString& fileName, const QString& filter) {
    const QString name = QFileInfo(fileName).fileName();
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    const QString suffix = suffixOfFilter(filter);
    return suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix;
}

} // namespace

struct SaveFileQtDialog::Impl {
    QPointer<QExtendedFileDialog> dialog;
    QStringList filters;

    Impl(QWidget* parent, const QString& title, const QString& folder) {
        dialog = new QExtendedFileDialog(parent, title, folder);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    }

    ~Impl() { delete dialog.data(); }

    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void setFilters(const QStringList& filterTexts, int initialIndex) {
        filters = filterTexts;
        if (filters.isEmpty())
            return;
        dialog->setNameFilters(filters);
        followFilterWithDefaultSuffix();
        const int index = initialIndex >= 0 && initialIndex < filters.size() ? initialIndex : 0;
        dialog->selectNameFilter(filters.at(index));
        dialog->setDefaultSuffix(suffixOfFilter(filters.at(index)));
    }

    // The combo changes both when the user picks a filter and when code selects one, while
    // filterSelected only tells about the user.
    void followFilterWithDefaultSuffix() {
        QComboBox* combo = dialog->fileTypeCombo();
        if (!combo)
            return;
        QFileDialog* fileDialog = dialog;
        QObject::connect(combo, &QComboBox::currentIndexChanged, fileDialog, [fileDialog](int index) {
            fileDialog->setDefaultSuffix(suffixOfFilter(fileDialog->nameFilters().value(index)));
        });
    }

    void proposeName(const QString& fileName) {
        const QString name = proposedName(fileName, dialog->selectedNameFilter());
        if (name.isEmpty())
            return;
        dialog->selectFile(name);
    }

    void addHelpButton(const QString& page) {
        QDialogButtonBox* buttons = dialog->buttonBox();
        if (page.isEmpty() || !buttons)
            return;
        auto* help = new LaunchHelpAction(page, dialog);
        // A custom button: the dialog replaces its standard buttons when its mode changes.
        QPushButton* button = buttons->addButton(help->text(), QDialogButtonBox::HelpRole);
        button->setObjectName(QStringLiteral("helpButton"));
        button->setAutoDefault(false);
        QObject::connect(buttons, &QDialogButtonBox::helpRequested, help, &QAction::trigger);
    }
};

SaveFileQtDialog::SaveFileQtDialog(QWidget* parent, const QString& title, const std::string& startPath,
                                   const std::string& fileName, const std::vector<std::string>& filterTexts,
                                   int initialFilterIndex, const QString& helpPage)
    : m_impl(std::make_unique<Impl>(
          parent, title, startFolder(QString::fromStdString(startPath), QString::fromStdString(fileName)))) {
    m_impl->setFilters(toQStringList(filterTexts), initialFilterIndex);
    m_impl->proposeName(QString::fromStdString(fileName));
    m_impl->addHelpButton(helpPage);
}

SaveFileQtDialog::SaveFileQtDialog(QWidget* parent, const QString& title, const std::string& startPath,
                                   const std::string& fileName, const std::string& filterText,
                                   const QString& helpPage)
    : SaveFileQtDialog(parent, title, startPath, fileName,
                       filterText.empty() ? std::vector<std::string>() : std::vector<std::string>{filterText},
                       0, helpPage) {}

SaveFileQtDialog::~SaveFileQtDialog() = default;

bool SaveFileQtDialog::launch() {
    if (!m_impl->dialog)
        return false;
    return m_impl->dialog->exec() == QDialog::Accepted;
}

std::string SaveFileQtDialog::selectedFilename() const {
    if (!m_impl->dialog)
        return std::string();
    const QString file = m_impl->dialog->selectedFiles().value(0);
    if (file.isEmpty())
        return std::string();
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString();
}

std::string SaveFileQtDialog::selectedFilter() const {
    return m_impl->dialog ? m_impl->dialog->selectedNameFilter().toStdString() : std::string();
}

int SaveFileQtDialog::selectedWriter() const {
    if (!m_impl->dialog)
        return -1;
    return static_cast<int>(m_impl->filters.indexOf(m_impl->dialog->selectedNameFilter()));
}

QExtendedFileDialog* SaveFileQtDialog::dialog() const {
    return m_impl->dialog;
}

} // namespace qelmar::sdk::ui::dialogs
