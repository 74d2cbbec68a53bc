#include "export/ExportDialog.h"

#include "export/ExportPropertiesGenerated.h"
#include "export/ExportPropertiesManager.h"
#include "host/AppLock.h"
#include "host/CheckButtonPropertyBinding.h"
#include "propertyframework/ExceptionBase.h"
#include "host/FilenameStrategy.h"
#include "host/Kernel.h"
#include "host/LabelPropertyBinding.h"
#include "host/LaunchHelpAction.h"
#include "host/QelUtilActionReporter.h"
#include "host/RelevanceApplier.h"
#include "host/SaveFileQtDialog.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "host/SliderIntPropertyBinding.h"
#include "host/SpinBoxIntPropertyBinding.h"
#include "host/StyleValue.h"
#include "host/WidgetBindingCore.h"
#include "propertyframework/PropertyTypeAdapter.h"
#include "bindings/ComboBoxPropertyBinding.h"
#include "bindings/RadioButtonPropertyBinding.h"
#include "bindings/TextFieldPropertyBinding.h"
#include "styleproperties/KernelProperty.h"
#include "util/DialogParts.h"

#include "ui_Export.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>

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
using sdk::ui::propertymanager::RelevancePtr;

namespace {

ExportDialog* dialogInstance = nullptr;

struct ExportFileSettings {
    const char* description;
    const char* pattern;
    const char* extension;
};

// Indexed by the format's value; formats that write no file of their own have an empty row.
const ExportFileSettings exportFileSettings[] = {
    {"Raster Metafiles", "*.rm", "rm"},
    {"TIFF Files", "*.tiff", "tiff"},
    {"SGI Files", "*.sgi", "sgi"},
    {"Sun Raster Files", "*.ras", "ras"},
    {"X-Window Files", "*.xwd", "xwd"},
    {"", "", ""},
    {"HP-GL Files", "*.hp", "hp"},
    {"HP-GL/2 Files", "*.hp2", "hp2"},
    {"PostScript Files", "*.ps", "ps"},
    {"EPS Files", "*.eps", "eps"},
    {"", "", ""},
    {"WMF Files", "*.wmf", "wmf"},
    {"BMP Files", "*.bmp", "bmp"},
    {"PNG Files", "*.png", "png"},
    {"AVI Files", "*.avi", "avi"},
    {"", "", ""},
    {"JPEG Files", "*.jpeg", "jpeg"},
    {"FLASH Files", "*.swf", "swf"},
    {"X3D Files", "*.x3d", "x3d"},
    {"Qelmar Viewer Files", "*.lpk", "lpk"},
    {"Flash Video Files", "*.flv", "flv"},
    {"MPEG-4 Files", "*.mp4", "mp4"},
    {"WMV Files", "*.wmv", "wmv"},
};

using HelpPages = std::map<ExportFormat_e, QString>;

HelpPages helpPagesByFormat() {
    return {
        {ExportFormat_AVI, "export_avi.html"},
        {ExportFormat_BMP, "export_bmp.html"},
        {ExportFormat_EPS, "export_eps.html"},
        {ExportFormat_Flash, "export_flash.html"},
        {ExportFormat_JPEG, "export_jpeg.html"},
        {ExportFormat_PS, "export_postscript.html"},
        {ExportFormat_PNG, "export_png.html"},
        {ExportFormat_TIFF, "export_tiff.html"},
        {ExportFormat_MPEG4, "export_mpeg4.html"},
        {ExportFormat_RasterMetafile, "export_raster_metafile.html"},
        {ExportFormat_WindowsMetafile, "export_windows_metafile.html"},
        {ExportFormat_WMV, "export_wmv.html"},
    };
}

// The overview of all formats, for a format the kernel holds but the dialog does not offer.
const QString exportOverviewPage = QStringLiteral("export.html");

// Opens the help page of the format currently chosen.
class ExportDialogLaunchHelpAction : public LaunchHelpAction {
public:
    ExportDialogLaunchHelpAction(PropertyPtr<ExportFormat_e> format, HelpPages pages, QObject* parent)
        : LaunchHelpAction(QString(), parent)
        , m_format(std::move(format))
        , m_pages(std::move(pages)) {
        m_connections.add(
            m_format->connectToValueChangedSignalUnique([this](const ExportFormat_e&) { updateLink(); }));
        updateLink();
    }

