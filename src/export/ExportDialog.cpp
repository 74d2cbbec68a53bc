#include "export/ExportDialog.h"

#include "bindings/ComboBoxPropertyBinding.h"
#include "bindings/RadioButtonPropertyBinding.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "export/ExportPreviewPanel.h"
#include "export/ExportPropertiesGenerated.h"
#include "export/ExportPropertiesManager.h"
#include "host/AppLock.h"
#include "host/CheckButtonPropertyBinding.h"
#include "host/ExportFormats.h"
#include "host/ExportSettingsTable.h"
#include "host/FilenameStrategy.h"
#include "host/Kernel.h"
#include "host/LabelPropertyBinding.h"
#include "host/LaunchHelpAction.h"
#include "host/QelUtilActionReporter.h"
#include "host/RelevanceApplier.h"
#include "host/RelevanceExpression.h"
#include "host/SaveFileQtDialog.h"
#include "host/SliderIntPropertyBinding.h"
#include "host/SpinBoxIntPropertyBinding.h"
#include "host/StyleValue.h"
#include "host/WidgetBindingCore.h"
#include "propertyframework/ExceptionBase.h"
#include "propertyframework/PropertyTypeAdapter.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "styleproperties/KernelProperty.h"
#include "util/DialogParts.h"

#include "ui_Export.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

namespace qelmar::dialogs::io {

using sdk::AppLock;
using sdk::SignalConnectionCollection;
using sdk::styleproperties::KernelProperty;
using sdk::ui::FilenameStrategy;
using sdk::ui::LaunchHelpAction;
using sdk::ui::QelUtilActionReporter;
using sdk::ui::dialogs::BindingInterface;
using sdk::ui::dialogs::CheckButtonPropertyBinding;
using sdk::ui::dialogs::LabelPropertyBinding;
using sdk::ui::dialogs::RelevanceApplier;
using sdk::ui::dialogs::SaveFileQtDialog;
using sdk::ui::dialogs::SliderIntPropertyBinding;
using sdk::ui::dialogs::SpinBoxIntPropertyBinding;
using sdk::ui::dialogs::WidgetBindingCore;
using sdk::ui::dialogs::propertybindings::ComboBoxPropertyBinding;
using sdk::ui::dialogs::propertybindings::RadioButtonPropertyBinding;
using sdk::ui::dialogs::propertybindings::TextFieldPropertyBinding;
using sdk::ui::propertymanager::ExportPropertiesGenerated;
using sdk::ui::propertymanager::ExportPropertiesManager;
using sdk::ui::propertymanager::RelevanceExpression;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

ExportDialog* dialogInstance = nullptr;
ExportDialog::Additions hostAdditions;

using sdk::ExportFormatDescriptor;

QString translatedFormatText(const char* text) {
    return QCoreApplication::translate("ExportFormat", text);
}

// The overview of all formats, for a format the kernel holds but the dialog does not offer.
const QString exportOverviewPage = QStringLiteral("export.html");

QString helpPageOf(ExportFormat_e format) {
    const ExportFormatDescriptor* row = sdk::findExportFormat(format);
    return row && row->helpPage ? QString::fromLatin1(row->helpPage) : exportOverviewPage;
}

// Opens the help page of the format currently chosen.
class ExportDialogLaunchHelpAction : public LaunchHelpAction {
public:
    ExportDialogLaunchHelpAction(PropertyPtr<ExportFormat_e> format, QObject* parent)
        : LaunchHelpAction(QString(), parent)
        , m_format(std::move(format)) {
        m_connections.add(
            m_format->connectToValueChangedSignalUnique([this](const ExportFormat_e&) { updateLink(); }));
        updateLink();
    }

