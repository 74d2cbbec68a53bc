#include "dataload/GenericFileLoaderDialog.h"

#include "dataload/GenericFileLoaderQtDialog.h"

#include <QPointer>

namespace qelmar::dialogs::io {

struct GenericFileLoaderDialog::Impl {
    // The parent deletes the dialog if it goes first.
    QPointer<GenericFileLoaderQtDialog> dialog;

    Impl(QWidget& parent, const std::string& loaderName, const std::string& directory)
        : dialog(new GenericFileLoaderQtDialog(parent, loaderName, directory)) {}
    ~Impl() { delete dialog.data(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
};

GenericFileLoaderDialog::GenericFileLoaderDialog(QWidget& parent, const std::string& loaderName,
                                                 const std::string& directory)
    : m_impl(std::make_unique<Impl>(parent, loaderName, directory)) {}

GenericFileLoaderDialog::~GenericFileLoaderDialog() = default;

int GenericFileLoaderDialog::launch() {
    return m_impl->dialog ? m_impl->dialog->launch() : QDialog::Rejected;
}

int GenericFileLoaderDialog::result() const {
    return m_impl->dialog ? m_impl->dialog->result() : QDialog::Rejected;
}

std::vector<std::string> GenericFileLoaderDialog::files() const {
    return m_impl->dialog ? m_impl->dialog->files() : std::vector<std::string>();
}

sdk::ui::DataLoaderPtr GenericFileLoaderDialog::selectedLoader() const {
    return m_impl->dialog ? m_impl->dialog->selectedLoader() : nullptr;
}

bool GenericFileLoaderDialog::isQelmarLayoutLoaderSelected() const {
    return m_impl->dialog && m_impl->dialog->isQelmarLayoutLoaderSelected();
}

bool GenericFileLoaderDialog::advancedOptionsSelected() const {
    return m_impl->dialog && m_impl->dialog->advancedOptionsSelected();
}

std::vector<std::string> GenericFileLoaderDialog::filesInFileNameEditControl() const {
    std::vector<std::string> names;
    if (!m_impl->dialog)
        return names;
    for (const QString& file : m_impl->dialog->selectedFiles())
        names.push_back(file.toUtf8().toStdString());
    return names;
}

} // namespace qelmar::dialogs::io