    void updateLink() {
        const auto found = m_pages.find(m_format->retrieveValue());
        setLink(found != m_pages.end() ? found->second : exportOverviewPage);
    }

private:
    PropertyPtr<ExportFormat_e> m_format;
    HelpPages m_pages;
    SignalConnectionCollection m_connections;
};

// The control families a page of the form holds.
enum Family : unsigned {
    Region = 1u << 0,
    Width = 1u << 1,
    Supersampling = 1u << 2,
    Dimensions = 1u << 3,
    AnimationSpeed = 1u << 4,
    AviCompression = 1u << 5,
    Colors256 = 1u << 6,
    GreyscaleDepth = 1u << 7,
    MultipleColorTables = 1u << 8,
    RenderType = 1u << 9,
    Resolution = 1u << 10,
    Precision = 1u << 11,
    ExtraSorting = 1u << 12,
    EpsPreview = 1u << 13,
    FlashOptions = 1u << 14,
    JpegOptions = 1u << 15,
};

constexpr unsigned rasterImage = Region | Width | Supersampling | Dimensions;
constexpr unsigned vectorImage = Region | RenderType | Resolution | Precision | ExtraSorting | Dimensions;

struct Page {
    const char* prefix;
    QWidget* Ui_Export::*widget;
    unsigned families;
};

// In the order of the form's pages.
const Page pages[] = {
    {"exportAvi_", &Ui_Export::Avi, rasterImage | AnimationSpeed | AviCompression},
    {"exportBmp_", &Ui_Export::Bmp, rasterImage | Colors256},
    {"exportEps_", &Ui_Export::Eps, vectorImage | EpsPreview},
    {"exportFlsh_", &Ui_Export::Flash, rasterImage | AnimationSpeed | FlashOptions},
    {"exportJpg_", &Ui_Export::Jpg, rasterImage | JpegOptions},
    {"exportPs_", &Ui_Export::PostScript, vectorImage},
    {"exportPng_", &Ui_Export::Png, rasterImage | Colors256},
    {"exportTiff_", &Ui_Export::Tiff, rasterImage | Colors256 | GreyscaleDepth},
    {"exportMp4_", &Ui_Export::Mpeg4, rasterImage | AnimationSpeed},
    {"exportRmf_", &Ui_Export::RasterMetafile, rasterImage | MultipleColorTables},
    {"exportWmf_", &Ui_Export::Wmf, Region | ExtraSorting},
    {"exportWmv_", &Ui_Export::Wmv, rasterImage},
};

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

std::string proposedExportFileName() {
    const std::string kernelName =
        KernelProperty<std::string>(toolbox::StyleValue(toolbox::StringList{"ExportSetup", "ExportFName"}))
            .retrieveValue();
    if (!kernelName.empty())
        return kernelName;
    const FilenameStrategy& strategy = FilenameStrategy::getManager();
    return strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Export) + "/" +
           strategy.getDefaultFileName(FilenameStrategy::FileCategory_Export);
}

void writeKernelExportFileName(const std::string& fileName) {
    KernelProperty<std::string>(toolbox::StyleValue(toolbox::StringList{"ExportSetup", "ExportFName"}))
        .setValue(fileName);
}

} // namespace

struct ExportDialog::Impl {
    Ui_Export ui;
    QWidget& dialog;
    std::unique_ptr<DialogParts<ExportPropertiesGenerated, ExportPropertiesManager>> parts;
    Mode_e mode = Mode_StillImage;
    std::map<QString, QWidget*> controls;
    std::vector<QPointer<QObject>> pageBinders;

    explicit Impl(ExportDialog& owner)
        : dialog(owner) {
        ui.setupUi(&owner);
        // Modal, so every option waits in the dialog until OK submits it.
        parts = std::make_unique<DialogParts<ExportPropertiesGenerated, ExportPropertiesManager>>(
            owner.isModal(), toolbox::StringList());
        indexControls();
        bindTopLevelControls();
        // One page is seen at a time: a page's controls are bound when it is first shown, which
        // makes opening the dialog cost one page rather than twelve.
        for (const Page& page : pages)
            pageBinders.push_back(new OnFirstShow(*(ui.*page.widget), [this, &page] { bindPage(page); }));
        applyRelevances();
    }

