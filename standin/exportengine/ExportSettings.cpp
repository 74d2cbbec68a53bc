#include "exportengine/ExportSettings.h"

#include "kernel/StyleStore.h"

namespace qelmar::standin {

bool offersColourChoice(ExportFormat_e format) {
    switch (format) {
    case ExportFormat_TIFF:
    case ExportFormat_EPS:
    case ExportFormat_PS:
    case ExportFormat_WindowsMetafile:
        return true;
    default:
        return false;
    }
}

ExportSettings ExportSettings::fromStyles() {
    const StyleStore& styles = StyleStore::instance();
    const auto integer = [&styles](const StylePath& path) {
        return static_cast<int>(styles.integerValue(path));
    };
    ExportSettings settings;
    settings.format = static_cast<ExportFormat_e>(integer({"ExportSetup", "ExportFormat"}));
    settings.region = static_cast<ExportRegion_e>(integer({"ExportSetup", "ExportRegion"}));
    settings.fileName = styles.textValue({"ExportSetup", "ExportFName"});
    settings.monochrome =
        integer({"PrintSetup", "Palette"}) == Palette_Monochrome && offersColourChoice(settings.format);
    settings.useOffscreenBitmap = styles.boolValue({"Interface", "UseOffScreenBitMap"});
    settings.imageWidth = integer({"ExportSetup", "ImageWidth"});
    settings.superSample = styles.boolValue({"ExportSetup", "UseSuperSampleAntiAliasing"});
    settings.superSampleFactor = integer({"ExportSetup", "SuperSampleFactor"});
    settings.convertTo256Colors = styles.boolValue({"ExportSetup", "ConvertTo256Colors"});
    settings.greyscaleDepth = integer({"ExportSetup", "GrayscaleDepth"});
    settings.progressiveJpeg = integer({"ExportSetup", "JPEGEncoding"}) == JPEGEncoding_Progressive;
    settings.quality = styles.realValue({"ExportSetup", "Quality"});
    settings.renderType = static_cast<PrintRenderType_e>(integer({"ExportSetup", "PrintRenderType"}));
    settings.resolution = integer({"PrintSetup", "ImageResolution"});
    settings.precision = integer({"PrintSetup", "Precision"});
    settings.previewType =
        static_cast<EPSPreviewImage_e>(integer({"ExportSetup", "EPSPreviewImage", "ImageType"}));
    settings.previewWidth = integer({"ExportSetup", "EPSPreviewImage", "ImageWidth"});
    settings.previewHeight = integer({"ExportSetup", "EPSPreviewImage", "ImageHeight"});
    settings.previewDepth = integer({"ExportSetup", "EPSPreviewImage", "GrayscaleDepth"});
    return settings;
}

} // namespace qelmar::standin
