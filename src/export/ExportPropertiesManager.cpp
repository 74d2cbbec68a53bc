#include "export/ExportPropertiesManager.h"

#include "export/ExportPropertiesGenerated.h"
#include "host/AppLock.h"
#include "host/BooleanPropertyDependentRelevance.h"
#include "host/ExportFormats.h"
#include "host/ExportSettingsTable.h"
#include "host/FrameExistsRelevance.h"
#include "host/InvertingRelevance.h"
#include "host/Kernel.h"
#include "host/RelevanceExpression.h"
#include "host/SimpleBooleanRelevance.h"
#include "host/StyleValue.h"
#include "propertyframework/BoundedValueValidator.h"
#include "propertyframework/Property.h"
#include "propertyframework/PropertyDecoratorAbstract.h"
#include "propertyframework/PropertyDependentRelevance.h"
#include "propertyframework/PropertyTypeAdapter.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/ListModelProxy.h"
#include "propertyframework/models/PremappedListModel.h"
#include "styleproperties/KernelProperty.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

namespace qelmar::sdk::ui::propertymanager {

using sdk::AppLock;
using sdk::SignalConnectionCollection;
using sdk::ui::dialogs::propertybindings::models::ListModelProxy;
using sdk::ui::dialogs::propertybindings::models::ModelValueInfo;
using sdk::ui::dialogs::propertybindings::models::PremappedListModel;
using sdk::ui::propertymanager::BooleanPropertyDependentRelevance;
using sdk::ui::propertymanager::ExportPropertiesGenerated;
using sdk::ui::propertymanager::FrameExistsRelevance;
using sdk::ui::propertymanager::InvertingRelevance;
using sdk::ui::propertymanager::PropertyDependentRelevance;
using sdk::ui::propertymanager::RelevanceExpression;
using sdk::ui::propertymanager::RelevancePtr;

namespace {

using sdk::ExportFormatDescriptor;
using sdk::ExportFormatOffer;
namespace exportsettings = sdk::exportsettings;

// The formats of one list of the dialog, labelled in the user's language. Built once: the models
// keep pointers into it.
std::vector<ModelValueInfo<ExportFormat_e>> formatsOffered(std::initializer_list<ExportFormatOffer> offers) {
    std::vector<ModelValueInfo<ExportFormat_e>> formats;
    for (const ExportFormatDescriptor& format : sdk::exportFormats()) {
        if (std::find(offers.begin(), offers.end(), format.offer) != offers.end())
            formats.push_back(
                {QCoreApplication::translate("ExportFormat", format.label).toStdString(), format.value});
    }
    return formats;
}

const std::vector<ModelValueInfo<ExportFormat_e>>& stillImageFormats() {
    static const auto formats = formatsOffered({ExportFormatOffer::StillImage});
    return formats;
}

// The still-image formats with the extra ones among them, in table order.
const std::vector<ModelValueInfo<ExportFormat_e>>& stillImageAndExtraFormats() {
    static const auto formats =
        formatsOffered({ExportFormatOffer::StillImage, ExportFormatOffer::ExtraStillImage});
    return formats;
}

const std::vector<ModelValueInfo<ExportFormat_e>>& animationFormats() {
    static const auto formats = formatsOffered({ExportFormatOffer::Animation});
    return formats;
}

const ModelValueInfo<ExportRegion_e> exportRegions[] = {
    {"Current frame", ExportRegion_CurrentFrame},
    {"All frames", ExportRegion_AllFrames},
    {"Work area", ExportRegion_WorkArea},
};

const ModelValueInfo<EPSPreviewImage_e> epsPreviewImages[] = {
    {"None", EPSPreviewImage_None},
    {"TIFF", EPSPreviewImage_TIFF},
    {"EPSIV2", EPSPreviewImage_EPSIV2},
    {"FrameMaker", EPSPreviewImage_FRAMEMAKER},
};

const ModelValueInfo<long> grayscaleDepths[] = {
    {"On/Off", 0},
    {"1-Bit Gray", 1},
    {"4-Bit Gray", 4},
    {"8-Bit Gray", 8},
};

const ModelValueInfo<FlashImageType_e> flashImageTypes[] = {
    {"True Color", FlashImageType_Lossless},
    {"JPEG", FlashImageType_JPEG},
    {"256 Colors", FlashImageType_Color256},
};

const ModelValueInfo<JPEGEncoding_e> jpegEncodings[] = {
    {"Standard", JPEGEncoding_Standard},
    {"Progressive", JPEGEncoding_Progressive},
};

const ModelValueInfo<AVICompression_e> aviCompressions[] = {
    {"Color preserving", AVICompression_ColorPreserving},
    {"Line preserving", AVICompression_LinePreserving},
    {"Uncompressed", AVICompression_Uncompressed},
};

template <typename T>
std::shared_ptr<PremappedListModel<T>> modelOver(const ModelValueInfo<T>* table, int length) {
    return std::make_shared<PremappedListModel<T>>(table, length);
}

template <typename T, std::size_t N>
std::shared_ptr<PremappedListModel<T>> modelOver(const ModelValueInfo<T> (&table)[N]) {
    return modelOver(table, static_cast<int>(N));
}

template <typename T>
std::shared_ptr<PremappedListModel<T>> modelOver(const std::vector<ModelValueInfo<T>>& table) {
    return modelOver(table.data(), static_cast<int>(table.size()));
}

std::shared_ptr<PremappedListModel<ExportFormat_e>> modelForAnimationMode(bool animation, bool extraFormats) {
    if (animation)
        return modelOver(animationFormats());
    return extraFormats ? modelOver(stillImageAndExtraFormats()) : modelOver(stillImageFormats());
}

Palette_e boolToPaletteConverter(const bool& color) {
    return color ? Palette_Color : Palette_Monochrome;
}

bool paletteToBoolConverter(const Palette_e& palette) {
    return palette != Palette_Monochrome;
}

// Stores through the decorated property, so its own checks and the kernel's still apply after
// the decorator's validator let a value pass.
template <typename T> class PropertyValidatorDecorator : public PropertyDecoratorAbstract<T> {
public:
    PropertyValidatorDecorator(PropertyPtr<T> decorated, ValidatorPtr<T> validator)
        : PropertyDecoratorAbstract<T>(std::move(decorated), std::move(validator)) {}
    T retrieveValue() const override { return this->decorated()->retrieveValue(); }

protected:
    void storeValue(const T& value) override { this->setDecoratedValue(value); }
};

// How fine an image embedded in a vector export may be depends on the size of the region: the
// kernel says how far it goes, asked afresh each time since the region may have changed.
class VectorImageResolutionValidator : public ValidatorInterface<int> {
public:
    explicit VectorImageResolutionValidator(PropertyPtr<ExportRegion_e> region)
        : m_region(std::move(region)) {}

