#pragma once

#include "host/KernelExport.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SliderProperties.h"
#include "propertyframework/models/ListModelInterface.h"

#include <memory>
#include <string>

namespace qelmar::sdk::ui::propertymanager {
class ExportPropertiesGenerated;
} // namespace qelmar::sdk::ui::propertymanager

// The relevance of each format's page, named after the format: views on formatRelevance for
// the formats the dialog offers.
#define QELMAR_EXPORT_FORMAT_RELEVANCES(X)                                                                   \
    X(aviRelevance, ExportFormat_AVI)                                                                        \
    X(bmpRelevance, ExportFormat_BMP)                                                                        \
    X(epsRelevance, ExportFormat_EPS)                                                                        \
    X(flashRelevance, ExportFormat_Flash)                                                                    \
    X(jpegRelevance, ExportFormat_JPEG)                                                                      \
    X(mpeg4Relevance, ExportFormat_MPEG4)                                                                    \
    X(pngRelevance, ExportFormat_PNG)                                                                        \
    X(psRelevance, ExportFormat_PS)                                                                          \
    X(rasterMetafileRelevance, ExportFormat_RasterMetafile)                                                  \
    X(tiffRelevance, ExportFormat_TIFF)                                                                      \
    X(wmfRelevance, ExportFormat_WindowsMetafile)                                                            \
    X(wmvRelevance, ExportFormat_WMV)

// The relevances of the controls that apply to some formats only.
#define QELMAR_EXPORT_RELEVANCES(X)                                                                          \
    X(colorRelevance)                                                                                        \
    X(useOffscreenImageRelevance)                                                                            \
    X(imageWidthRelevance)                                                                                   \
    X(superSampleFactorRelevance)                                                                            \
    X(convertTo256ColorsRelevance)                                                                           \
    X(grayscaleDepthRelevance)                                                                               \
    X(imageEmbeddedInVectorRelevance)                                                                        \
    X(precisionRelevance)                                                                                    \
    X(force3DSortingRelevance)                                                                               \
    X(epsPreviewDepthRelevance)                                                                              \
    X(epsPreviewSizeRelevance)

namespace qelmar::sdk::ui::propertymanager {

// What the export dialog needs on top of the raw export settings: bounds on the numbers, the
// choices of the combo boxes, a colour check box over the kernel's palette, a relevance for
// every control that applies to some formats only, the size of the image that would be
// written, and saving or discarding the user's changes.
class ExportPropertiesManager {
public:
    template <typename T>
    using ModelPtr = std::shared_ptr<sdk::ui::dialogs::propertybindings::models::ListModelInterface<T>>;

    explicit ExportPropertiesManager(sdk::ui::propertymanager::ExportPropertiesGenerated& properties);
    virtual ~ExportPropertiesManager();
    ExportPropertiesManager(const ExportPropertiesManager&) = delete;
    ExportPropertiesManager& operator=(const ExportPropertiesManager&) = delete;

    // True while the format is chosen.
    sdk::ui::propertymanager::RelevancePtr formatRelevance(ExportFormat_e format) const;
#define QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER(Name, Format)                                                  \
    sdk::ui::propertymanager::RelevancePtr Name() const;
    QELMAR_EXPORT_FORMAT_RELEVANCES(QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER)
#undef QELMAR_EXPORT_FORMAT_RELEVANCE_GETTER
#define QELMAR_EXPORT_RELEVANCE_GETTER(Name) sdk::ui::propertymanager::RelevancePtr Name() const;
    QELMAR_EXPORT_RELEVANCES(QELMAR_EXPORT_RELEVANCE_GETTER)
#undef QELMAR_EXPORT_RELEVANCE_GETTER

    ModelPtr<ExportFormat_e> exportFormatModel() const;
    ModelPtr<ExportRegion_e> exportRegionModel() const;
    ModelPtr<EPSPreviewImage_e> epsPreviewImageModel() const;
    ModelPtr<long> grayscaleDepthModel() const;
    ModelPtr<FlashImageType_e> flashImageTypeModel() const;
    ModelPtr<JPEGEncoding_e> jpegEncodingModel() const;
    ModelPtr<AVICompression_e> aviCompressionModel() const;

    // The kernel's palette as colour (true) or monochrome.
    PropertyPtr<bool> color() const;
    // True while the user types the image width, false while the width of the image on screen
    // is used. Shared by every export dialog of the process.
    PropertyPtr<bool> useUserDefinedWidth() const;
    PropertyPtr<sdk::ui::propertymanager::SliderProperties<long>> jpegQualitySliderProperties() const;
    // "<width> x <height>" of the image the export would write.
    PropertyPtr<std::string> imageDimensions() const;

    // Offers the animation formats instead of the still-image formats, or back.
    void animationMode(bool animation);
    // Adds PDF and SVG to the still-image list, or takes them away.
    void offerExtraFormats(bool offered);
    // Writes every option to the kernel; the width of the image on screen becomes the image
    // width unless the user typed one.
    void saveChanges();
    // Forgets the width choice and every option changed since the last save: the kernel's
    // values show again.
    void discardChanges();
    // Shows what the kernel holds now, for a dialog opened again after changes made elsewhere.
    void followKernel();

    // The export dialog's relevance: true while a frame exists.
    static sdk::ui::propertymanager::RelevancePtr relevance();

private:
    void installDecorators();
    void installRelevances();
    void installListeners();
    void updateImageDimensions();
    std::string buildImageDimensionsString();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
