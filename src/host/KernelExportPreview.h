#pragma once

// Previews of an export: the picture QelUtilExport would write, rendered by the same renderer
// from the kernel's export settings with some of them replaced by values a dialog holds before
// they are submitted, scaled down to fit a panel.

#include <cstddef>

// One export setting as a dialog holds it: the style value's names joined by '/', for example
// "ExportSetup/ImageWidth", and its value (a boolean as 0 or 1, an enumeration as its value). Only
// the numeric export settings can be given; the file name is not needed for a preview.
struct QelExportSettingOverride_s {
    const char* path;
    double value;
};

struct QelExportPreview_s {
    // The image the file would hold, in pixels, exactly as the writer sizes it (for a PostScript,
    // PDF or SVG file: its page at "PrintSetup" "ImageResolution"; for a movie: its frames).
    int fileWidth;
    int fileHeight;
    // The file's physical size: the pixels at "PrintSetup" "ImageResolution" for an image or a
    // movie, the page for a PostScript, PDF or SVG file.
    double widthInches;
    double heightInches;
    // The preview picture: premultiplied 32-bit ARGB pixels in native byte order (a QImage of
    // Format_ARGB32_Premultiplied), `previewWidth` * 4 bytes per row, owned by the preview. It is
    // drawn at this size by the writer's renderer and shows what a reader of the file shows: the
    // palette, grey depth or 256 colours the writer reduces to, supersampling, and for a movie its
    // first frame (the first time step).
    int previewWidth;
    int previewHeight;
    const unsigned char* pixels;
    // The size the file would have, in bytes, and the share of it (0.25 is 25%) by which the file
    // may differ. Images are encoded by the format's writer at two small sizes and the growth
    // between them carried on to the file's size; vector files are encoded whole; a movie is its
    // first frame, encoded by the movie's writer, times the frame count.
    double predictedFileBytes;
    double predictionError;
    // Movies: the frames the animation would hold (one per time step of the application, as a
    // host writes them) and its length in seconds at "ExportSetup" "AnimationSpeed"; both 0 for a
    // still image.
    int frameCount;
    double durationSeconds;
};

// Renders the preview of the region and format the kernel's export settings name, each override
// standing in for the style value it names, fitting within maxWidth x maxHeight pixels (aspect
// kept; never larger than the file). Null, with the reason in QelUtilGetLastErrorMessage, when
// there is nothing to preview (no frame), the format is not written, the file would be too large
// to write, or an override names no export setting or holds a value the setting refuses (out of
// range, not one of its choices); the message names the setting. Nothing in the kernel changes:
// no style value is written and the current time step stays; on success the last error is
// cleared. Freed with QelUtilExportPreviewDealloc, which sets the pointer to null.
QelExportPreview_s* QelUtilExportPreviewRender(const QelExportSettingOverride_s* overrides,
                                               std::size_t overrideCount, int maxWidth, int maxHeight);
void QelUtilExportPreviewDealloc(QelExportPreview_s** preview);