    ValidationResult validate(const int& value) const override {
        const int maximum = maximumResolution();
        ValidationResult result;
        if (value < 1 || value > maximum)
            result.setErrorString("The value must be within the range 1 to " + std::to_string(maximum) + ".");
        return result;
    }

private:
    int maximumResolution() const {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        return QelAppGetVectorExportMaxDPI(m_region->retrieveValue());
    }

    PropertyPtr<ExportRegion_e> m_region;
};

// Flash stores its frame rate in 1/256 frames per second, so a slower speed would be written as
// 0; every other format goes down to the common lower bound.
class AnimationSpeedValidator : public ValidatorInterface<double> {
public:
    explicit AnimationSpeedValidator(PropertyPtr<ExportFormat_e> format)
        : m_format(std::move(format)) {}

    ValidationResult validate(const double& value) const override {
        const auto& speed = exportsettings::animationSpeed;
        const double lowest = m_format->retrieveValue() == ExportFormat_Flash ? 1.0 / 256.0 : speed.minimum;
        return BoundedValueValidator<double>(lowest, speed.maximum).validate(value);
    }

private:
    PropertyPtr<ExportFormat_e> m_format;
};

template <typename T>
void decorate(PropertyPtr<T> (ExportPropertiesGenerated::*getter)() const,
              void (ExportPropertiesGenerated::*setter)(PropertyPtr<T>),
              ExportPropertiesGenerated& properties, ValidatorPtr<T> validator) {
    (properties.*
     setter)(std::make_shared<PropertyValidatorDecorator<T>>((properties.*getter)(), std::move(validator)));
}

// The range the kernel gives the setting, checked before the value reaches the kernel so that
// the user reads why at once.
template <typename T> ValidatorPtr<T> boundedAs(const sdk::ExportSetting& setting) {
    return std::make_shared<const BoundedValueValidator<T>>(static_cast<T>(setting.minimum),
                                                            static_cast<T>(setting.maximum));
}

// False for no operands at all.
RelevancePtr anyOf(const std::vector<RelevancePtr>& operands) {
    if (operands.empty())
        return std::make_shared<const sdk::ui::propertymanager::SimpleBooleanRelevance>(false);
    auto expression = std::make_shared<RelevanceExpression>(operands.front());
    for (auto operand = operands.begin() + 1; operand != operands.end(); ++operand)
        expression->oor(*operand);
    return *expression;
}

RelevancePtr allOf(std::initializer_list<RelevancePtr> operands) {
    auto expression = std::make_shared<RelevanceExpression>(*operands.begin());
    for (auto operand = operands.begin() + 1; operand != operands.end(); ++operand)
        expression->aand(*operand);
    return *expression;
}

RelevancePtr isNot(RelevancePtr operand) {
    return std::make_shared<const InvertingRelevance>(std::move(operand));
}

RelevancePtr isTrue(std::shared_ptr<const PropertyAbstract<bool>> property) {
    return std::make_shared<const BooleanPropertyDependentRelevance>(std::move(property));
}

template <typename T> RelevancePtr equals(PropertyPtr<T> property, T value) {
    return std::make_shared<const PropertyDependentRelevance<T>>(std::move(property), value);
}

bool someFrameIsThreeDimensional() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    bool found = false;
    if (QelUtilFrameLightweightPopStart()) {
        do {
            found = QelUtilFrameGetPlotType() == PlotType_ThreeDimensional;
        } while (!found && QelUtilFrameLightweightPopNext());
    }
    QelUtilFrameLightweightPopEnd();
    return found;
}

// The formats whose page offers the colour check box; every other format exports in colour.
bool offersColorChoice(ExportFormat_e format) {
    return sdk::exportFormatHasOption(format, sdk::ExportFormatOption_ColourChoice);
}

PropertyPtr<bool>& useUserDefinedWidthProperty() {
    static PropertyPtr<bool> property = std::make_shared<Property<bool>>(false);
    return property;
}

} // namespace

