#pragma once

// Internal to the stand-in kernel: the style values one export works with, read once when it
// starts. "PrintSetup" "ForceExtra3DSorting" is accepted but not read: the renderer already draws
// every three-dimensional frame back to front (walls, floor, data, front edges), so there is
// nothing left to sort.

#include "exportengine/MovieCodec.h"
#include "host/ExportSettingsTable.h"
#include "host/KernelExport.h"
#include "kernel/StyleStore.h"

#include <map>
#include <optional>
#include <string>

namespace qelmar::standin {

// The palette ("PrintSetup" "Palette", shared with printing) is a choice only for TIFF and the
// vector formats; every other format is written in colour whatever it says, since a grey PNG or
// movie left behind by a TIFF export could not be turned back from the export dialog.
bool offersColourChoice(ExportFormat_e format);
// Only PNG and TIFF keep a transparent background; every other format draws it whatever
// "ExportSetup" "TransparentBackground" says, as it has no alpha to keep (or, for the vector
// formats, paints the page itself).
bool keepsTransparentBackground(ExportFormat_e format);

// Where the kernel keeps the value of a row of the export settings table.
inline StylePath stylePathOf(const sdk::ExportSetting& setting) {
    return StylePath(setting.path.begin(), setting.path.end());
}

// Export settings a dialog holds before it submits them, each standing in for the kernel's
// style value while the settings are read. They are checked as the style store checks a write,
// so a value the store would refuse is refused here with the same message.
class ExportSettingOverrides {
public:
    // `path` is the style value's names joined by '/', for example "ExportSetup/ImageWidth";
    // booleans are 0 or 1 and enumerations their value. Throws std::invalid_argument naming the
    // setting when the path is no export setting or the value is out of its range or choices.
    void add(const std::string& path, double value);
    // The value standing in for the style value at the path, if any.
    const StyleVariant* find(const StylePath& path) const;

private:
    std::map<StylePath, StyleVariant> m_values;
};

struct ExportSettings {
    ExportFormat_e format = ExportFormat_PNG;
    ExportRegion_e region = ExportRegion_CurrentFrame;
    std::string fileName;
    bool monochrome = false;
    bool useOffscreenBitmap = true;
    int imageWidth = 800;
    bool superSample = false;
    int superSampleFactor = 3;
    bool convertTo256Colors = false;
    int greyscaleDepth = 8;
    bool progressiveJpeg = false;
    double quality = 75.0;
    PrintRenderType_e renderType = PrintRenderType_Vector;
    int resolution = 150;
    int precision = 4;
    EPSPreviewImage_e previewType = EPSPreviewImage_None;
    int previewWidth = 128;
    int previewHeight = 128;
    int previewDepth = 8;
    bool usePhysicalSize = false;
    bool transparentBackground = false;
    // Animations only.
    double framesPerSecond = 10.0;
    MovieOptions movie;

    // The kernel's style values, with the overrides in place of those they name.
    static ExportSettings fromStyles(const ExportSettingOverrides& overrides = {});
};

} // namespace qelmar::standin
