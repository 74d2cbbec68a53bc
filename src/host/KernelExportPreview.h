#pragma once

// Previews of an export: the picture QelUtilExport would write, rendered by the same renderer
// from the kernel's export settings with some of them replaced by values a dialog holds before
// they are submitted, scaled down to fit a panel.

#include <cstddef>

// One export setting as a dialog holds it: the style value's names joined by '/', for example
// "ExportSetup/ImageWidth", and its value (a boolean as 0 or 1, an enumeration as its value).
struct QelExportSettingOverride_s {
    const char* path;
    double value;
};

struct QelExportPreview_s {
    // The image the file would hold, in pixels (for a vector file: its page at the resolution).
    int fileWidth;
    int fileHeight;
    // The file's physical size at "PrintSetup" "ImageResolution".
    double widthInches;
    double heightInches;
    // The preview picture: premultiplied 32-bit ARGB pixels in native byte order (a QImage of
    // Format_ARGB32_Premultiplied), `previewWidth` * 4 bytes per row.
    int previewWidth;
    int previewHeight;
    const unsigned char* pixels;
    // The size the file would have, predicted by encoding the preview in the format and scaling by
    // the pixel count, and the share (0.25 is 25%) by which the file may differ from it.
    double predictedFileBytes;
    double predictionError;
    // Movies: the frames the animation would hold and its length at "ExportSetup" "AnimationSpeed";
    // both 0 for a still image.
    int frameCount;
    double durationSeconds;
};

// Renders the preview of the region and format the settings name, fitting within maxWidth x
// maxHeight pixels (aspect kept; never larger than the file). Null, with the reason in
// QelUtilGetLastErrorMessage, when there is nothing to preview (no frame) or a setting is refused.
// Freed with QelUtilExportPreviewDealloc.
QelExportPreview_s* QelUtilExportPreviewRender(const QelExportSettingOverride_s* overrides,
                                               std::size_t overrideCount, int maxWidth, int maxHeight);
void QelUtilExportPreviewDealloc(QelExportPreview_s** preview);