struct ExportPropertiesManager::Impl {
    ExportPropertiesGenerated& properties;

    // One for every format of the table.
    std::map<ExportFormat_e, RelevancePtr> formatRelevances;
#define QELMAR_EXPORT_RELEVANCE_MEMBER(Name) RelevancePtr Name;
    QELMAR_EXPORT_RELEVANCES(QELMAR_EXPORT_RELEVANCE_MEMBER)
#undef QELMAR_EXPORT_RELEVANCE_MEMBER
    RelevancePtr vectorFormatRelevance;

    std::shared_ptr<ListModelProxy<ExportFormat_e>> exportFormatModel =
        std::make_shared<ListModelProxy<ExportFormat_e>>(modelForAnimationMode(false, false));
    bool animation = false;
    bool extraFormats = false;
    ModelPtr<ExportRegion_e> exportRegionModel = modelOver(exportRegions);
    ModelPtr<EPSPreviewImage_e> epsPreviewImageModel = modelOver(epsPreviewImages);
    ModelPtr<long> grayscaleDepthModel = modelOver(grayscaleDepths);
    ModelPtr<FlashImageType_e> flashImageTypeModel = modelOver(flashImageTypes);
    ModelPtr<JPEGEncoding_e> jpegEncodingModel = modelOver(jpegEncodings);
    ModelPtr<AVICompression_e> aviCompressionModel = modelOver(aviCompressions);

    PropertyPtr<bool> color;
    PropertyPtr<sdk::ui::propertymanager::SliderProperties<long>> jpegQualitySliderProperties =
        std::make_shared<Property<sdk::ui::propertymanager::SliderProperties<long>>>(
            sdk::ui::propertymanager::SliderProperties<long>(1, 100, 1));
    PropertyPtr<bool> threeDimensionalFrame = std::make_shared<Property<bool>>(someFrameIsThreeDimensional());
    PropertyPtr<std::string> imageDimensions = std::make_shared<Property<std::string>>();
    bool savedUseUserDefinedWidth = false;
    SignalConnectionCollection connections;

