#include "export/ExportPreviewPanel.h"

#include "bindings/ComboBoxPropertyBinding.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "export/ExportPresets.h"
#include "export/ExportPreviewPropertiesManager.h"
#include "export/ExportPropertiesGenerated.h"
#include "export/ExportPropertiesManager.h"
#include "host/AppLock.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/ExportFormats.h"
#include "host/Kernel.h"
#include "host/KernelErrors.h"
#include "host/KernelExportPreview.h"
#include "host/KernelMessages.h"
#include "host/KernelString.h"
#include "host/RelevanceApplier.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/SignalConnectionCollection.h"

#include "ui_ExportPreviewPanel.h"

#include <QImage>
#include <QInputDialog>
#include <QPixmap>
#include <QTimer>

#include <memory>
#include <stdexcept>
#include <vector>

namespace qelmar::dialogs::io {

using sdk::AppLock;
using sdk::KernelString;
using sdk::SignalConnectionCollection;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::propertybindings::ComboBoxPropertyBinding;
using sdk::ui::dialogs::propertybindings::TextFieldPropertyBinding;
using sdk::ui::propertymanager::ExportPreviewPropertiesManager;
using sdk::ui::propertymanager::ExportPropertiesGenerated;
using sdk::ui::propertymanager::ExportPropertiesManager;

namespace {

// Long enough to take a burst of keystrokes or clicks as one change, short enough to feel live.
constexpr int previewDelayMs = 50;
constexpr auto widgetUpdateOnIdle = BindingInterface::WidgetUpdate_OnIdle;

struct PreviewDeleter {
    void operator()(QelExportPreview_s* preview) const { QelUtilExportPreviewDealloc(&preview); }
};
using PreviewPtr = std::unique_ptr<QelExportPreview_s, PreviewDeleter>;

QString fileSizeText(double bytes) {
    constexpr double kilo = 1024.0;
    if (bytes >= kilo * kilo)
        return QStringLiteral("%1 MB").arg(bytes / (kilo * kilo), 0, 'f', 1);
    if (bytes >= kilo)
        return QStringLiteral("%1 KB").arg(bytes / kilo, 0, 'f', 0);
    return QStringLiteral("%1 bytes").arg(bytes, 0, 'f', 0);
}

void tellUser(const QString& text, int type = MessageBox_Error) {
    QelUtilDialogMessageBox(text.toUtf8().constData(), type);
}

} // namespace

struct ExportPreviewPanel::Impl {
    ExportPreviewPanel& panel;
    Ui_ExportPreviewPanel ui;
    ExportPropertiesGenerated& set;
    std::unique_ptr<ExportPreviewPropertiesManager> properties;
    std::vector<std::unique_ptr<BindingInterface>> bindings;
    std::vector<std::unique_ptr<RelevanceApplier>> appliers;
    QTimer previewTimer;
    ExportPresets presets;
    int renders = 0;
    SignalConnectionCollection connections;

    Impl(ExportPreviewPanel& owner, ExportPropertiesGenerated& set, ExportPropertiesManager& manager)
        : panel(owner)
        , set(set)
        , properties(std::make_unique<ExportPreviewPropertiesManager>(set, manager)) {
        ui.setupUi(&owner);
        bind();
        previewTimer.setSingleShot(true);
        previewTimer.setInterval(previewDelayMs);
        QObject::connect(&previewTimer, &QTimer::timeout, &owner, [this] { render(); });
        properties->onAnyChange([this] { previewTimer.start(); });
        connections.add(properties->unit()->connectToValueChangedSignalUnique(
            [this](const long&) { previewTimer.start(); }));
        QObject::connect(
            ui.exportPreview_Preset_CmbBox, qOverload<int>(&QComboBox::activated), &owner,
            [this](int row) { panel.applyPreset(ui.exportPreview_Preset_CmbBox->itemText(row)); });
        QObject::connect(ui.exportPreview_SavePreset_Button, &QAbstractButton::clicked, &owner,
                         [this] { askNameAndSave(); });
        ui.exportPreview_Preset_CmbBox->setPlaceholderText(ExportPreviewPanel::tr("Choose a preset"));
        loadPresets();
    }

    ~Impl() {
        // Newest first: an applier or binding may build on an earlier one.
        while (!appliers.empty())
            appliers.pop_back();
        while (!bindings.empty())
            bindings.pop_back();
    }