    ~Impl() {
        for (const QPointer<QObject>& binder : pageBinders)
            delete binder.data();
    }

    void indexControls() {
        for (QWidget* widget : dialog.findChildren<QWidget*>())
            controls.emplace(widget->objectName(), widget);
    }

    ExportPropertiesGenerated& set() const { return parts->properties(); }
    ExportPropertiesManager& manager() const { return parts->manager(); }

    template <class Widget> Widget* control(const char* prefix, const char* suffix) const {
        const QString name = QLatin1String(prefix) + QLatin1String(suffix);
        const auto found = controls.find(name);
        auto* widget = found == controls.end() ? nullptr : qobject_cast<Widget*>(found->second);
        if (!widget)
            throw std::logic_error("The export form has no control " + name.toStdString());
        return widget;
    }

    std::vector<QWidget*> controlsOfPages(unsigned family,
                                          std::initializer_list<const char*> suffixes) const {
        std::vector<QWidget*> widgets;
        for (const Page& page : pages) {
            if (page.families & family) {
                for (const char* suffix : suffixes)
                    widgets.push_back(control<QWidget>(page.prefix, suffix));
            }
        }
        return widgets;
    }

    void bindTopLevelControls() {
        parts->bind<ComboBoxPropertyBinding<ExportFormat_e>>(*ui.export_Format_CmbBox, set().exportFormat(),
                                                             manager().exportFormatModel(),
                                                             modelUpdateDeferred);
        parts->bind<CheckButtonPropertyBinding>(ui.export_Color_ToggleButton, manager().color(), false);
    }

    template <typename T, typename Model>
    void bindComboBox(const Page& page, const char* suffix, PropertyPtr<T> property, Model model) {
        parts->bind<ComboBoxPropertyBinding<T>>(*control<QComboBox>(page.prefix, suffix), std::move(property),
                                                std::move(model), modelUpdateDeferred);
    }

    template <typename T> void bindTextField(const Page& page, const char* suffix, PropertyPtr<T> property) {
        parts->bind<TextFieldPropertyBinding<T>>(control<QLineEdit>(page.prefix, suffix), std::move(property),
                                                 widgetUpdateOnIdle,
                                                 TextFieldPropertyBinding<T>::CursorPosition_End);
    }

    template <typename T>
    void bindRadioButton(const Page& page, const char* suffix, PropertyPtr<T> property, T value) {
        parts->bind<RadioButtonPropertyBinding<T>>(control<QAbstractButton>(page.prefix, suffix),
                                                   std::move(property), value);
    }

    void bindCheckBox(const Page& page, const char* suffix, PropertyPtr<bool> property) {
        parts->bind<CheckButtonPropertyBinding>(control<QAbstractButton>(page.prefix, suffix),
                                                std::move(property), false);
    }

