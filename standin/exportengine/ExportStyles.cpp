// The style values behind the export dialog, with the defaults a fresh installation has.

#include "host/ExportSettingsTable.h"
#include "kernel/StyleStore.h"

#include <string>
#include <vector>

namespace qelmar::standin {
namespace {

using sdk::ExportSetting;
using sdk::ExportSettingType;

StyleDefinition definitionOf(const ExportSetting& setting) {
    switch (setting.type) {
    case ExportSettingType::Boolean:
        return StyleDefinition::boolean(setting.defaultValue != 0);
    case ExportSettingType::Integer:
        return StyleDefinition::integer(static_cast<long>(setting.defaultValue),
                                        static_cast<long>(setting.minimum),
                                        static_cast<long>(setting.maximum));
    case ExportSettingType::Enumeration:
        return StyleDefinition::enumeration(static_cast<long>(setting.defaultValue),
                                            std::vector<long>(setting.begin(), setting.end()));
    case ExportSettingType::Real:
        return StyleDefinition::real(setting.defaultValue, setting.minimum, setting.maximum);
    case ExportSettingType::Text:
        break;
    }
    return StyleDefinition::text(std::string());
}

const StyleRegistrar exportStyles{[] {
    const auto registerRow = [](const ExportSetting* setting) {
        registerStyleValue(StylePath(setting->path.begin(), setting->path.end()), definitionOf(*setting));
    };
    for (const ExportSetting* setting : sdk::exportsettings::all)
        registerRow(setting);
    for (const ExportSetting* setting : sdk::exportsettings::additions)
        registerRow(setting);
}};

} // namespace
} // namespace qelmar::standin
