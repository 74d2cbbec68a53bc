#pragma once

#include "host/ExportSettingsTable.h"
#include "host/KernelExport.h"
#include "host/StringList.h"
#include "host/UIKernelStylePropertiesAbstract.h"
#include "styleproperties/KernelStylePropertySet.h"

#include <string>
#include <type_traits>

// One line per style value: value type, getter, setter, and the row of the kernel's export
// settings table that gives its path below the set's base path.
// clang-format off
#define QELMAR_EXPORT_STYLE_PROPERTIES(X) \
    X(bool, useOffscreenBitmap, setUseOffscreenBitmap, useOffscreenBitmap) \
    X(Palette_e, palette, setPalette, palette) \
    X(bool, forceExtra3DSorting, setForceExtra3DSorting, forceExtra3DSorting) \
    X(ExportFormat_e, exportFormat, setExportFormat, exportFormat) \
    X(ExportRegion_e, exportRegion, setExportRegion, exportRegion) \
    X(std::string, fileName, setFileName, fileName) \
    X(int, imageWidth, setImageWidth, imageWidth) \
    X(bool, useSuperSampleAntiAliasing, setUseSuperSampleAntiAliasing, useSuperSampleAntiAliasing) \
    X(int, superSampleFactor, setSuperSampleFactor, superSampleFactor) \
    X(double, animationSpeed, setAnimationSpeed, animationSpeed) \
    X(AVICompression_e, aviCompression, setAviCompression, aviCompression) \
    X(bool, useMultipleColorTables, setUseMultipleColorTables, useMultipleColorTables) \
    X(bool, convertTo256Colors, setConvertTo256Colors, convertTo256Colors) \
    X(SunRaster_e, sunRasterFormat, setSunRasterFormat, sunRasterFormat) \
    X(int, grayScaleDepth, setGrayScaleDepth, grayScaleDepth) \
    X(JPEGEncoding_e, jpegEncoding, setJpegEncoding, jpegEncoding) \
    X(double, quality, setQuality, quality) \
    X(FlashImageType_e, flashImageType, setFlashImageType, flashImageType) \
    X(FlashCompressionType_e, flashCompressionType, setFlashCompressionType, flashCompressionType) \
    X(PrintRenderType_e, renderType, setRenderType, renderType) \
    X(int, resolution, setResolution, resolution) \
    X(int, precision, setPrecision, precision) \
    X(EPSPreviewImage_e, epsPreviewImageType, setEpsPreviewImageType, epsPreviewImageType) \
    X(int, epsPreviewImageWidth, setEpsPreviewImageWidth, epsPreviewImageWidth) \
    X(int, epsPreviewImageHeight, setEpsPreviewImageHeight, epsPreviewImageHeight) \
    X(long, epsGrayScaleDepth, setEpsGrayScaleDepth, epsGrayScaleDepth)
// clang-format on

namespace qelmar::sdk::ui::propertymanager {

// Whether a property of the type can hold the values of the setting, so that a property and its
// row cannot drift apart unnoticed.
template <typename T> constexpr bool holdsExportSetting(const ExportSetting& setting) {
    switch (setting.type) {
    case ExportSettingType::Boolean:
        return std::is_same_v<T, bool>;
    case ExportSettingType::Integer:
        return std::is_integral_v<T> && !std::is_same_v<T, bool>;
    case ExportSettingType::Enumeration:
        return std::is_enum_v<T> || (std::is_integral_v<T> && !std::is_same_v<T, bool>);
    case ExportSettingType::Real:
        return std::is_floating_point_v<T>;
    case ExportSettingType::Text:
        return std::is_same_v<T, std::string>;
    }
    return false;
}

#define QELMAR_EXPORT_STYLE_PROPERTY_MEMBER(Type, Getter, Setter, Setting)                                   \
    static_assert(holdsExportSetting<Type>(::qelmar::sdk::exportsettings::Setting),                          \
                  #Getter " does not hold the values of its setting");                                       \
    ::qelmar::sdk::styleproperties::KernelStylePropertyEntry<Type> m_##Getter{                               \
        m_table, isModal(), m_basePath, ::qelmar::sdk::exportsettings::Setting.path};

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

    toolbox::StringList m_basePath;
    styleproperties::KernelStylePropertyTable m_table;
    QELMAR_EXPORT_STYLE_PROPERTIES(QELMAR_EXPORT_STYLE_PROPERTY_MEMBER)
};

} // namespace qelmar::sdk::ui::propertymanager