    explicit Impl(ExportPropertiesGenerated& set)
        : properties(set)
        , color(std::make_shared<PropertyTypeAdapter<bool, Palette_e>>(set.palette(), &paletteToBoolConverter,
                                                                       &boolToPaletteConverter)) {
        auto& useUserDefinedWidth = *useUserDefinedWidthProperty();
        if (!useUserDefinedWidth.retrieveValue())
            useUserDefinedWidth.setValue(!set.useOffscreenBitmap()->retrieveValue());
        initializeColor();
        savedUseUserDefinedWidth = useUserDefinedWidth.retrieveValue();
    }

    // The palette is one value for every format. A monochrome one left behind by a format that
    // offers the colour choice (TIFF) gives way to colour whenever the dialog opens on, or the
    // user picks, a format without that choice: such a format is written in colour, and its
    // colour options (256 colours) must apply and stay within reach.
    void initializeColor() {
        if (!color->retrieveValue() && !offersColorChoice(properties.exportFormat()->retrieveValue()))
            color->setValue(true);
    }

    RelevancePtr formatIs(ExportFormat_e format) const {
        const auto found = formatRelevances.find(format);
        return found != formatRelevances.end() ? found->second : equals(properties.exportFormat(), format);
    }

    // True while the chosen format is one of the table's rows that pass the test.
    template <typename Test> RelevancePtr formatIsAny(Test test) const {
        std::vector<RelevancePtr> formats;
        for (const ExportFormatDescriptor& format : sdk::exportFormats()) {
            if (test(format))
                formats.push_back(formatIs(format.value));
        }
        return anyOf(formats);
    }
};

ExportPropertiesManager::ExportPropertiesManager(ExportPropertiesGenerated& properties)
    : m_impl(std::make_unique<Impl>(properties)) {
    animationMode(false);
    installDecorators();
    installRelevances();
    installListeners();
    updateImageDimensions();
}

ExportPropertiesManager::~ExportPropertiesManager() = default;

void ExportPropertiesManager::installDecorators() {
    auto& set = m_impl->properties;
    using Set = ExportPropertiesGenerated;
    decorate(&Set::imageWidth, &Set::setImageWidth, set, boundedAs<int>(exportsettings::imageWidth));
    decorate(&Set::superSampleFactor, &Set::setSuperSampleFactor, set,
             boundedAs<int>(exportsettings::superSampleFactor));
    decorate<double>(&Set::animationSpeed, &Set::setAnimationSpeed, set,
                     std::make_shared<const AnimationSpeedValidator>(set.exportFormat()));
    decorate<int>(&Set::resolution, &Set::setResolution, set,
                  std::make_shared<const VectorImageResolutionValidator>(set.exportRegion()));
    decorate(&Set::precision, &Set::setPrecision, set, boundedAs<int>(exportsettings::precision));
    decorate(&Set::epsPreviewImageWidth, &Set::setEpsPreviewImageWidth, set,
             boundedAs<int>(exportsettings::epsPreviewImageWidth));
    decorate(&Set::epsPreviewImageHeight, &Set::setEpsPreviewImageHeight, set,
             boundedAs<int>(exportsettings::epsPreviewImageHeight));
}

