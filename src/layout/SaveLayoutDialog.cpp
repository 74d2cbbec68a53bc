#include "layout/SaveLayoutDialog.h"

#include "layout/SaveLayoutQtDialog.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qelmar::dialogs::io {

namespace {

struct FileTypeInfo {
    QString description;
    QString pattern;
    SaveLayoutDialog::FileType fileType;
};

const std::vector<FileTypeInfo> supportedFileTypes{
    {QString::fromLatin1(QT_TRANSLATE_NOOP("SaveLayoutDialog", "Linked Data")), QStringLiteral("*.lay"),
     SaveLayoutDialog::LinkedData},
    {QString::fromLatin1(QT_TRANSLATE_NOOP("SaveLayoutDialog", "Packaged Data")), QStringLiteral("*.lpk"),
     SaveLayoutDialog::PackagedData},
};

std::vector<std::string> makeFilterDescriptions() {
    std::vector<std::string> descriptions;
    descriptions.reserve(supportedFileTypes.size());
    for (const FileTypeInfo& info : supportedFileTypes) {
        const QString description =
            QCoreApplication::translate("SaveLayoutDialog", info.description.toUtf8());
        descriptions.push_back(QStringLiteral("%1 (%2)").arg(description, info.pattern).toStdString());
    }
    return descriptions;
}

} // namespace

struct SaveLayoutDialog::Impl {
    SaveLayoutQtDialog dialog;

    Impl(QWidget* parent, const std::string& startPath, const std::string& fileName)
        : dialog(parent, startPath, fileName) {}
};

SaveLayoutDialog::SaveLayoutDialog(QWidget* parent, const std::string& startPath, const std::string& fileName)
    : m_impl(std::make_unique<Impl>(parent, startPath, fileName)) {}

SaveLayoutDialog::~SaveLayoutDialog() = default;

bool SaveLayoutDialog::launch() {
    return m_impl->dialog.launch();
}

bool SaveLayoutDialog::saveLayout() {
    return m_impl->dialog.saveLayout();
}

SaveLayoutDialog::FileType SaveLayoutDialog::fileType() const {
    return m_impl->dialog.fileType();
}

std::string SaveLayoutDialog::selectedFilename() const {
    return m_impl->dialog.selectedFilename();
}

std::string SaveLayoutDialog::selectedFilter() const {
    return m_impl->dialog.selectedFilter();
}

int SaveLayoutDialog::selectedWriter() const {
    return m_impl->dialog.selectedWriter();
}

const std::vector<std::string>& SaveLayoutDialog::filterDescriptions() {
    static const std::vector<std::string> descriptions = makeFilterDescriptions();
    return descriptions;
}

std::string SaveLayoutDialog::filterForType(FileType type) {
    for (std::size_t index = 0; index < supportedFileTypes.size(); ++index) {
        if (supportedFileTypes[index].fileType == type)
            return filterDescriptions()[index];
    }
    return filterDescriptions().front();
}

SaveLayoutDialog::FileType SaveLayoutDialog::lookupFileType(const QString& filterText) {
    const std::string wanted = filterText.toStdString();
    const std::vector<std::string>& descriptions = filterDescriptions();
    for (std::size_t index = 0; index < descriptions.size(); ++index) {
        if (descriptions[index] == wanted)
            return supportedFileTypes[index].fileType;
    }
    return LinkedData;
}

int SaveLayoutDialog::chooseFilterId(const std::string& fileName) {
    const QString pattern = QStringLiteral("*.") + QFileInfo(QString::fromStdString(fileName)).suffix();
    for (std::size_t index = 0; index < supportedFileTypes.size(); ++index) {
        if (supportedFileTypes[index].pattern.compare(pattern, Qt::CaseInsensitive) == 0)
            return static_cast<int>(index);
    }
    return 0;
}

} // namespace qelmar::dialogs::io
