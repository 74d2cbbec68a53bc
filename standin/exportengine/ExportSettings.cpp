#include "exportengine/ExportSettings.h"

#include "host/ExportSettingsTable.h"
#include "kernel/StyleStore.h"

namespace qelmar::standin {

bool offersColourChoice(ExportFormat_e format) {
    return sdk::exportFormatHasOption(format, sdk::ExportFormatOption_ColourChoice);
}

bool keepsTransparentBackground(ExportFormat_e format) {
    return format == ExportFormat_PNG || format == ExportFormat_TIFF;
}

ExportSettings ExportSettings::fromStyles() {
    const StyleStore& styles = StyleStore::instance();
    namespace setting = sdk::exportsettings;
    const auto integer = [&styles](const sdk::ExportSetting& setting) {
        return static_cast<int>(styles.integerValue(stylePathOf(setting)));
    };
    const auto boolean = [&styles](const sdk::ExportSetting& setting) {
        return styles.boolValue(stylePathOf(setting));
    };
    ExportSettings settings;
    settings.format = static_cast<ExportFormat_e>(integer(setting::exportFormat));
    settings.region = static_cast<ExportRegion_e>(integer(setting::exportRegion));
    settings.fileName = styles.textValue(stylePathOf(setting::fileName));
    settings.monochrome =
        integer(setting::palette) == Palette_Monochrome && offersColourChoice(settings.format);
    settings.useOffscreenBitmap = boolean(setting::useOffscreenBitmap);
    settings.imageWidth = integer(setting::imageWidth);
    settings.superSample = boolean(setting::useSuperSampleAntiAliasing);
    settings.superSampleFactor = integer(setting::superSampleFactor);
    settings.convertTo256Colors = boolean(setting::convertTo256Colors);
    settings.greyscaleDepth = integer(setting::grayScaleDepth);
    settings.progressiveJpeg = integer(setting::jpegEncoding) == JPEGEncoding_Progressive;
    settings.quality = styles.realValue(stylePathOf(setting::quality));
    settings.renderType = static_cast<PrintRenderType_e>(integer(setting::renderType));
    settings.resolution = integer(setting::resolution);
    settings.precision = integer(setting::precision);
    settings.previewType = static_cast<EPSPreviewImage_e>(integer(setting::epsPreviewImageType));
    settings.previewWidth = integer(setting::epsPreviewImageWidth);
    settings.previewHeight = integer(setting::epsPreviewImageHeight);
    settings.previewDepth = integer(setting::epsGrayScaleDepth);
    settings.usePhysicalSize = boolean(setting::usePhysicalSize);
    settings.transparentBackground =
        boolean(setting::transparentBackground) && keepsTransparentBackground(settings.format);
    return settings;
}

} // namespace qelmar::standin
