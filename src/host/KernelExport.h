#pragma once

// Exporting images: the kernel draws the export region with the settings held in its style
// values ("ExportSetup", "PrintSetup", "Interface") and writes the file named by "ExportSetup"
// "ExportFName".

enum ExportFormat_e {
    ExportFormat_RasterMetafile = 0,
    ExportFormat_TIFF = 1,
    ExportFormat_SGI = 2,
    ExportFormat_SunRaster = 3,
    ExportFormat_XWindows = 4,
    ExportFormat_HPGL = 6,
    ExportFormat_HPGL2 = 7,
    ExportFormat_PS = 8,
    ExportFormat_EPS = 9,
    ExportFormat_WindowsMetafile = 11,
    ExportFormat_BMP = 12,
    ExportFormat_PNG = 13,
    ExportFormat_AVI = 14,
    ExportFormat_JPEG = 16,
    ExportFormat_Flash = 17,
    ExportFormat_X3D = 18,
    ExportFormat_ViewerPackage = 19,
    ExportFormat_FlashVideo = 20,
    ExportFormat_MPEG4 = 21,
    ExportFormat_WMV = 22,
    ExportFormat_PDF = 23,
    ExportFormat_SVG = 24,
};

enum ExportRegion_e {
    ExportRegion_CurrentFrame = 0,
    ExportRegion_AllFrames = 1,
    ExportRegion_WorkArea = 2,
};

// 0 is monochrome; the export dialog writes 2 for colour. Only TIFF, EPS, PostScript and WMF
// exports follow a monochrome palette: the other formats offer no colour choice and are written
// in colour.
enum Palette_e {
    Palette_Monochrome = 0,
    Palette_PenPlotter = 1,
    Palette_Color = 2,
};

enum PrintRenderType_e {
    PrintRenderType_Vector = 0,
    PrintRenderType_Image = 1,
};

enum AVICompression_e {
    AVICompression_ColorPreserving = 0,
    AVICompression_LinePreserving = 1,
    AVICompression_Uncompressed = 2,
};

enum SunRaster_e {
    SunRaster_OldFormat = 0,
    SunRaster_Standard = 1,
    SunRaster_ByteEncoded = 2,
};

enum JPEGEncoding_e {
    JPEGEncoding_Standard = 0,
    JPEGEncoding_Progressive = 1,
};

enum FlashImageType_e {
    FlashImageType_Lossless = 0,
    FlashImageType_JPEG = 1,
    FlashImageType_Color256 = 2,
};

enum FlashCompressionType_e {
    FlashCompressionType_BestSpeed = 0,
    FlashCompressionType_SmallestSize = 1,
};

enum EPSPreviewImage_e {
    EPSPreviewImage_None = 0,
    EPSPreviewImage_TIFF = 1,
    EPSPreviewImage_EPSIV2 = 2,
    EPSPreviewImage_FRAMEMAKER = 3,
};

// Exports the region with the kernel's current settings. A still image is exported with append
// false. An animation format (AVI, MPEG-4, WMV, Flash, Raster Metafile) starts a movie with append
// false: the settings are read once, and the region is drawn as its first frame. Each call with
// append true draws the region again and adds it as the next frame; QelUtilExportFinish then
// writes the movie. Only one animation runs at a time: starting another before finishing or
// cancelling the first fails and leaves the first running. Adding a frame with no animation
// running fails. A failure while adding a frame abandons the animation. False on failure, with the
// reason in QelUtilGetLastErrorMessage.
bool QelUtilExport(bool append);
// Ends the animation under way: the movie appears at the export file name only now. False when
// no animation is under way or the movie could not be written; the target is then left untouched
// and no temporary file stays behind.
bool QelUtilExportFinish();
// Abandons the animation under way, if any; nothing is written and no temporary file stays behind.
void QelUtilExportCancel();

// The width in pixels of the region as shown on screen, for the format. For the vector formats it
// is the region's width at "PrintSetup" "ImageResolution" instead, the size of an image embedded
// in the file. Movie formats whose encoders need even sides (MPEG-4, WMV, Flash) get an odd width
// rounded up.
int QelUtilGetDefaultExportImageWidth(ExportFormat_e format, ExportRegion_e region);
// The height in pixels that keeps the region's aspect ratio at the width. When the kernel's export
// format ("ExportSetup" "ExportFormat") is a movie format whose encoder needs even sides, an odd
// height is rounded up.
int QelUtilGetExportImageHeight(int width, ExportRegion_e region);
// The width and height in pixels of the image an export of the region in the format writes when
// `width` pixels are asked for (0 or less: the region's width on screen). EPS, PostScript, PDF
// and SVG embed an image of the region at "PrintSetup" "ImageResolution" and raster exports
// without an off-screen bitmap ("Interface" "UseOffScreenBitMap") take the width on screen,
// whatever is asked, unless "ExportSetup" "UsePhysicalSize" is on: then every format takes the
// width asked, or "ExportSetup" "ImageWidth" when none is (a vector page is that width at the
// resolution). Movie formats whose encoders need
// even sides get each odd side rounded up. Both are 0 on failure.
void QelUtilGetExportImageSize(ExportFormat_e format, ExportRegion_e region, int width, int* exportWidth,
                               int* exportHeight);
// The largest resolution (dots per inch) at which an image embedded in a vector export of the
// region stays within the kernel's size limit.
int QelAppGetVectorExportMaxDPI(ExportRegion_e region);

// Told how far a still export has come: `shareDone` runs from 0 to 1 and never decreases. Return
// false to cancel the export: QelUtilExport then fails with "The export was cancelled." and
// writes nothing, leaving an existing file as it was.
typedef bool (*QelExportProgressCallback_pf)(double shareDone, void* clientData);
// Installs the callback for the still exports that follow, several times a second while one
// runs, with `clientData` passed back; null removes it. Animations do not call it.
void QelUtilExportSetProgressCallback(QelExportProgressCallback_pf callback, void* clientData);
