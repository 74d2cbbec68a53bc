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
};

enum ExportRegion_e {
    ExportRegion_CurrentFrame = 0,
    ExportRegion_AllFrames = 1,
    ExportRegion_WorkArea = 2,
};

// 0 is monochrome; the export dialog writes 2 for colour.
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

// Exports the region with the kernel's current settings. `append` adds a frame to an animation
// under way; a still image is exported with append false. False on failure, with the reason in
// QelUtilGetLastErrorMessage.
bool QelUtilExport(bool append);

// The width in pixels of the region as shown on screen, for the format. For EPS and PostScript it
// is the region's width at "PrintSetup" "ImageResolution" instead, the size of an image embedded
// in the file.
int QelUtilGetDefaultExportImageWidth(ExportFormat_e format, ExportRegion_e region);
// The height in pixels that keeps the region's aspect ratio at the width.
int QelUtilGetExportImageHeight(int width, ExportRegion_e region);
// The largest resolution (dots per inch) at which an image embedded in a vector export of the
// region stays within the kernel's size limit.
int QelAppGetVectorExportMaxDPI(ExportRegion_e region);