    template <typename T> void bindText(QLineEdit* field, PropertyPtr<T> property) {
        bindings.push_back(std::make_unique<TextFieldPropertyBinding<T>>(
            field, std::move(property), widgetUpdateOnIdle, TextFieldPropertyBinding<T>::CursorPosition_End));
    }

    void bind() {
        bindText(ui.exportPreview_Width_LineEdit, properties->widthText());
        bindText(ui.exportPreview_Height_LineEdit, properties->heightText());
        bindText(ui.exportPreview_Resolution_LineEdit, properties->resolution());
        bindings.push_back(std::make_unique<ComboBoxPropertyBinding<long>>(
            *ui.exportPreview_Unit_CmbBox, properties->unit(), properties->unitModel(),
            BindingInterface::ModelUpdate_DeferredWhileBusy));
        bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(
            ui.exportPreview_UsePhysicalSize_ToggleButton, properties->usePhysicalSize(), false));
        bindings.push_back(std::make_unique<CheckButtonPropertyBinding>(
            ui.exportPreview_Transparent_ToggleButton, properties->transparentBackground(), false));
        appliers.push_back(std::make_unique<RelevanceApplier>(
            properties->transparentBackgroundRelevance(),
            std::vector<QWidget*>{ui.exportPreview_Transparent_ToggleButton},
            RelevanceApplier::Manifestation_Enable, widgetUpdateOnIdle));
        appliers.push_back(std::make_unique<RelevanceApplier>(
            properties->physicalSizeRelevance(),
            std::vector<QWidget*>{ui.exportPreview_Width_LineEdit, ui.exportPreview_Height_LineEdit,
                                  ui.exportPreview_Unit_CmbBox, ui.exportPreview_Resolution_LineEdit,
                                  ui.exportPreview_UsePhysicalSize_ToggleButton},
            RelevanceApplier::Manifestation_Enable, widgetUpdateOnIdle));
    }

    // The overrides name the settings as the dialog holds them now; the strings live in `paths`.
    static std::vector<QelExportSettingOverride_s> overridesOf(const std::vector<ExportPresetValue>& values) {
        std::vector<QelExportSettingOverride_s> overrides;
        overrides.reserve(values.size());
        for (const ExportPresetValue& value : values)
            overrides.push_back({value.path.c_str(), value.value});
        return overrides;
    }

