#include "layout/SaveLayoutQtDialog.h"

#include "host/CheckButtonPropertyBinding.h"
#include "host/QExtendedFileDialog.h"
#include "host/RelevanceApplier.h"
#include "layout/SaveLayoutPropertiesGenerated.h"
#include "layout/SaveLayoutPropertiesManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace qelmar::dialogs::io {

using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::QExtendedFileDialog;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::SaveFileQtDialog;
using sdk::ui::propertymanager::SaveLayoutPropertiesGenerated;

namespace {

bool isPackageFilter(const QString& filter) {
    return filter.contains(QLatin1String("*.lpk"));
}

void setTabOrderOf(QWidget* first, QWidget* second) {
    if (first && second)
        QWidget::setTabOrder(first, second);
}

void labelWithBuddy(QLabel* label, const QString& text, QWidget* buddy) {
    if (!label)
        return;
    label->setText(text);
    label->setBuddy(buddy);
}

QCheckBox* hiddenCheckBox(const QString& text, QWidget* parent) {
    auto* checkBox = new QCheckBox(text, parent);
    checkBox->hide();
    return checkBox;
}

} // namespace

struct SaveLayoutQtDialog::Impl {
    SaveFileQtDialog* owner;
    std::unique_ptr<SaveLayoutPropertiesManager> manager;
    std::unique_ptr<SaveLayoutPropertiesGenerated> properties;
    std::vector<std::unique_ptr<BindingInterface>> bindings;
    std::vector<std::unique_ptr<RelevanceApplier>> relevanceAppliers;
    QCheckBox* useRelativePaths = nullptr;
    QCheckBox* includePreviewImage = nullptr;

    explicit Impl(SaveFileQtDialog* dialog)
        : owner(dialog)
        // Modal: the options start from the kernel's configuration and reach it only when a
        // save succeeded.
        , properties(std::make_unique<SaveLayoutPropertiesGenerated>(true, toolbox::StringList())) {
        manager = std::make_unique<SaveLayoutPropertiesManager>(*properties);
    }

    ~Impl() {
        // Appliers and bindings watch the properties, which the manager's relevances watch too.
        relevanceAppliers.clear();
        bindings.clear();
        properties.reset();
        manager.reset();
    }

    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void addCustomControls(QExtendedFileDialog* fileDialog) {
        if (properties->IncludeData()->retrieveValue())
            fileDialog->selectNameFilter(
                QString::fromStdString(SaveLayoutDialog::filterForType(SaveLayoutDialog::PackagedData)));
        useRelativePaths = hiddenCheckBox(SaveLayoutQtDialog::tr("&Use relative paths"), fileDialog);
        includePreviewImage = hiddenCheckBox(SaveLayoutQtDialog::tr("&Include preview image"), fileDialog);
        placeBelowFileList(*fileDialog);
        arrangeTabOrderAndLabels(*fileDialog);
        bindCheckBoxes();
        applyRelevances();
        QObject::connect(fileDialog, &QFileDialog::filterSelected, static_cast<SaveLayoutQtDialog*>(owner),
                         &SaveLayoutQtDialog::changeFilter);
    }

    // Only one of the two applies at a time, so they share one cell.
    void placeBelowFileList(QFileDialog& fileDialog) const {
        auto* grid = qobject_cast<QGridLayout*>(fileDialog.layout());
        if (!grid)
            return;
        const int row = grid->rowCount();
        grid->addWidget(useRelativePaths, row, 0, 1, 2);
        grid->addWidget(includePreviewImage, row, 0, 1, 2);
    }

    void arrangeTabOrderAndLabels(QFileDialog& fileDialog) const {
        auto* fileNameEdit = fileDialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttonBox = fileDialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        auto* fileTypeCombo = fileDialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* lookInCombo = fileDialog.findChild<QComboBox*>(QStringLiteral("lookInCombo"));
        auto* lookInLabel = fileDialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        auto* fileTypeLabel = fileDialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
        QPushButton* saveButton = buttonBox ? buttonBox->button(QDialogButtonBox::Save) : nullptr;
        QPushButton* cancelButton = buttonBox ? buttonBox->button(QDialogButtonBox::Cancel) : nullptr;

        setTabOrderOf(fileNameEdit, fileTypeCombo);
        setTabOrderOf(fileTypeCombo, useRelativePaths);
        setTabOrderOf(useRelativePaths, includePreviewImage);
        setTabOrderOf(includePreviewImage, saveButton);
        setTabOrderOf(cancelButton, lookInCombo);

        labelWithBuddy(lookInLabel, SaveLayoutQtDialog::tr("&Look in:"), lookInCombo);
        labelWithBuddy(fileTypeLabel, SaveLayoutQtDialog::tr("Files of &type:"), fileTypeCombo);
    }

    void bindCheckBoxes() {
        bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(includePreviewImage,
                                                                        manager->isIncludingPreviewImage()));
        bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(useRelativePaths,
                                                                        manager->isUsingRelativeFilePath()));
    }

    void applyRelevances() {
        relevanceAppliers.push_back(std::make_unique<RelevanceApplier>(
            manager->includePreviewImageRelevance(), includePreviewImage,
            RelevanceApplier::Manifestation_Show, BindingInterface::WidgetUpdate_OnIdle));
        relevanceAppliers.push_back(std::make_unique<RelevanceApplier>(
            manager->useRelativeDataFilePathRelevance(), useRelativePaths,
            RelevanceApplier::Manifestation_Show, BindingInterface::WidgetUpdate_OnIdle));
    }
};

SaveLayoutQtDialog::SaveLayoutQtDialog(QWidget* parent, const std::string& startPath,
                                       const std::string& fileName)
    : SaveFileQtDialog(parent, tr("Save Layout"), startPath, fileName, SaveLayoutDialog::filterDescriptions(),
                       SaveLayoutDialog::chooseFilterId(fileName), QStringLiteral("save_layout.html"))
    , m_impl(std::make_unique<Impl>(this)) {
    m_impl->addCustomControls(dialog());
    // The dialog opens as a package when either the configuration or the proposed name says so.
    changeFilter(dialog()->selectedNameFilter());
}

SaveLayoutQtDialog::~SaveLayoutQtDialog() = default;

SaveLayoutDialog::FileType SaveLayoutQtDialog::fileType() const {
    return SaveLayoutDialog::lookupFileType(dialog()->selectedNameFilter());
}

bool SaveLayoutQtDialog::saveLayout() {
    return m_impl->manager->saveLayout(selectedFilename());
}

void SaveLayoutQtDialog::changeFilter(const QString& filter) {
    m_impl->properties->IncludeData()->setValue(isPackageFilter(filter));
}

} // namespace qelmar::dialogs::io
