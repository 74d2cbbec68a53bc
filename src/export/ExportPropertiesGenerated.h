#pragma once

#include "host/KernelExport.h"
#include "host/StringList.h"
#include "host/UIKernelStylePropertiesAbstract.h"
#include "styleproperties/KernelStylePropertySet.h"

#include <string>

// One line per style value: value type, getter, setter, path below the set's base path.
// clang-format off
#define QELMAR_EXPORT_STYLE_PROPERTIES(X) \
    X(bool, useOffscreenBitmap, setUseOffscreenBitmap, "Interface", "UseOffScreenBitMap") \
    X(Palette_e, palette, setPalette, "PrintSetup", "Palette") \
    X(bool, forceExtra3DSorting, setForceExtra3DSorting, "PrintSetup", "ForceExtra3DSorting") \
    X(ExportFormat_e, exportFormat, setExportFormat, "ExportSetup", "ExportFormat") \
    X(ExportRegion_e, exportRegion, setExportRegion, "ExportSetup", "ExportRegion") \
    X(std::string, fileName, setFileName, "ExportSetup", "ExportFName") \
    X(int, imageWidth, setImageWidth, "ExportSetup", "ImageWidth") \
    X(bool, useSuperSampleAntiAliasing, setUseSuperSampleAntiAliasing, "ExportSetup", "UseSuperSampleAntiAliasing") \
    X(int, superSampleFactor, setSuperSampleFactor, "ExportSetup", "SuperSampleFactor") \
    X(double, animationSpeed, setAnimationSpeed, "ExportSetup", "AnimationSpeed") \
    X(AVICompression_e, aviCompression, setAviCompression, "ExportSetup", "AVICompression") \
    X(bool, useMultipleColorTables, setUseMultipleColorTables, "ExportSetup", "UseMultipleColorTables") \
    X(bool, convertTo256Colors, setConvertTo256Colors, "ExportSetup", "ConvertTo256Colors") \
    X(SunRaster_e, sunRasterFormat, setSunRasterFormat, "ExportSetup", "SunRasterFormat") \
    X(int, grayScaleDepth, setGrayScaleDepth, "ExportSetup", "GrayscaleDepth") \
    X(JPEGEncoding_e, jpegEncoding, setJpegEncoding, "ExportSetup", "JPEGEncoding") \
    X(double, quality, setQuality, "ExportSetup", "Quality") \
    X(FlashImageType_e, flashImageType, setFlashImageType, "ExportSetup", "FlashImageType") \
    X(FlashCompressionType_e, flashCompressionType, setFlashCompressionType, "ExportSetup", "FlashCompressionType") \
    X(PrintRenderType_e, renderType, setRenderType, "ExportSetup", "PrintRenderType") \
    X(int, resolution, setResolution, "PrintSetup", "ImageResolution") \
    X(int, precision, setPrecision, "PrintSetup", "Precision") \
    X(EPSPreviewImage_e, epsPreviewImageType, setEpsPreviewImageType, "ExportSetup", "EPSPreviewImage", "ImageType") \
    X(int, epsPreviewImageWidth, setEpsPreviewImageWidth, "ExportSetup", "EPSPreviewImage", "ImageWidth") \
    X(int, epsPreviewImageHeight, setEpsPreviewImageHeight, "ExportSetup", "EPSPreviewImage", "ImageHeight") \
    X(long, epsGrayScaleDepth, setEpsGrayScaleDepth, "ExportSetup", "EPSPreviewImage", "GrayscaleDepth")
// clang-format on

namespace qelmar::sdk::ui::propertymanager {

// Every export setting the kernel keeps, from the format and the file name to the preview
// image of an EPS file, as one set of kernel style properties.
class ExportPropertiesGenerated : public UIKernelStylePropertiesAbstract {
public:
    ExportPropertiesGenerated(bool modal, toolbox::StringList basePath);
    // Nested in a parent set: modal when the parent is, submitted with it.
    ExportPropertiesGenerated(UIKernelStylePropertiesAbstract* parent, toolbox::StringList basePath);
    ~ExportPropertiesGenerated() override;

    QELMAR_STYLE_PROPERTY_SET_OPERATIONS
    QELMAR_EXPORT_STYLE_PROPERTIES(QELMAR_STYLE_PROPERTY_ACCESSORS)

    const toolbox::StringList& basePath() const noexcept { return m_basePath; }

private:
    ExportPropertiesGenerated(bool modal, UIKernelStylePropertiesAbstract* parent,
                              toolbox::StringList basePath);

    QELMAR_STYLE_PROPERTY_SET_MEMBERS(QELMAR_EXPORT_STYLE_PROPERTIES)
};

} // namespace qelmar::sdk::ui::propertymanager
