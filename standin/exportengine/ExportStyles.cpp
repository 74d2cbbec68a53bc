// The style values behind the export dialog, with the defaults a fresh installation has.

#include "host/KernelExport.h"
#include "kernel/StyleStore.h"

namespace qelmar::standin {
namespace {

// The largest side of an image the writers and the dialog accept, in pixels.
constexpr long largestImageSide = 32766;

const StyleRegistrar exportStyles{[] {
    using D = StyleDefinition;
    registerStyleValue({"Interface", "UseOffScreenBitMap"}, D::boolean(true));
    registerStyleValue(
        {"PrintSetup", "Palette"},
        D::enumeration(Palette_Color, {Palette_Monochrome, Palette_PenPlotter, Palette_Color}));
    registerStyleValue({"PrintSetup", "ForceExtra3DSorting"}, D::boolean(false));
    registerStyleValue({"ExportSetup", "ExportFormat"},
                       D::enumeration(ExportFormat_PNG, {ExportFormat_RasterMetafile,
                                                         ExportFormat_TIFF,
                                                         ExportFormat_SGI,
                                                         ExportFormat_SunRaster,
                                                         ExportFormat_XWindows,
                                                         ExportFormat_HPGL,
                                                         ExportFormat_HPGL2,
                                                         ExportFormat_PS,
                                                         ExportFormat_EPS,
                                                         ExportFormat_WindowsMetafile,
                                                         ExportFormat_BMP,
                                                         ExportFormat_PNG,
                                                         ExportFormat_AVI,
                                                         ExportFormat_JPEG,
                                                         ExportFormat_Flash,
                                                         ExportFormat_X3D,
                                                         ExportFormat_ViewerPackage,
                                                         ExportFormat_FlashVideo,
                                                         ExportFormat_MPEG4,
                                                         ExportFormat_WMV}));
    registerStyleValue(
        {"ExportSetup", "ExportRegion"},
        D::enumeration(ExportRegion_CurrentFrame,
                       {ExportRegion_CurrentFrame, ExportRegion_AllFrames, ExportRegion_WorkArea}));
    registerStyleValue({"ExportSetup", "ExportFName"}, D::text(""));
    registerStyleValue({"ExportSetup", "ImageWidth"}, D::integer(800, 4, largestImageSide));
    registerStyleValue({"ExportSetup", "UseSuperSampleAntiAliasing"}, D::boolean(false));
    registerStyleValue({"ExportSetup", "SuperSampleFactor"}, D::integer(3, 2, 16));
    registerStyleValue({"ExportSetup", "AnimationSpeed"}, D::real(10.0, 0.001, 200.0));
    registerStyleValue({"ExportSetup", "AVICompression"},
                       D::enumeration(AVICompression_ColorPreserving,
                                      {AVICompression_ColorPreserving, AVICompression_LinePreserving,
                                       AVICompression_Uncompressed}));
    registerStyleValue({"ExportSetup", "UseMultipleColorTables"}, D::boolean(false));
    registerStyleValue({"ExportSetup", "ConvertTo256Colors"}, D::boolean(false));
    registerStyleValue(
        {"ExportSetup", "SunRasterFormat"},
        D::enumeration(SunRaster_Standard, {SunRaster_OldFormat, SunRaster_Standard, SunRaster_ByteEncoded}));
    registerStyleValue({"ExportSetup", "GrayscaleDepth"}, D::enumeration(8, {0, 1, 4, 8}));
    registerStyleValue(
        {"ExportSetup", "JPEGEncoding"},
        D::enumeration(JPEGEncoding_Standard, {JPEGEncoding_Standard, JPEGEncoding_Progressive}));
    registerStyleValue({"ExportSetup", "Quality"}, D::real(75.0, 1.0, 100.0));
    registerStyleValue({"ExportSetup", "FlashImageType"},
                       D::enumeration(FlashImageType_Lossless, {FlashImageType_Lossless, FlashImageType_JPEG,
                                                                FlashImageType_Color256}));
    registerStyleValue({"ExportSetup", "FlashCompressionType"},
                       D::enumeration(FlashCompressionType_BestSpeed,
                                      {FlashCompressionType_BestSpeed, FlashCompressionType_SmallestSize}));
    registerStyleValue(
        {"ExportSetup", "PrintRenderType"},
        D::enumeration(PrintRenderType_Vector, {PrintRenderType_Vector, PrintRenderType_Image}));
    // The upper end is only a sanity bound: the real limit depends on the region and is asked
    // of QelAppGetVectorExportMaxDPI.
    registerStyleValue({"PrintSetup", "ImageResolution"}, D::integer(150, 1, 100000));
    registerStyleValue({"PrintSetup", "Precision"}, D::integer(4, 0, 8));
    registerStyleValue(
        {"ExportSetup", "EPSPreviewImage", "ImageType"},
        D::enumeration(EPSPreviewImage_None, {EPSPreviewImage_None, EPSPreviewImage_TIFF,
                                              EPSPreviewImage_EPSIV2, EPSPreviewImage_FRAMEMAKER}));
    registerStyleValue({"ExportSetup", "EPSPreviewImage", "ImageWidth"},
                       D::integer(128, 4, largestImageSide));
    registerStyleValue({"ExportSetup", "EPSPreviewImage", "ImageHeight"},
                       D::integer(128, 4, largestImageSide));
    registerStyleValue({"ExportSetup", "EPSPreviewImage", "GrayscaleDepth"}, D::enumeration(8, {0, 1, 4, 8}));
}};

} // namespace
} // namespace qelmar::standin
