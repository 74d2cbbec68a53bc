#include "exportengine/ExportSettings.h"

#include "host/ExportSettingsTable.h"
#include "kernel/StyleStore.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace qelmar::standin {

namespace {

const sdk::ExportSetting* exportSettingAt(const StylePath& path) {
    const auto matches = [&path](const sdk::ExportSetting* setting) { return stylePathOf(*setting) == path; };
    for (const sdk::ExportSetting* setting : sdk::exportsettings::all) {
        if (matches(setting))
            return setting;
    }
    for (const sdk::ExportSetting* setting : sdk::exportsettings::additions) {
        if (matches(setting))
            return setting;
    }
    return nullptr;
}

StylePath splitPath(const std::string& joined) {
    StylePath path;
    for (const QString& name : QString::fromStdString(joined).split(QLatin1Char('/')))
        path.push_back(name.toStdString());
    return path;
}

std::string expectedValues(sdk::ExportSettingType type) {
    switch (type) {
    case sdk::ExportSettingType::Boolean:
        return "it is 0 (off) or 1 (on)";
    case sdk::ExportSettingType::Text:
        return "it is a text, which a preview does not need";
    default:
        return "it takes whole numbers";
    }
}

double numberOf(const StyleVariant& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    if (const auto* l = std::get_if<long>(&value))
        return static_cast<double>(*l);
    if (const auto* d = std::get_if<double>(&value))
        return *d;
    return 0.0;
}

// Reads each value from the overrides where one is given, else from the kernel's store.
class SettingReader {
public:
    explicit SettingReader(const ExportSettingOverrides& overrides)
        : m_overrides(overrides)
        , m_styles(StyleStore::instance()) {}

    double number(const sdk::ExportSetting& setting) const {
        const StylePath path = stylePathOf(setting);
        if (const StyleVariant* value = m_overrides.find(path))
            return numberOf(*value);
        if (setting.type == sdk::ExportSettingType::Real)
            return m_styles.realValue(path);
        if (setting.type == sdk::ExportSettingType::Boolean)
            return m_styles.boolValue(path) ? 1.0 : 0.0;
        return static_cast<double>(m_styles.integerValue(path));
    }
    int integer(const sdk::ExportSetting& setting) const { return static_cast<int>(number(setting)); }
    bool boolean(const sdk::ExportSetting& setting) const { return number(setting) != 0.0; }
    std::string text(const sdk::ExportSetting& setting) const {
        return m_styles.textValue(stylePathOf(setting));
    }

private:
    const ExportSettingOverrides& m_overrides;
    const StyleStore& m_styles;
};

} // namespace

bool offersColourChoice(ExportFormat_e format) {
    return sdk::exportFormatHasOption(format, sdk::ExportFormatOption_ColourChoice);
}

bool keepsTransparentBackground(ExportFormat_e format) {
    return format == ExportFormat_PNG || format == ExportFormat_TIFF;
}

void ExportSettingOverrides::add(const std::string& path, double value) {
    const StylePath stylePath = splitPath(path);
    const sdk::ExportSetting* setting = exportSettingAt(stylePath);
    const StyleDefinition* definition = StyleStore::instance().definition(stylePath);
    if (!setting || !definition)
        throw std::invalid_argument("\"" + path + "\" is not an export setting.");
    const std::string displayName = styleDisplayName(stylePath);
    const std::optional<StyleVariant> converted = definition->convert(StyleVariant(value));
    if (!converted)
        throw std::invalid_argument("The value " + QString::number(value).toStdString() +
                                    " is not valid for \"" + displayName +
                                    "\": " + expectedValues(setting->type) + ".");
    std::string message;
    if (definition->check(*converted, displayName, message) != SetValue_Ok)
        throw std::invalid_argument(message.empty() ? "The value " + QString::number(value).toStdString() +
                                                          " is refused for \"" + displayName + "\"."
                                                    : message);
    m_values[stylePath] = *converted;
}

const StyleVariant* ExportSettingOverrides::find(const StylePath& path) const {
    const auto found = m_values.find(path);
    return found == m_values.end() ? nullptr : &found->second;
}

ExportSettings ExportSettings::fromStyles(const ExportSettingOverrides& overrides) {
    namespace setting = sdk::exportsettings;
    const SettingReader read(overrides);
    ExportSettings settings;
    settings.format = static_cast<ExportFormat_e>(read.integer(setting::exportFormat));
    settings.region = static_cast<ExportRegion_e>(read.integer(setting::exportRegion));
    settings.fileName = read.text(setting::fileName);
    settings.monochrome =
        read.integer(setting::palette) == Palette_Monochrome && offersColourChoice(settings.format);
    settings.useOffscreenBitmap = read.boolean(setting::useOffscreenBitmap);
    settings.imageWidth = read.integer(setting::imageWidth);
    settings.superSample = read.boolean(setting::useSuperSampleAntiAliasing);
    settings.superSampleFactor = read.integer(setting::superSampleFactor);
    settings.convertTo256Colors = read.boolean(setting::convertTo256Colors);
    settings.greyscaleDepth = read.integer(setting::grayScaleDepth);
    settings.progressiveJpeg = read.integer(setting::jpegEncoding) == JPEGEncoding_Progressive;
    settings.quality = read.number(setting::quality);
    settings.renderType = static_cast<PrintRenderType_e>(read.integer(setting::renderType));
    settings.resolution = read.integer(setting::resolution);
    settings.precision = read.integer(setting::precision);
    settings.previewType = static_cast<EPSPreviewImage_e>(read.integer(setting::epsPreviewImageType));
    settings.previewWidth = read.integer(setting::epsPreviewImageWidth);
    settings.previewHeight = read.integer(setting::epsPreviewImageHeight);
    settings.previewDepth = read.integer(setting::epsGrayScaleDepth);
    settings.usePhysicalSize = read.boolean(setting::usePhysicalSize);
    settings.transparentBackground =
        read.boolean(setting::transparentBackground) && keepsTransparentBackground(settings.format);
    settings.framesPerSecond = read.number(setting::animationSpeed);
    settings.movie.aviCompression = static_cast<AVICompression_e>(read.integer(setting::aviCompression));
    settings.movie.flashImageType = static_cast<FlashImageType_e>(read.integer(setting::flashImageType));
    settings.movie.flashCompression =
        static_cast<FlashCompressionType_e>(read.integer(setting::flashCompressionType));
    return settings;
}

} // namespace qelmar::standin