void ExportPropertiesManager::installRelevances() {
    Impl& d = *m_impl;
    const auto& set = d.properties;
    for (const ExportFormatDescriptor& format : sdk::exportFormats())
        d.formatRelevances.emplace(format.value, equals(set.exportFormat(), format.value));

    // Anything that is not an image of pixels counts as vector.
    d.vectorFormatRelevance = isNot(d.formatIsAny(std::mem_fn(&ExportFormatDescriptor::isPixelImage)));
    const RelevancePtr postScript =
        d.formatIsAny(std::mem_fn(&ExportFormatDescriptor::embedsImageAtResolution));
    const auto offering = [](sdk::ExportFormatOption option) {
        return [option](const ExportFormatDescriptor& format) { return format.hasOption(option); };
    };

    d.colorRelevance = d.formatIsAny(offering(sdk::ExportFormatOption_ColourChoice));
    d.useOffscreenImageRelevance = isTrue(set.useOffscreenBitmap());
    d.imageWidthRelevance =
        allOf({d.useOffscreenImageRelevance, isNot(postScript), isTrue(useUserDefinedWidthProperty())});
    d.superSampleFactorRelevance =
        allOf({d.useOffscreenImageRelevance, isTrue(set.useSuperSampleAntiAliasing())});
    d.convertTo256ColorsRelevance =
        allOf({d.formatIsAny(offering(sdk::ExportFormatOption_256Colours)), isTrue(d.color)});
    d.grayscaleDepthRelevance = isNot(d.convertTo256ColorsRelevance);
    d.imageEmbeddedInVectorRelevance = allOf({postScript, equals(set.renderType(), PrintRenderType_Image)});
    d.precisionRelevance = allOf({postScript, equals(set.renderType(), PrintRenderType_Vector)});
    d.force3DSortingRelevance = anyOf({allOf({d.precisionRelevance, isTrue(d.threeDimensionalFrame)}),
                                       d.formatIs(ExportFormat_WindowsMetafile)});
    d.epsPreviewDepthRelevance =
        allOf({d.formatIs(ExportFormat_EPS), equals(set.epsPreviewImageType(), EPSPreviewImage_TIFF)});
    d.epsPreviewSizeRelevance =
        allOf({d.formatIs(ExportFormat_EPS), isNot(equals(set.epsPreviewImageType(), EPSPreviewImage_None))});
}

void ExportPropertiesManager::installListeners() {
    const auto& set = m_impl->properties;
    auto& connections = m_impl->connections;
    const auto update = [this](const auto&) { updateImageDimensions(); };
    constexpr NotificationPriority priority = 1;
    connections.add(useUserDefinedWidthProperty()->connectToValueChangedSignalUnique(update, priority));
    connections.add(set.imageWidth()->connectToValueChangedSignalUnique(update, priority));
    connections.add(set.exportFormat()->connectToValueChangedSignalUnique(update, priority));
    connections.add(set.exportRegion()->connectToValueChangedSignalUnique(update, priority));
    connections.add(set.resolution()->connectToValueChangedSignalUnique(update, priority));
    connections.add(set.exportFormat()->connectToValueChangedSignalUnique(
        [this](const auto&) { m_impl->initializeColor(); }));
    // Without an off-screen bitmap the kernel writes the width on screen, whatever is typed.
    connections.add(set.useOffscreenBitmap()->connectToValueChangedSignalUnique(update, priority));
}

void ExportPropertiesManager::updateImageDimensions() {
    m_impl->imageDimensions->setValue(buildImageDimensionsString());
}

std::string ExportPropertiesManager::buildImageDimensionsString() {
    Impl& d = *m_impl;
    const auto& set = d.properties;
    const AppLock lock(AppLock::ImplicitMacroRecord);
    const toolbox::StyleValue kernelResolution(toolbox::StringList(exportsettings::resolution.path));
    const int dialogResolution = set.resolution()->retrieveValue();
    const bool vector = d.vectorFormatRelevance->isRelevant();
    // The kernel sizes a vector export by its own resolution, so it is shown the dialog's for
    // the question and given back what it held just before: printing shares the value, and it
    // may have changed since the dialog was built or last saved.
    const int heldResolution =
        vector ? sdk::styleproperties::KernelProperty<int>(kernelResolution).retrieveValue() : 0;
    if (vector)
        kernelResolution.set<int>(dialogResolution);

    // The kernel sizes the image exactly as its writers will (even sides for movies, the width on
    // screen without an off-screen bitmap), so the text is what the file gets.
    const int askedWidth =
        useUserDefinedWidthProperty()->retrieveValue() && !vector ? set.imageWidth()->retrieveValue() : 0;
    int width = 0;
    int height = 0;
    QelUtilGetExportImageSize(set.exportFormat()->retrieveValue(), set.exportRegion()->retrieveValue(),
                              askedWidth, &width, &height);

    if (vector) {
        const SignalConnectionCollection::ConnectionBlocker quiet(d.connections);
        kernelResolution.set<int>(heldResolution);
        if (set.resolution()->retrieveValue() != dialogResolution)
            set.resolution()->setValue(dialogResolution);
    }
    return std::to_string(width) + " x " + std::to_string(height);
}