    void updateLink() { setLink(helpPageOf(m_format->retrieveValue())); }

private:
    PropertyPtr<ExportFormat_e> m_format;
    SignalConnectionCollection m_connections;
};

// The controls of one page of the form, reached through the form's typed members; a family the
// page does not hold stays null.
struct ExportPage {
    struct Width {
        QAbstractButton* useScreenWidth = nullptr;
        QAbstractButton* enterWidth = nullptr;
        QLineEdit* field = nullptr;
    };
    struct Supersampling {
        QAbstractButton* antialiasing = nullptr;
        QLabel* label = nullptr;
        QLineEdit* factor = nullptr;
    };
    struct Dimensions {
        QLabel* label = nullptr;
        QLabel* value = nullptr;
    };
    struct GreyscaleDepth {
        QLabel* label = nullptr;
        QComboBox* choice = nullptr;
    };
    struct VectorRendering {
        QAbstractButton* vector = nullptr;
        QAbstractButton* image = nullptr;
        QLabel* resolutionLabel = nullptr;
        QLineEdit* resolution = nullptr;
        QLabel* precisionLabel = nullptr;
        QSpinBox* precision = nullptr;
    };
    struct EpsPreview {
        QComboBox* type = nullptr;
        QLabel* depthLabel = nullptr;
        QComboBox* depth = nullptr;
        QLabel* widthLabel = nullptr;
        QLineEdit* width = nullptr;
        QLabel* heightLabel = nullptr;
        QLineEdit* height = nullptr;
    };
    struct FlashOptions {
        QComboBox* imageType = nullptr;
        QAbstractButton* optimiseSpeed = nullptr;
        QAbstractButton* optimiseSize = nullptr;
    };
    struct JpegOptions {
        QComboBox* encoding = nullptr;
        QAbstractSlider* quality = nullptr;
        QLabel* qualityValue = nullptr;
    };

    explicit ExportPage(QWidget* page = nullptr)
        : page(page) {}