    void render() {
        // A hidden panel renders when it shows again.
        if (!panel.isVisible())
            return;
        ++renders;
        const std::vector<ExportPresetValue> values = properties->currentSettings();
        const std::vector<QelExportSettingOverride_s> overrides = overridesOf(values);
        QLabel* image = ui.exportPreview_Image_Label;
        const QSize room = image->contentsRect().size().expandedTo(QSize(16, 16));
        PreviewPtr preview;
        QString failure;
        {
            const AppLock lock(AppLock::NoImplicitMacroRecord);
            preview.reset(
                QelUtilExportPreviewRender(overrides.data(), overrides.size(), room.width(), room.height()));
            if (!preview)
                failure = QString::fromStdString(KernelString(QelUtilGetLastErrorMessage()).str());
        }
        if (preview) {
            const QImage picture(preview->pixels, preview->previewWidth, preview->previewHeight,
                                 preview->previewWidth * 4, QImage::Format_ARGB32_Premultiplied);
            image->setPixmap(
                QPixmap::fromImage(picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        } else {
            image->setPixmap(QPixmap());
            image->setText(failure.isEmpty() ? ExportPreviewPanel::tr("No preview.") : failure);
        }
        ui.exportPreview_Summary_Label->setText(summary(preview.get()));
    }

    QString summary(const QelExportPreview_s* preview) const {
        int width = 0;
        int height = 0;
        properties->fileSize(width, height);
        const int dpi = set.resolution()->retrieveValue();
        const bool inches =
            properties->unit()->retrieveValue() == ExportPreviewPropertiesManager::Unit_Inches;
        const double perInch = inches ? 1.0 : 2.54;
        QStringList lines;
        lines << ExportPreviewPanel::tr("%1 x %2 pixels").arg(width).arg(height);
        lines << ExportPreviewPanel::tr("%1 x %2 %3 at %4 dpi")
                     .arg(double(width) / dpi * perInch, 0, 'f', 1)
                     .arg(double(height) / dpi * perInch, 0, 'f', 1)
                     .arg(inches ? QStringLiteral("in") : QStringLiteral("cm"))
                     .arg(dpi);
        if (preview && preview->predictedFileBytes > 0)
            lines << ExportPreviewPanel::tr("about %1 (±%2%)")
                         .arg(fileSizeText(preview->predictedFileBytes))
                         .arg(qRound(preview->predictionError * 100));
        if (preview && preview->frameCount > 0)
            lines << ExportPreviewPanel::tr("%1 frames, %2 s")
                         .arg(preview->frameCount)
                         .arg(QString::number(preview->durationSeconds, 'g', 4));
        return lines.join(QLatin1Char('\n'));
    }

    void loadPresets() {
        try {
            presets = ExportPresets::load();
        } catch (const std::runtime_error& failure) {
            tellUser(QString::fromStdString(failure.what()));
            presets = ExportPresets::shipped();
        }
        QComboBox* combo = ui.exportPreview_Preset_CmbBox;
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (const ExportPreset& preset : presets.presets())
            combo->addItem(QString::fromStdString(preset.name));
        combo->setCurrentIndex(-1);
    }

    void askNameAndSave() {
        bool ok = false;
        const QString name =
            QInputDialog::getText(&panel, ExportPreviewPanel::tr("Save as Preset"),
                                  ExportPreviewPanel::tr("Name of the preset:"), QLineEdit::Normal,
                                  ui.exportPreview_Preset_CmbBox->currentText(), &ok)
                .trimmed();
        if (ok && !name.isEmpty())
            panel.savePreset(name);
    }

    bool save(const QString& name) {
        const std::string key = name.toStdString();
        ExportPresets file;
        try {
            // A bad file is never written over: its user reads why and mends it first.
            file = ExportPresets::load();
        } catch (const std::runtime_error& failure) {
            tellUser(QString::fromStdString(failure.what()));
            return false;
        }
        if (file.find(key) &&
            !QelUtilDialogMessageBox(ExportPreviewPanel::tr("A preset named \"%1\" exists. Replace it?")
                                         .arg(name)
                                         .toUtf8()
                                         .constData(),
                                     MessageBox_Question))
            return false;
        file.put(ExportPreset{key, properties->currentSettings(), {}});
        try {
            file.save();
        } catch (const std::runtime_error& failure) {
            tellUser(QString::fromStdString(failure.what()));
            return false;
        }
        loadPresets();
        ui.exportPreview_Preset_CmbBox->setCurrentIndex(ui.exportPreview_Preset_CmbBox->findText(name));
        return true;
    }

    bool apply(const QString& name) {
        const ExportPreset* preset = presets.find(name.toStdString());
        if (!preset) {
            tellUser(ExportPreviewPanel::tr("There is no preset named \"%1\".").arg(name));
            return false;
        }
        try {
            properties->applySettings(preset->values);
        } catch (const InvalidPropertyValueException& refused) {
            tellUser(ExportPreviewPanel::tr("The preset \"%1\" cannot be used: %2")
                         .arg(name, QString::fromStdString(refused.what())));
            return false;
        }
        return true;
    }
};

ExportPreviewPanel::ExportPreviewPanel(ExportPropertiesGenerated& set, ExportPropertiesManager& manager,
                                       QWidget* parent)
    : QWidget(parent)
    , m_impl(std::make_unique<Impl>(*this, set, manager)) {}

ExportPreviewPanel::~ExportPreviewPanel() = default;

ExportPreviewPropertiesManager& ExportPreviewPanel::properties() const {
    return *m_impl->properties;
}

void ExportPreviewPanel::discardChanges() {
    m_impl->properties->discardChanges();
}

void ExportPreviewPanel::followKernel() {
    m_impl->properties->discardChanges();
    m_impl->loadPresets();
    m_impl->previewTimer.start();
}

bool ExportPreviewPanel::applyPreset(const QString& name) {
    return m_impl->apply(name);
}

bool ExportPreviewPanel::savePreset(const QString& name) {
    return m_impl->save(name);
}

QStringList ExportPreviewPanel::presetNames() const {
    QStringList names;
    for (const ExportPreset& preset : m_impl->presets.presets())
        names << QString::fromStdString(preset.name);
    return names;
}

int ExportPreviewPanel::renderCount() const {
    return m_impl->renders;
}

bool ExportPreviewPanel::renderPending() const {
    return m_impl->previewTimer.isActive();
}

void ExportPreviewPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_impl->previewTimer.start();
}

} // namespace qelmar::dialogs::io