void ExportPropertiesManager::saveChanges() {
    const auto& set = m_impl->properties;
    if (!useUserDefinedWidthProperty()->retrieveValue()) {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        set.imageWidth()->setValue(QelUtilGetDefaultExportImageWidth(set.exportFormat()->retrieveValue(),
                                                                     set.exportRegion()->retrieveValue()));
    }
    m_impl->properties.submit();
    m_impl->savedUseUserDefinedWidth = useUserDefinedWidthProperty()->retrieveValue();
}

void ExportPropertiesManager::discardChanges() {
    useUserDefinedWidthProperty()->setValue(m_impl->savedUseUserDefinedWidth);
    m_impl->properties.revertProperties();
}

void ExportPropertiesManager::followKernel() {
    m_impl->properties.revertProperties();
    m_impl->initializeColor();
}

void ExportPropertiesManager::animationMode(bool animation) {
    m_impl->animation = animation;
    m_impl->exportFormatModel->setModel(modelForAnimationMode(animation, m_impl->extraFormats));
}

void ExportPropertiesManager::offerExtraFormats(bool offered) {
    if (m_impl->extraFormats == offered)
        return;
    m_impl->extraFormats = offered;
    animationMode(m_impl->animation);
}

RelevancePtr ExportPropertiesManager::relevance() {
    static const RelevancePtr frameExists = std::make_shared<const FrameExistsRelevance>();
    return frameExists;
}

RelevancePtr ExportPropertiesManager::formatRelevance(ExportFormat_e format) const {
    return m_impl->formatIs(format);
}

#define QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER(Name, Format)                                                  \
    RelevancePtr ExportPropertiesManager::Name() const {                                                     \
        return formatRelevance(Format);                                                                      \
    }
QELMAR_EXPORT_FORMAT_RELEVANCES(QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER)
#undef QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER

#define QELMAR_EXPORT_RELEVANCE_GETTER(Name)                                                                 \
    RelevancePtr ExportPropertiesManager::Name() const {                                                     \
        return m_impl->Name;                                                                                 \
    }
QELMAR_EXPORT_RELEVANCES(QELMAR_EXPORT_RELEVANCE_GETTER)
#undef QELMAR_EXPORT_RELEVANCE_GETTER

ExportPropertiesManager::ModelPtr<ExportFormat_e> ExportPropertiesManager::exportFormatModel() const {
    return m_impl->exportFormatModel;
}
ExportPropertiesManager::ModelPtr<ExportRegion_e> ExportPropertiesManager::exportRegionModel() const {
    return m_impl->exportRegionModel;
}
ExportPropertiesManager::ModelPtr<EPSPreviewImage_e> ExportPropertiesManager::epsPreviewImageModel() const {
    return m_impl->epsPreviewImageModel;
}
ExportPropertiesManager::ModelPtr<long> ExportPropertiesManager::grayscaleDepthModel() const {
    return m_impl->grayscaleDepthModel;
}
ExportPropertiesManager::ModelPtr<FlashImageType_e> ExportPropertiesManager::flashImageTypeModel() const {
    return m_impl->flashImageTypeModel;
}
ExportPropertiesManager::ModelPtr<JPEGEncoding_e> ExportPropertiesManager::jpegEncodingModel() const {
    return m_impl->jpegEncodingModel;
}
ExportPropertiesManager::ModelPtr<AVICompression_e> ExportPropertiesManager::aviCompressionModel() const {
    return m_impl->aviCompressionModel;
}

PropertyPtr<bool> ExportPropertiesManager::color() const {
    return m_impl->color;
}
PropertyPtr<bool> ExportPropertiesManager::useUserDefinedWidth() const {
    return useUserDefinedWidthProperty();
}
PropertyPtr<sdk::ui::propertymanager::SliderProperties<long>>
ExportPropertiesManager::jpegQualitySliderProperties() const {
    return m_impl->jpegQualitySliderProperties;
}
PropertyPtr<std::string> ExportPropertiesManager::imageDimensions() const {
    return m_impl->imageDimensions;
}

} // namespace qelmar::sdk::ui::propertymanager
