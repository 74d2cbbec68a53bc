#pragma once

// The kernel's export style values, one row each: where the value lives, its type, the value of a
// fresh installation and the values it takes. The kernel registers its values from these rows and
// the export dialog builds its properties and their bounds from the same rows, so a path, a
// default or a range is written once.

#include "host/ExportFormats.h"
#include "host/KernelExport.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>

namespace qelmar::sdk {

enum class ExportSettingType {
    Boolean,
    Integer,
    Enumeration,
    Real,
    Text,
};

struct ExportSetting {
    // The style value's names, outermost first.
    std::initializer_list<const char*> path;
    ExportSettingType type;
    // Booleans as 0 or 1, enumerations as their value; a text starts empty.
    double defaultValue = 0;
    // Inclusive bounds of integers and reals.
    double minimum = 0;
    double maximum = 0;
    // The values an enumeration takes.
    const long* choices = nullptr;
    std::size_t choiceCount = 0;

    constexpr const long* begin() const { return choices; }
    constexpr const long* end() const { return choices + choiceCount; }
};

namespace exportsettings {

// The largest side of an image the writers and the dialog accept, in pixels.
inline constexpr int largestImageSide = 32766;

inline constexpr long paletteChoices[] = {Palette_Monochrome, Palette_PenPlotter, Palette_Color};
inline constexpr long regionChoices[] = {ExportRegion_CurrentFrame, ExportRegion_AllFrames,
                                         ExportRegion_WorkArea};
inline constexpr long aviCompressionChoices[] = {AVICompression_ColorPreserving,
                                                 AVICompression_LinePreserving, AVICompression_Uncompressed};
inline constexpr long sunRasterChoices[] = {SunRaster_OldFormat, SunRaster_Standard, SunRaster_ByteEncoded};
// Bits per pixel of a grey image; 0 is black and white.
inline constexpr long greyscaleDepthChoices[] = {0, 1, 4, 8};
inline constexpr long jpegEncodingChoices[] = {JPEGEncoding_Standard, JPEGEncoding_Progressive};
inline constexpr long flashImageTypeChoices[] = {FlashImageType_Lossless, FlashImageType_JPEG,
                                                 FlashImageType_Color256};
inline constexpr long flashCompressionChoices[] = {FlashCompressionType_BestSpeed,
                                                   FlashCompressionType_SmallestSize};
inline constexpr long renderTypeChoices[] = {PrintRenderType_Vector, PrintRenderType_Image};
inline constexpr long epsPreviewChoices[] = {EPSPreviewImage_None, EPSPreviewImage_TIFF,
                                             EPSPreviewImage_EPSIV2, EPSPreviewImage_FRAMEMAKER};

constexpr auto Boolean = ExportSettingType::Boolean;
constexpr auto Integer = ExportSettingType::Integer;
constexpr auto Enumeration = ExportSettingType::Enumeration;
constexpr auto Real = ExportSettingType::Real;
constexpr auto Text = ExportSettingType::Text;

// clang-format off
inline constexpr ExportSetting useOffscreenBitmap{{"Interface", "UseOffScreenBitMap"}, Boolean, 1};
inline constexpr ExportSetting palette{{"PrintSetup", "Palette"}, Enumeration, Palette_Color, 0, 0, paletteChoices, std::size(paletteChoices)};
// Accepted for hosts whose renderers sort late; this kernel draws three-dimensional frames back to front anyway.
inline constexpr ExportSetting forceExtra3DSorting{{"PrintSetup", "ForceExtra3DSorting"}, Boolean, 0};
inline constexpr ExportSetting exportFormat{{"ExportSetup", "ExportFormat"}, Enumeration, ExportFormat_PNG, 0, 0, exportFormatValues.data(), exportFormatValues.size()};
inline constexpr ExportSetting exportRegion{{"ExportSetup", "ExportRegion"}, Enumeration, ExportRegion_CurrentFrame, 0, 0, regionChoices, std::size(regionChoices)};
inline constexpr ExportSetting fileName{{"ExportSetup", "ExportFName"}, Text};
inline constexpr ExportSetting imageWidth{{"ExportSetup", "ImageWidth"}, Integer, 800, 4, largestImageSide};
inline constexpr ExportSetting useSuperSampleAntiAliasing{{"ExportSetup", "UseSuperSampleAntiAliasing"}, Boolean, 0};
inline constexpr ExportSetting superSampleFactor{{"ExportSetup", "SuperSampleFactor"}, Integer, 3, 2, 16};
// Frames per second.
inline constexpr ExportSetting animationSpeed{{"ExportSetup", "AnimationSpeed"}, Real, 10.0, 0.001, 200.0};
inline constexpr ExportSetting aviCompression{{"ExportSetup", "AVICompression"}, Enumeration, AVICompression_ColorPreserving, 0, 0, aviCompressionChoices, std::size(aviCompressionChoices)};
inline constexpr ExportSetting useMultipleColorTables{{"ExportSetup", "UseMultipleColorTables"}, Boolean, 0};
inline constexpr ExportSetting convertTo256Colors{{"ExportSetup", "ConvertTo256Colors"}, Boolean, 0};
inline constexpr ExportSetting sunRasterFormat{{"ExportSetup", "SunRasterFormat"}, Enumeration, SunRaster_Standard, 0, 0, sunRasterChoices, std::size(sunRasterChoices)};
inline constexpr ExportSetting grayScaleDepth{{"ExportSetup", "GrayscaleDepth"}, Enumeration, 8, 0, 0, greyscaleDepthChoices, std::size(greyscaleDepthChoices)};
inline constexpr ExportSetting jpegEncoding{{"ExportSetup", "JPEGEncoding"}, Enumeration, JPEGEncoding_Standard, 0, 0, jpegEncodingChoices, std::size(jpegEncodingChoices)};
inline constexpr ExportSetting quality{{"ExportSetup", "Quality"}, Real, 75.0, 1.0, 100.0};
inline constexpr ExportSetting flashImageType{{"ExportSetup", "FlashImageType"}, Enumeration, FlashImageType_Lossless, 0, 0, flashImageTypeChoices, std::size(flashImageTypeChoices)};
inline constexpr ExportSetting flashCompressionType{{"ExportSetup", "FlashCompressionType"}, Enumeration, FlashCompressionType_BestSpeed, 0, 0, flashCompressionChoices, std::size(flashCompressionChoices)};
inline constexpr ExportSetting renderType{{"ExportSetup", "PrintRenderType"}, Enumeration, PrintRenderType_Vector, 0, 0, renderTypeChoices, std::size(renderTypeChoices)};
// The upper end is only a sanity bound: the real limit depends on the region and is asked of
// QelAppGetVectorExportMaxDPI.
inline constexpr ExportSetting resolution{{"PrintSetup", "ImageResolution"}, Integer, 150, 1, 100000};
inline constexpr ExportSetting precision{{"PrintSetup", "Precision"}, Integer, 4, 0, 8};
inline constexpr ExportSetting epsPreviewImageType{{"ExportSetup", "EPSPreviewImage", "ImageType"}, Enumeration, EPSPreviewImage_None, 0, 0, epsPreviewChoices, std::size(epsPreviewChoices)};
inline constexpr ExportSetting epsPreviewImageWidth{{"ExportSetup", "EPSPreviewImage", "ImageWidth"}, Integer, 128, 4, largestImageSide};
inline constexpr ExportSetting epsPreviewImageHeight{{"ExportSetup", "EPSPreviewImage", "ImageHeight"}, Integer, 128, 4, largestImageSide};
inline constexpr ExportSetting epsGrayScaleDepth{{"ExportSetup", "EPSPreviewImage", "GrayscaleDepth"}, Enumeration, 8, 0, 0, greyscaleDepthChoices, std::size(greyscaleDepthChoices)};

// Settings only the export dialog's additions change: the kernel reads them for every export.
// Physical size: the file is "ImageWidth" pixels at "PrintSetup" "ImageResolution" wide, whatever
// the off-screen setting, and a vector file's page has that size in points.
inline constexpr ExportSetting usePhysicalSize{{"ExportSetup", "UsePhysicalSize"}, Boolean, 0};
// PNG and TIFF: the page and frame backgrounds are left transparent.
inline constexpr ExportSetting transparentBackground{{"ExportSetup", "TransparentBackground"}, Boolean, 0};

// Every row, in the order the export dialog's property set submits them.
inline constexpr const ExportSetting* all[] = {
    &useOffscreenBitmap, &palette, &forceExtra3DSorting, &exportFormat, &exportRegion, &fileName, &imageWidth,
    &useSuperSampleAntiAliasing, &superSampleFactor, &animationSpeed, &aviCompression, &useMultipleColorTables,
    &convertTo256Colors, &sunRasterFormat, &grayScaleDepth, &jpegEncoding, &quality, &flashImageType,
    &flashCompressionType, &renderType, &resolution, &precision, &epsPreviewImageType, &epsPreviewImageWidth,
    &epsPreviewImageHeight, &epsGrayScaleDepth,
};
// The rows of the additions, which the kernel registers after those above.
inline constexpr const ExportSetting* additions[] = {&usePhysicalSize, &transparentBackground};
// clang-format on

} // namespace exportsettings

} // namespace qelmar::sdk