    QWidget* page;
    QComboBox* region = nullptr;
    Width width;
    Supersampling supersampling;
    Dimensions dimensions;
    QLineEdit* animationSpeed = nullptr;
    QComboBox* aviCompression = nullptr;
    QAbstractButton* colours256 = nullptr;
    GreyscaleDepth greyscaleDepth;
    QAbstractButton* multipleColourTables = nullptr;
    VectorRendering vectorRendering;
    QAbstractButton* extraSorting = nullptr;
    EpsPreview epsPreview;
    FlashOptions flash;
    JpegOptions jpeg;
};

// The families of controls several pages share, named by the pages' object name prefix: a
// misspelt control is a compile error.
#define QELMAR_EXPORT_PAGE_IMAGE(P)                                                                          \
    page.region = ui.P##Region_CmbBox;                                                                       \
    page.width = {ui.P##UseScreenWidth_RadioButton, ui.P##EnterWidth_RadioButton, ui.P##Width_LineEdit};     \
    page.supersampling = {ui.P##Antialiasing_ToggleButton, ui.P##Supersample_Label,                          \
                          ui.P##Supersample_LineEdit};                                                       \
    page.dimensions = {ui.P##ExportDim_Label, ui.P##ExportDimVal_Label};
#define QELMAR_EXPORT_PAGE_VECTOR(P)                                                                         \
    page.region = ui.P##Region_CmbBox;                                                                       \
    page.vectorRendering = {ui.P##RenderTypeVector_RadioButton,                                              \
                            ui.P##RenderTypeImage_RadioButton,                                               \
                            ui.P##Resolution_Label,                                                          \
                            ui.P##Resolution_LineEdit,                                                       \
                            ui.P##ExtraPrecision_Label,                                                      \
                            ui.P##ExtraPrecision_LineEdit};                                                  \
    page.extraSorting = ui.P##ExtraSort_ToggleButton;                                                        \
    page.dimensions = {ui.P##ExportDim_Label, ui.P##ExportDimVal_Label};

// The form's pages by the prefix the format table names them with.
std::map<std::string, ExportPage> pagesOf(Ui_Export& ui) {
    std::map<std::string, ExportPage> pages;
    {
        ExportPage page(ui.Avi);
        QELMAR_EXPORT_PAGE_IMAGE(exportAvi_)
        page.animationSpeed = ui.exportAvi_AnimationSpeed_LineEdit;
        page.aviCompression = ui.exportAvi_AviCompression_CmbBox;
        pages["exportAvi_"] = page;
    }
    {
        ExportPage page(ui.Bmp);
        QELMAR_EXPORT_PAGE_IMAGE(exportBmp_)
        page.colours256 = ui.exportBmp_256Colors_ToggleButton;
        pages["exportBmp_"] = page;
    }
    {
        ExportPage page(ui.Eps);
        QELMAR_EXPORT_PAGE_VECTOR(exportEps_)
        page.epsPreview = {ui.exportEps_PreviewType_CmbBox,    ui.exportEps_PreviewDepth_Label,
                           ui.exportEps_PreviewDepth_CmbBox,   ui.exportEps_PreviewWidth_Label,
                           ui.exportEps_PreviewWidth_LineEdit, ui.exportEps_PreviewHeight_Label,
                           ui.exportEps_PreviewHeight_LineEdit};
        pages["exportEps_"] = page;
    }
    {
        ExportPage page(ui.Flash);
        QELMAR_EXPORT_PAGE_IMAGE(exportFlsh_)
        page.animationSpeed = ui.exportFlsh_AnimationSpeed_LineEdit;
        page.flash = {ui.exportFlsh_FlashType_CmbBox, ui.exportFlsh_FlashTrueColorSpeed_RadioButton,
                      ui.exportFlsh_FlashTrueColorFileSize_RadioButton};
        pages["exportFlsh_"] = page;
    }
    {
        ExportPage page(ui.Jpg);
        QELMAR_EXPORT_PAGE_IMAGE(exportJpg_)
        page.jpeg = {ui.exportJpg_JPEGEncoding_CmbBox, ui.exportJpg_JPEGQuality_Scale,
                     ui.exportJpg_JPEGQualityValue_Label};
        pages["exportJpg_"] = page;
    }
    {
        ExportPage page(ui.PostScript);
        QELMAR_EXPORT_PAGE_VECTOR(exportPs_)
        pages["exportPs_"] = page;
    }
    {
        ExportPage page(ui.Png);
        QELMAR_EXPORT_PAGE_IMAGE(exportPng_)
        page.colours256 = ui.exportPng_256Colors_ToggleButton;
        pages["exportPng_"] = page;
    }
    {
        ExportPage page(ui.Tiff);
        QELMAR_EXPORT_PAGE_IMAGE(exportTiff_)
        page.colours256 = ui.exportTiff_256Colors_ToggleButton;
        page.greyscaleDepth = {ui.exportTiff_GreyscaleDepth_Label, ui.exportTiff_GreyscaleDepth_CmbBox};
        pages["exportTiff_"] = page;
    }
    {
        ExportPage page(ui.Mpeg4);
        QELMAR_EXPORT_PAGE_IMAGE(exportMp4_)
        page.animationSpeed = ui.exportMp4_AnimationSpeed_LineEdit;
        pages["exportMp4_"] = page;
    }
    {
        ExportPage page(ui.RasterMetafile);
        QELMAR_EXPORT_PAGE_IMAGE(exportRmf_)
        page.multipleColourTables = ui.exportRmf_UseMultipleColorTables_ToggleButton;
        pages["exportRmf_"] = page;
    }
    {
        ExportPage page(ui.Wmf);
        page.region = ui.exportWmf_Region_CmbBox;
        page.extraSorting = ui.exportWmf_ExtraSort_ToggleButton;
        pages["exportWmf_"] = page;
    }
    {
        ExportPage page(ui.Wmv);
        QELMAR_EXPORT_PAGE_IMAGE(exportWmv_)
        pages["exportWmv_"] = page;
    }
    return pages;
}

#undef QELMAR_EXPORT_PAGE_IMAGE
#undef QELMAR_EXPORT_PAGE_VECTOR

// Runs an action the first time a widget is shown, then goes.
class OnFirstShow : public QObject {
public:
    OnFirstShow(QWidget& widget, std::function<void()> action)
        : QObject(&widget)
        , m_action(std::move(action)) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            const auto action = std::move(m_action);
            deleteLater();
            action();
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

constexpr auto widgetUpdateOnIdle = BindingInterface::WidgetUpdate_OnIdle;
constexpr auto modelUpdateDeferred = BindingInterface::ModelUpdate_DeferredWhileBusy;

std::string replaceExtension(const std::string& fileName, const std::string& extension) {
    if (extension.empty())
        return fileName;
    return std::filesystem::path(fileName).replace_extension(extension).string();
}

toolbox::StyleValue kernelExportFileName() {
    return toolbox::StyleValue(toolbox::StringList(sdk::exportsettings::fileName.path));
}

std::string proposedExportFileName() {
    const std::string kernelName = KernelProperty<std::string>(kernelExportFileName()).retrieveValue();
    if (!kernelName.empty())
        return kernelName;
    const FilenameStrategy& strategy = FilenameStrategy::getManager();
    return strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Export) + "/" +
           strategy.getDefaultFileName(FilenameStrategy::FileCategory_Export);
}

void writeKernelExportFileName(const std::string& fileName) {
    KernelProperty<std::string>(kernelExportFileName()).setValue(fileName);
}

// The widgets some of the pages hold, in page order.
template <typename Controls>
std::vector<QWidget*> controlsOfPages(const std::map<std::string, ExportPage>& pages, Controls controls) {
    std::vector<QWidget*> widgets;
    for (const auto& [prefix, page] : pages) {
        for (QWidget* widget : controls(page)) {
            if (widget)
                widgets.push_back(widget);
        }
    }
    return widgets;
}

} // namespace

struct ExportDialog::Impl {
    Ui_Export ui;
    QWidget& dialog;
    std::unique_ptr<DialogParts<ExportPropertiesGenerated, ExportPropertiesManager>> parts;
    Mode_e mode = Mode_StillImage;
    std::map<std::string, ExportPage> pages;
    std::vector<QPointer<QObject>> pageBinders;
    // Built the first time the host asks for it; hidden, not destroyed, when switched off.
    QPointer<ExportPreviewPanel> previewPanel;

    explicit Impl(ExportDialog& owner)
        : dialog(owner) {
        ui.setupUi(&owner);
        pages = pagesOf(ui);
        // Modal, so every option waits in the dialog until OK submits it.
        parts = std::make_unique<DialogParts<ExportPropertiesGenerated, ExportPropertiesManager>>(
            owner.isModal(), toolbox::StringList());
        bindTopLevelControls();
        // One page is seen at a time: a page's controls are bound when it is first shown, which
        // makes opening the dialog cost one page rather than all of them.
        for (const auto& [prefix, page] : pages)
            pageBinders.push_back(new OnFirstShow(*page.page, [this, &page = page] { bindPage(page); }));
        applyRelevances();
    }

    ~Impl() {
        // The panel works on the set, which goes before the dialog's children do.
        delete previewPanel.data();
        for (const QPointer<QObject>& binder : pageBinders)
            delete binder.data();
    }

    ExportPropertiesGenerated& set() const { return parts->properties(); }

    void applyAdditions(const Additions& additions) {
        manager().offerExtraFormats(additions.extraFormats);
        if (additions.previewPanel && !previewPanel) {
            previewPanel = new ExportPreviewPanel(set(), manager(), &dialog);
            previewPanel->setObjectName(QStringLiteral("exportPreview_Panel"));
            // Beside the form, above the buttons.
            ui.export_GridLayout->addWidget(previewPanel, 0, 2, 3, 1);
        }
        if (previewPanel)
            previewPanel->setVisible(additions.previewPanel);
    }

    void followKernel() {
        manager().followKernel();
        if (previewPanel)
            previewPanel->followKernel();
    }

    void discardChanges() {
        manager().discardChanges();
        if (previewPanel)
            previewPanel->discardChanges();
    }
    ExportPropertiesManager& manager() const { return parts->manager(); }

    void bindTopLevelControls() {
        parts->bind<ComboBoxPropertyBinding<ExportFormat_e>>(*ui.export_Format_CmbBox, set().exportFormat(),
                                                             manager().exportFormatModel(),
                                                             modelUpdateDeferred);
        parts->bind<CheckButtonPropertyBinding>(ui.export_Color_ToggleButton, manager().color(), false);
    }

    template <typename T, typename Model>
    void bindComboBox(QComboBox* comboBox, PropertyPtr<T> property, Model model) {
        parts->bind<ComboBoxPropertyBinding<T>>(*comboBox, std::move(property), std::move(model),
                                                modelUpdateDeferred);
    }

    template <typename T> void bindTextField(QLineEdit* field, PropertyPtr<T> property) {
        parts->bind<TextFieldPropertyBinding<T>>(field, std::move(property), widgetUpdateOnIdle,
                                                 TextFieldPropertyBinding<T>::CursorPosition_End);
    }

    template <typename T> void bindRadioButton(QAbstractButton* button, PropertyPtr<T> property, T value) {
        parts->bind<RadioButtonPropertyBinding<T>>(button, std::move(property), value);
    }

    void bindCheckBox(QAbstractButton* checkBox, PropertyPtr<bool> property) {
        parts->bind<CheckButtonPropertyBinding>(checkBox, std::move(property), false);
    }

    void bindLabel(QLabel* label, PropertyPtr<std::string> text) {
        parts->bind<LabelPropertyBinding>(label, std::move(text), LabelPropertyBinding::WidgetUpdate_OnIdle);
    }

    void bindPage(const ExportPage& page) {
        const auto& set = this->set();
        const auto& manager = this->manager();
        if (page.region)
            bindComboBox(page.region, set.exportRegion(), manager.exportRegionModel());
        if (page.width.field) {
            bindRadioButton(page.width.useScreenWidth, manager.useUserDefinedWidth(), false);
            bindRadioButton(page.width.enterWidth, manager.useUserDefinedWidth(), true);
            bindTextField(page.width.field, set.imageWidth());
        }
        if (page.supersampling.factor) {
            bindCheckBox(page.supersampling.antialiasing, set.useSuperSampleAntiAliasing());
            bindTextField(page.supersampling.factor, set.superSampleFactor());
        }
        if (page.dimensions.value)
            bindLabel(page.dimensions.value, manager.imageDimensions());
        if (page.animationSpeed)
            bindTextField(page.animationSpeed, set.animationSpeed());
        if (page.aviCompression)
            bindComboBox(page.aviCompression, set.aviCompression(), manager.aviCompressionModel());
        if (page.colours256)
            bindCheckBox(page.colours256, set.convertTo256Colors());
        if (page.greyscaleDepth.choice)
            bindComboBox<long>(page.greyscaleDepth.choice,
                               std::make_shared<PropertyTypeAdapter<long, int>>(set.grayScaleDepth()),
                               manager.grayscaleDepthModel());
        if (page.multipleColourTables)
            bindCheckBox(page.multipleColourTables, set.useMultipleColorTables());
        if (page.vectorRendering.vector)
            bindVectorRendering(page.vectorRendering);
        if (page.extraSorting)
            bindCheckBox(page.extraSorting, set.forceExtra3DSorting());
        if (page.epsPreview.type)
            bindEpsPreview(page.epsPreview);
        if (page.flash.imageType)
            bindFlashOptions(page.flash);
        if (page.jpeg.encoding)
            bindJpegOptions(page.jpeg);
    }

    void bindVectorRendering(const ExportPage::VectorRendering& controls) {
        const auto& set = this->set();
        bindRadioButton(controls.vector, set.renderType(), PrintRenderType_Vector);
        bindRadioButton(controls.image, set.renderType(), PrintRenderType_Image);
        bindTextField(controls.resolution, set.resolution());
        parts->bind<SpinBoxIntPropertyBinding>(controls.precision, set.precision());
    }

    void bindEpsPreview(const ExportPage::EpsPreview& controls) {
        const auto& set = this->set();
        bindComboBox(controls.type, set.epsPreviewImageType(), manager().epsPreviewImageModel());
        bindComboBox(controls.depth, set.epsGrayScaleDepth(), manager().grayscaleDepthModel());
        bindTextField(controls.width, set.epsPreviewImageWidth());
        bindTextField(controls.height, set.epsPreviewImageHeight());
    }

    void bindFlashOptions(const ExportPage::FlashOptions& controls) {
        const auto& set = this->set();
        bindComboBox(controls.imageType, set.flashImageType(), manager().flashImageTypeModel());
        bindRadioButton(controls.optimiseSpeed, set.flashCompressionType(), FlashCompressionType_BestSpeed);
        bindRadioButton(controls.optimiseSize, set.flashCompressionType(), FlashCompressionType_SmallestSize);
    }

    void bindJpegOptions(const ExportPage::JpegOptions& controls) {
        const auto& set = this->set();
        bindComboBox(controls.encoding, set.jpegEncoding(), manager().jpegEncodingModel());
        parts->bind<SliderIntPropertyBinding>(
            controls.quality, std::make_shared<PropertyTypeAdapter<long, double>>(set.quality()),
            manager().jpegQualitySliderProperties(), SliderIntPropertyBinding::WidgetUpdate_OnIdle);
        bindLabel(controls.qualityValue,
                  std::make_shared<PropertyTypeAdapter<std::string, double>>(set.quality()));
    }

    void showPageWhile(RelevancePtr relevance, QWidget* page) {
        parts->applyRelevance(std::move(relevance), page, RelevanceApplier::Manifestation_Show,
                              widgetUpdateOnIdle);
    }

    void enableWhile(RelevancePtr relevance, std::vector<QWidget*> widgets) {
        parts->applyRelevance(std::move(relevance), std::move(widgets),
                              RelevanceApplier::Manifestation_Enable, widgetUpdateOnIdle);
    }

    template <typename Controls> void enableOnPagesWhile(RelevancePtr relevance, Controls controls) {
        enableWhile(std::move(relevance), controlsOfPages(pages, controls));
    }

    // Each page shows while any of the formats whose rows name it is chosen: formats with the
    // same options share a page.
    void showFormatPages() {
        std::map<std::string, std::shared_ptr<RelevanceExpression>> pageRelevances;
        for (const ExportFormatDescriptor& format : sdk::exportFormats()) {
            if (!format.pagePrefix || !pages.count(format.pagePrefix))
                continue;
            const RelevancePtr chosen = manager().formatRelevance(format.value);
            auto [relevance, first] = pageRelevances.try_emplace(format.pagePrefix);
            if (first)
                relevance->second = std::make_shared<RelevanceExpression>(chosen);
            else
                relevance->second->oor(chosen);
        }
        for (const auto& [prefix, relevance] : pageRelevances)
            showPageWhile(relevance, pages.at(prefix).page);
    }

    void applyRelevances() {
        using Widgets = std::vector<QWidget*>;
        const auto& m = manager();
        showFormatPages();
        enableWhile(m.colorRelevance(), {ui.export_Color_ToggleButton});
        enableOnPagesWhile(m.imageWidthRelevance(),
                           [](const ExportPage& p) { return Widgets{p.width.field}; });
        enableOnPagesWhile(m.superSampleFactorRelevance(), [](const ExportPage& p) {
            return Widgets{p.supersampling.label, p.supersampling.factor};
        });
        enableOnPagesWhile(m.convertTo256ColorsRelevance(),
                           [](const ExportPage& p) { return Widgets{p.colours256}; });
        enableOnPagesWhile(m.grayscaleDepthRelevance(), [](const ExportPage& p) {
            return Widgets{p.greyscaleDepth.label, p.greyscaleDepth.choice};
        });
        // Where an image is embedded in a vector file, its size is that of the image.
        enableOnPagesWhile(m.imageEmbeddedInVectorRelevance(), [](const ExportPage& p) {
            const auto& vector = p.vectorRendering;
            return vector.resolution ? Widgets{vector.resolutionLabel, vector.resolution, p.dimensions.label,
                                               p.dimensions.value}
                                     : Widgets{};
        });
        enableOnPagesWhile(m.precisionRelevance(), [](const ExportPage& p) {
            return Widgets{p.vectorRendering.precisionLabel, p.vectorRendering.precision};
        });
        enableOnPagesWhile(m.force3DSortingRelevance(),
                           [](const ExportPage& p) { return Widgets{p.extraSorting}; });
        enableOnPagesWhile(m.epsPreviewDepthRelevance(), [](const ExportPage& p) {
            return Widgets{p.epsPreview.depth, p.epsPreview.depthLabel};
        });
        enableOnPagesWhile(m.epsPreviewSizeRelevance(), [](const ExportPage& p) {
            const auto& preview = p.epsPreview;
            return Widgets{preview.widthLabel, preview.width, preview.heightLabel, preview.height};
        });
    }
};

ExportDialog* ExportDialog::getInstance(QWidget& parent, Mode_e mode) {
    if (!dialogInstance)
        dialogInstance = new ExportDialog(parent, Mode_StillImage);
    else if (!dialogInstance->isVisible())
        dialogInstance->m_impl->followKernel();
    dialogInstance->m_impl->mode = mode;
    dialogInstance->m_impl->manager().animationMode(mode == Mode_Animation);
    return dialogInstance;
}

void ExportDialog::setAdditions(const Additions& additions) {
    hostAdditions = additions;
    if (dialogInstance)
        dialogInstance->m_impl->applyAdditions(additions);
}

ExportDialog::Additions ExportDialog::additions() {
    return hostAdditions;
}

RelevancePtr ExportDialog::relevance() {
    return ExportPropertiesManager::relevance();
}

void ExportDialog::getExportFileSettings(ExportFormat_e format, std::string& extension, std::string& pattern,
                                         std::string& description) {
    const ExportFormatDescriptor* row = sdk::findExportFormat(format);
    extension = row ? row->extension : "";
    pattern = row ? row->filePattern() : "";
    description = row ? translatedFormatText(row->fileDescription).toStdString() : "";
}

ExportDialog::ExportDialog(QWidget& parent, Mode_e mode)
    : QtDialogAbstract(&parent, relevance())
    , m_impl(std::make_unique<Impl>(*this)) {
    m_impl->mode = mode;
    m_impl->manager().animationMode(mode == Mode_Animation);
    setHelpAction(new ExportDialogLaunchHelpAction(m_impl->set().exportFormat(), this));
    m_impl->applyAdditions(hostAdditions);
}

ExportDialog::~ExportDialog() {
    if (dialogInstance == this)
        dialogInstance = nullptr;
}

void ExportDialog::saveOptions() {
    m_impl->manager().saveChanges();
}

void ExportDialog::done(int result) {
    try {
        if (result == QDialog::Accepted) {
            if (!saveOptionsAndDoExport())
                return;
        } else {
            m_impl->discardChanges();
        }
    } catch (const ExceptionBase& failure) {
        // A refused option: the user reads why and the dialog stays open to correct it.
        WidgetBindingCore::reportFailure(failure);
        return;
    }
    QtDialogAbstract::done(result);
}

namespace {

constexpr int progressSteps = 1000;

// The kernel's progress callback while a progress window watches the export. Until the window
// shows, user input waits: the export dialog must not take a second OK in the middle of an
// export, and once shown the window keeps it out by being modal.
bool keepExporting(double shareDone, void* clientData) {
    auto* progress = static_cast<QProgressDialog*>(clientData);
    progress->setValue(static_cast<int>(std::lround(shareDone * progressSteps)));
    QCoreApplication::processEvents(progress->isVisible() ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
    return !progress->wasCanceled();
}

// Keeps the kernel calling back into the window for as long as it lives.
class ProgressCallbackScope {
public:
    explicit ProgressCallbackScope(QProgressDialog& progress) {
        QelUtilExportSetProgressCallback(keepExporting, &progress);
    }
    ~ProgressCallbackScope() { QelUtilExportSetProgressCallback(nullptr, nullptr); }
    ProgressCallbackScope(const ProgressCallbackScope&) = delete;
    ProgressCallbackScope& operator=(const ProgressCallbackScope&) = delete;
};

// Exports the still image, reporting a failure; true when the file was written. A progress
// window with Cancel appears when the export takes more than a second; a cancelled export is no
// failure and reports nothing.
bool exportStillImage(QWidget& parent, bool withProgress) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    const QelUtilActionReporter reporter;
    if (!withProgress)
        return reporter.reportResult(QelUtilExport(false), "Unable to render offscreen image", "");
    QProgressDialog progress(ExportDialog::tr("Exporting…"), ExportDialog::tr("Cancel"), 0, progressSteps,
                             &parent);
    progress.setWindowTitle(ExportDialog::tr("Exporting…"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setMinimumDuration(1000);
    progress.setValue(0);
    bool exported = false;
    {
        const ProgressCallbackScope callback(progress);
        exported = QelUtilExport(false);
    }
    if (!exported && progress.wasCanceled())
        return false;
    return reporter.reportResult(exported, "Unable to render offscreen image", "");
}

} // namespace

bool ExportDialog::saveOptionsAndDoExport() {
    m_impl->manager().saveChanges();

    std::string extension, pattern, description;
    getExportFileSettings(m_impl->set().exportFormat()->retrieveValue(), extension, pattern, description);

    const QFileInfo proposed(QString::fromStdString(replaceExtension(proposedExportFileName(), extension)));
    const std::string folder = QDir::cleanPath(proposed.absolutePath()).toStdString();
    const std::string filter =
        description.empty() ? tr("All Files (*)").toStdString()
                            : QStringLiteral("%1 (%2)")
                                  .arg(QString::fromStdString(description), QString::fromStdString(pattern))
                                  .toStdString();

    SaveFileQtDialog fileDialog(this, tr("Select Export File"), folder, proposed.fileName().toStdString(),
                                filter, QStringLiteral("export_save.html"));
    if (!fileDialog.launch())
        return false;

    const std::string chosen = fileDialog.selectedFilename();
    writeKernelExportFileName(chosen);
    // The set still holds the name it proposed; the next OK must not write that back.
    m_impl->manager().followKernel();
    bool exported = true;
    if (m_impl->mode != Mode_Animation)
        exported = exportStillImage(*this, hostAdditions.exportProgress);
    FilenameStrategy::getManager().rememberOutcome(FilenameStrategy::FileCategory_Export, chosen, exported);
    return exported;
}

} // namespace qelmar::dialogs::io