    void bindPage(const Page& page) {
        const auto& set = this->set();
        const auto& manager = this->manager();
        const unsigned families = page.families;
        if (families & Region)
            bindComboBox(page, "Region_CmbBox", set.exportRegion(), manager.exportRegionModel());
        if (families & Width) {
            bindRadioButton(page, "UseScreenWidth_RadioButton", manager.useUserDefinedWidth(), false);
            bindRadioButton(page, "EnterWidth_RadioButton", manager.useUserDefinedWidth(), true);
            bindTextField(page, "Width_LineEdit", set.imageWidth());
        }
        if (families & Supersampling) {
            bindCheckBox(page, "Antialiasing_ToggleButton", set.useSuperSampleAntiAliasing());
            bindTextField(page, "Supersample_LineEdit", set.superSampleFactor());
        }
        if (families & Dimensions)
            parts->bind<LabelPropertyBinding>(control<QLabel>(page.prefix, "ExportDimVal_Label"),
                                              manager.imageDimensions(),
                                              LabelPropertyBinding::WidgetUpdate_OnIdle);
        if (families & AnimationSpeed)
            bindTextField(page, "AnimationSpeed_LineEdit", set.animationSpeed());
        if (families & AviCompression)
            bindComboBox(page, "AviCompression_CmbBox", set.aviCompression(), manager.aviCompressionModel());
        if (families & Colors256)
            bindCheckBox(page, "256Colors_ToggleButton", set.convertTo256Colors());
        if (families & GreyscaleDepth)
            bindComboBox<long>(page, "GreyscaleDepth_CmbBox",
                               std::make_shared<PropertyTypeAdapter<long, int>>(set.grayScaleDepth()),
                               manager.grayscaleDepthModel());
        if (families & MultipleColorTables)
            bindCheckBox(page, "UseMultipleColorTables_ToggleButton", set.useMultipleColorTables());
        if (families & RenderType) {
            bindRadioButton(page, "RenderTypeVector_RadioButton", set.renderType(), PrintRenderType_Vector);
            bindRadioButton(page, "RenderTypeImage_RadioButton", set.renderType(), PrintRenderType_Image);
        }
        if (families & Resolution)
            bindTextField(page, "Resolution_LineEdit", set.resolution());
        if (families & Precision)
            parts->bind<SpinBoxIntPropertyBinding>(control<QSpinBox>(page.prefix, "ExtraPrecision_LineEdit"),
                                                   set.precision());
        if (families & ExtraSorting)
            bindCheckBox(page, "ExtraSort_ToggleButton", set.forceExtra3DSorting());
        if (families & EpsPreview) {
            bindComboBox(page, "PreviewType_CmbBox", set.epsPreviewImageType(),
                         manager.epsPreviewImageModel());
            bindComboBox(page, "PreviewDepth_CmbBox", set.epsGrayScaleDepth(), manager.grayscaleDepthModel());
            bindTextField(page, "PreviewWidth_LineEdit", set.epsPreviewImageWidth());
            bindTextField(page, "PreviewHeight_LineEdit", set.epsPreviewImageHeight());
        }
        if (families & FlashOptions) {
            bindComboBox(page, "FlashType_CmbBox", set.flashImageType(), manager.flashImageTypeModel());
            bindRadioButton(page, "FlashTrueColorSpeed_RadioButton", set.flashCompressionType(),
                            FlashCompressionType_BestSpeed);
            bindRadioButton(page, "FlashTrueColorFileSize_RadioButton", set.flashCompressionType(),
                            FlashCompressionType_SmallestSize);
        }
        if (families & JpegOptions)
            bindJpegOptions(page);
    }

    void bindJpegOptions(const Page& page) {
        const auto& set = this->set();
        bindComboBox(page, "JPEGEncoding_CmbBox", set.jpegEncoding(), manager().jpegEncodingModel());
        parts->bind<SliderIntPropertyBinding>(
            control<QAbstractSlider>(page.prefix, "JPEGQuality_Scale"),
            std::make_shared<PropertyTypeAdapter<long, double>>(set.quality()),
            manager().jpegQualitySliderProperties(), SliderIntPropertyBinding::WidgetUpdate_OnIdle);
        parts->bind<LabelPropertyBinding>(
            control<QLabel>(page.prefix, "JPEGQualityValue_Label"),
            std::make_shared<PropertyTypeAdapter<std::string, double>>(set.quality()),
            LabelPropertyBinding::WidgetUpdate_OnIdle);
    }

    void showPageWhile(RelevancePtr relevance, QWidget* page) {
        parts->applyRelevance(std::move(relevance), page, RelevanceApplier::Manifestation_Show,
                              widgetUpdateOnIdle);
    }

    void enableWhile(RelevancePtr relevance, std::vector<QWidget*> widgets) {
        parts->applyRelevance(std::move(relevance), std::move(widgets),
                              RelevanceApplier::Manifestation_Enable, widgetUpdateOnIdle);
    }

    std::vector<QWidget*> controlsOf(std::initializer_list<const char*> prefixes,
                                     std::initializer_list<const char*> suffixes) const {
        std::vector<QWidget*> widgets;
        for (const char* prefix : prefixes) {
            for (const char* suffix : suffixes)
                widgets.push_back(control<QWidget>(prefix, suffix));
        }
        return widgets;
    }

