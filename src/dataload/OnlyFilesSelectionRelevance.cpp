#include "dataload/OnlyFilesSelectionRelevance.h"

#include "dataload/GenericFileLoaderQtDialog.h"

#include <QFileSystemModel>
#include <QLineEdit>

#include <algorithm>
#include <filesystem>

namespace qelmar::dialogs::io {

namespace {

// Follows the file system's answer rather than the model's cache: a file deleted since the
// folder was listed no longer counts.
bool isExistingFile(const QString& name) {
    const std::string path = name.toUtf8().toStdString();
    if (path.empty())
        return false;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::u8path(path), error);
    return status.type() != std::filesystem::file_type::not_found &&
           status.type() != std::filesystem::file_type::none &&
           status.type() != std::filesystem::file_type::directory;
}

} // namespace

OnlyFilesSelectionRelevance::OnlyFilesSelectionRelevance(const QFileSystemModel& model,
                                                         const GenericFileLoaderQtDialog& dialog)
    : m_model(model)
    , m_dialog(dialog) {
    if (QLineEdit* edit = dialog.fileNameEdit())
        connect(edit, &QLineEdit::textChanged, this,
                &OnlyFilesSelectionRelevance::fileNameOrDirectoryChanged);
    connect(&model, &QFileSystemModel::rootPathChanged, this,
            &OnlyFilesSelectionRelevance::fileNameOrDirectoryChanged);
}

OnlyFilesSelectionRelevance::~OnlyFilesSelectionRelevance() = default;

bool OnlyFilesSelectionRelevance::isRelevant() const {
    const QStringList selected = m_dialog.selectedFiles();
    return std::any_of(selected.begin(), selected.end(), isExistingFile);
}

void OnlyFilesSelectionRelevance::fileNameOrDirectoryChanged() {
    emitRelevanceChanged();
}

} // namespace qelmar::dialogs::io
