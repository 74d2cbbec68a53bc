#include "layout/SaveLayoutQtDialog.h"

#include "host/CheckButtonPropertyBinding.h"
#include "host/QExtendedFileDialog.h"
#include "host/RelevanceApplier.h"
#include "layout/SaveLayoutPropertiesGenerated.h"
#include "layout/SaveLayoutPropertiesManager.h"
#include "util/DialogParts.h"
#include "util/FileDialogWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qelmar::dialogs::io {

using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::QExtendedFileDialog;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::propertymanager::SaveLayoutPropertiesGenerated;
using sdk::ui::propertymanager::SaveLayoutPropertiesManager;

namespace {

bool isPackageFilter(const QString& filter) {
    return filter.contains(QLatin1String("*.lpk"));
}

QCheckBox* hiddenCheckBox(const QString& text, QWidget* parent) {
    auto* checkBox = new QCheckBox(text, parent);
    checkBox->hide();
    return checkBox;
}

} // namespace

struct SaveLayoutQtDialog::Impl {
    SaveLayoutQtDialog& owner;
    DialogParts<SaveLayoutPropertiesGenerated, SaveLayoutPropertiesManager> parts;
    QCheckBox* useRelativePaths = nullptr;
    QCheckBox* includePreviewImage = nullptr;

    explicit Impl(SaveLayoutQtDialog& dialog)
        : owner(dialog)
        // Modal: the options start from the kernel's configuration and reach it only when a
        // save succeeded.
        , parts(true, toolbox::StringList()) {}

    void addCustomControls(QExtendedFileDialog* fileDialog) {
        if (parts.properties().IncludeData()->retrieveValue())
            fileDialog->selectNameFilter(
                QString::fromStdString(SaveLayoutDialog::filterForType(SaveLayoutDialog::PackagedData)));
        useRelativePaths = hiddenCheckBox(SaveLayoutQtDialog::tr("&Use relative paths"), fileDialog);
        includePreviewImage = hiddenCheckBox(SaveLayoutQtDialog::tr("&Include preview image"), fileDialog);
        placeBelowFileList(*fileDialog);
        arrangeTabOrderAndLabels(*fileDialog);
        bindCheckBoxes();
        applyRelevances();
        QObject::connect(fileDialog, &QFileDialog::filterSelected, &owner, &SaveLayoutQtDialog::changeFilter);
    }

    // Only one of the two applies at a time, so they share one cell.
    void placeBelowFileList(QExtendedFileDialog& fileDialog) const {
        QGridLayout* grid = fileDialog.gridLayout();
        if (!grid)
            return;
        const int row = grid->rowCount();
        grid->addWidget(useRelativePaths, row, 0, 1, 2);
        grid->addWidget(includePreviewImage, row, 0, 1, 2);
    }

    void arrangeTabOrderAndLabels(QExtendedFileDialog& fileDialog) const {
        QDialogButtonBox* buttonBox = fileDialog.buttonBox();
        QPushButton* saveButton = buttonBox ? buttonBox->button(QDialogButtonBox::Save) : nullptr;
        QPushButton* cancelButton = buttonBox ? buttonBox->button(QDialogButtonBox::Cancel) : nullptr;

        setTabOrderOf(fileDialog.fileNameEdit(), fileDialog.fileTypeCombo());
        setTabOrderOf(fileDialog.fileTypeCombo(), useRelativePaths);
        setTabOrderOf(useRelativePaths, includePreviewImage);
        setTabOrderOf(includePreviewImage, saveButton);
        setTabOrderOf(cancelButton, fileDialog.lookInCombo());

        labelWithBuddy(fileDialog.lookInLabel(), SaveLayoutQtDialog::tr("&Look in:"),
                       fileDialog.lookInCombo());
        labelWithBuddy(fileDialog.fileTypeLabel(), SaveLayoutQtDialog::tr("Files of &type:"),
                       fileDialog.fileTypeCombo());
    }

    void bindCheckBoxes() {
        parts.bind<CheckButtonPropertyBinding>(includePreviewImage,
                                               parts.manager().isIncludingPreviewImage());
        parts.bind<CheckButtonPropertyBinding>(useRelativePaths, parts.manager().isUsingRelativeFilePath());
    }

    void applyRelevances() {
        parts.applyRelevance(parts.manager().includePreviewImageRelevance(), includePreviewImage,
                             RelevanceApplier::Manifestation_Show, BindingInterface::WidgetUpdate_OnIdle);
        parts.applyRelevance(parts.manager().useRelativeDataFilePathRelevance(), useRelativePaths,
                             RelevanceApplier::Manifestation_Show, BindingInterface::WidgetUpdate_OnIdle);
    }
};

SaveLayoutQtDialog::SaveLayoutQtDialog(QWidget* parent, const std::string& startPath,
                                       const std::string& fileName)
    : SaveFileQtDialog(parent, tr("Save Layout"), startPath, fileName, SaveLayoutDialog::filterDescriptions(),
                       SaveLayoutDialog::chooseFilterId(fileName), QStringLiteral("save_layout.html"))
    , m_impl(std::make_unique<Impl>(*this)) {
    m_impl->addCustomControls(dialog());
    // The dialog opens as a package when either the configuration or the proposed name says so.
    changeFilter(dialog()->selectedNameFilter());
}

SaveLayoutQtDialog::~SaveLayoutQtDialog() = default;

SaveLayoutDialog::FileType SaveLayoutQtDialog::fileType() const {
    return SaveLayoutDialog::lookupFileType(dialog()->selectedNameFilter());
}

bool SaveLayoutQtDialog::saveLayout() {
    return m_impl->parts.manager().saveLayout(selectedFilename());
}

void SaveLayoutQtDialog::changeFilter(const QString& filter) {
    m_impl->parts.properties().IncludeData()->setValue(isPackageFilter(filter));
}

} // namespace qelmar::dialogs::io