    void applyRelevances() {
        const auto& m = manager();
        showPageWhile(m.aviRelevance(), ui.Avi);
        showPageWhile(m.bmpRelevance(), ui.Bmp);
        showPageWhile(m.epsRelevance(), ui.Eps);
        showPageWhile(m.flashRelevance(), ui.Flash);
        showPageWhile(m.jpegRelevance(), ui.Jpg);
        showPageWhile(m.psRelevance(), ui.PostScript);
        showPageWhile(m.pngRelevance(), ui.Png);
        showPageWhile(m.tiffRelevance(), ui.Tiff);
        showPageWhile(m.mpeg4Relevance(), ui.Mpeg4);
        showPageWhile(m.rasterMetafileRelevance(), ui.RasterMetafile);
        showPageWhile(m.wmfRelevance(), ui.Wmf);
        showPageWhile(m.wmvRelevance(), ui.Wmv);

        const auto postScriptPages = {"exportEps_", "exportPs_"};
        enableWhile(m.colorRelevance(), {ui.export_Color_ToggleButton});
        enableWhile(m.imageWidthRelevance(), controlsOfPages(Width, {"Width_LineEdit"}));
        enableWhile(m.superSampleFactorRelevance(),
                    controlsOfPages(Supersampling, {"Supersample_Label", "Supersample_LineEdit"}));
        enableWhile(m.convertTo256ColorsRelevance(), controlsOfPages(Colors256, {"256Colors_ToggleButton"}));
        enableWhile(m.grayscaleDepthRelevance(),
                    controlsOfPages(GreyscaleDepth, {"GreyscaleDepth_Label", "GreyscaleDepth_CmbBox"}));
        enableWhile(m.imageEmbeddedInVectorRelevance(),
                    controlsOf(postScriptPages, {"Resolution_Label", "Resolution_LineEdit", "ExportDim_Label",
                                                 "ExportDimVal_Label"}));
        enableWhile(m.precisionRelevance(),
                    controlsOf(postScriptPages, {"ExtraPrecision_Label", "ExtraPrecision_LineEdit"}));
        enableWhile(m.force3DSortingRelevance(), controlsOfPages(ExtraSorting, {"ExtraSort_ToggleButton"}));
        enableWhile(m.epsPreviewDepthRelevance(),
                    controlsOf({"exportEps_"}, {"PreviewDepth_CmbBox", "PreviewDepth_Label"}));
        enableWhile(m.epsPreviewSizeRelevance(),
                    controlsOf({"exportEps_"}, {"PreviewWidth_Label", "PreviewWidth_LineEdit",
                                                "PreviewHeight_Label", "PreviewHeight_LineEdit"}));
    }
};

ExportDialog* ExportDialog::getInstance(QWidget& parent, Mode_e mode) {
    if (!dialogInstance)
        dialogInstance = new ExportDialog(parent, Mode_StillImage);
    else if (!dialogInstance->isVisible())
        dialogInstance->m_impl->manager().followKernel();
    dialogInstance->m_impl->mode = mode;
    dialogInstance->m_impl->manager().animationMode(mode == Mode_Animation);
    return dialogInstance;
}

RelevancePtr ExportDialog::relevance() {
    return ExportPropertiesManager::relevance();
}

void ExportDialog::getExportFileSettings(ExportFormat_e format, std::string& extension, std::string& pattern,
                                         std::string& description) {
    const int row = static_cast<int>(format);
    const bool known = row >= 0 && row < static_cast<int>(std::size(exportFileSettings));
    const ExportFileSettings& settings = known ? exportFileSettings[row] : ExportFileSettings{"", "", ""};
    extension = settings.extension;
    pattern = settings.pattern;
    description = settings.description;
}

ExportDialog::ExportDialog(QWidget& parent, Mode_e mode)
    : QtDialogAbstract(&parent, relevance())
    , m_impl(std::make_unique<Impl>(*this)) {
    m_impl->mode = mode;
    m_impl->manager().animationMode(mode == Mode_Animation);
    setHelpAction(new ExportDialogLaunchHelpAction(m_impl->set().exportFormat(), helpPagesByFormat(), this));
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
            m_impl->manager().discardChanges();
        }
    } catch (const ExceptionBase& failure) {
        // A refused option: the user reads why and the dialog stays open to correct it.
        WidgetBindingCore::reportFailure(failure);
        return;
    }
    QtDialogAbstract::done(result);
}

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
    if (m_impl->mode != Mode_Animation) {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        const QelUtilActionReporter reporter;
        exported = reporter.reportResult(QelUtilExport(false), "Unable to render offscreen image", "");
    }
    FilenameStrategy::getManager().rememberOutcome(FilenameStrategy::FileCategory_Export, chosen, exported);
    return exported;
}

} // namespace qelmar::dialogs::io
