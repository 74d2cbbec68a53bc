#pragma once

// Every export format the kernel knows, one row each: what the user reads, the file it makes,
// the page of the export dialog with its options, its help page, which list of the dialog
// offers it, which writer family the kernel hands it to and the options it has. The dialog, its
// properties manager and the kernel all read their format knowledge from here, so a new format
// is one row, its writer and its help page (and its page of the form when it has options).

#include "host/KernelExport.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string>

namespace qelmar::sdk {

// The list of the export dialog that offers a format; the kernel may hold formats neither list
// offers.
enum class ExportFormatOffer {
    None,
    StillImage,
    Animation,
    // In the still-image list only when the host switches the extra formats on.
    ExtraStillImage,
};

// The writer the kernel hands a format to; None for the formats it cannot write.
enum class ExportWriter {
    None,
    RasterImage,     // one pixel image: BMP, PNG, JPEG, TIFF
    PostScript,      // a page description with an optional embedded image: EPS, PostScript, PDF, SVG
    WindowsMetafile, // drawing records
    Movie,           // frames through a video encoder
    RasterMetafile,  // frames as a sequence of palette images
};

// Options a format offers beyond its writer's.
enum ExportFormatOption : unsigned {
    ExportFormatOption_None = 0,
    // The palette ("PrintSetup" "Palette") may be monochrome; every other format is written in
    // colour.
    ExportFormatOption_ColourChoice = 1u << 0,
    // The image may be reduced to 256 colours ("ExportSetup" "ConvertTo256Colors").
    ExportFormatOption_256Colours = 1u << 1,
};

struct ExportFormatDescriptor {
    ExportFormat_e value;
    // The name in the dialog's format list; to be translated in the "ExportFormat" context.
    const char* label;
    // The file dialog's filter names files of the format so; "ExportFormat" context too.
    const char* fileDescription;
    // Without the dot; the filter's pattern is "*." followed by it.
    const char* extension;
    // The prefix of the object names of the controls on the format's page of the export form;
    // null for a format the dialog does not offer. Formats with the same options share a page.
    const char* pagePrefix;
    // Null where the overview of all formats serves.
    const char* helpPage;
    ExportFormatOffer offer;
    ExportWriter writer;
    unsigned options;

    constexpr bool hasOption(ExportFormatOption option) const { return (options & option) != 0; }
    // Drawn into frames one after another and written when the animation finishes.
    constexpr bool isAnimated() const {
        return writer == ExportWriter::Movie || writer == ExportWriter::RasterMetafile;
    }
    // An image of pixels whose width the user chooses: every raster and animation format.
    constexpr bool isPixelImage() const { return writer == ExportWriter::RasterImage || isAnimated(); }
    // Sized at "PrintSetup" "ImageResolution" rather than by a width: EPS and PostScript.
    constexpr bool embedsImageAtResolution() const { return writer == ExportWriter::PostScript; }
    std::string filePattern() const { return std::string("*.") + extension; }
};

namespace exportformatrows {

using Offer = ExportFormatOffer;
using Writer = ExportWriter;
constexpr unsigned colourChoice = ExportFormatOption_ColourChoice;
constexpr unsigned colours256 = ExportFormatOption_256Colours;
constexpr unsigned noOption = ExportFormatOption_None;

// clang-format off
// The dialog's lists show the rows they offer in this order.
inline constexpr ExportFormatDescriptor all[] = {
    {ExportFormat_AVI, QT_TRANSLATE_NOOP("ExportFormat", "AVI"), QT_TRANSLATE_NOOP("ExportFormat", "AVI Files"), "avi",
     "exportAvi_", "export_avi.html", Offer::Animation, Writer::Movie, noOption},
    {ExportFormat_BMP, QT_TRANSLATE_NOOP("ExportFormat", "BMP"), QT_TRANSLATE_NOOP("ExportFormat", "BMP Files"), "bmp",
     "exportBmp_", "export_bmp.html", Offer::StillImage, Writer::RasterImage, colours256},
    {ExportFormat_EPS, QT_TRANSLATE_NOOP("ExportFormat", "EPS"), QT_TRANSLATE_NOOP("ExportFormat", "EPS Files"), "eps",
     "exportEps_", "export_eps.html", Offer::StillImage, Writer::PostScript, colourChoice},
    {ExportFormat_Flash, QT_TRANSLATE_NOOP("ExportFormat", "Flash"), QT_TRANSLATE_NOOP("ExportFormat", "FLASH Files"), "swf",
     "exportFlsh_", "export_flash.html", Offer::Animation, Writer::Movie, noOption},
    {ExportFormat_JPEG, QT_TRANSLATE_NOOP("ExportFormat", "JPEG"), QT_TRANSLATE_NOOP("ExportFormat", "JPEG Files"), "jpeg",
     "exportJpg_", "export_jpeg.html", Offer::StillImage, Writer::RasterImage, noOption},
    {ExportFormat_MPEG4, QT_TRANSLATE_NOOP("ExportFormat", "MPEG-4"), QT_TRANSLATE_NOOP("ExportFormat", "MPEG-4 Files"), "mp4",
     "exportMp4_", "export_mpeg4.html", Offer::Animation, Writer::Movie, noOption},
    {ExportFormat_PDF, QT_TRANSLATE_NOOP("ExportFormat", "PDF"), QT_TRANSLATE_NOOP("ExportFormat", "PDF Files"), "pdf",
     "exportPs_", "export_pdf.html", Offer::ExtraStillImage, Writer::PostScript, colourChoice},
    {ExportFormat_PNG, QT_TRANSLATE_NOOP("ExportFormat", "PNG"), QT_TRANSLATE_NOOP("ExportFormat", "PNG Files"), "png",
     "exportPng_", "export_png.html", Offer::StillImage, Writer::RasterImage, colours256},
    {ExportFormat_PS, QT_TRANSLATE_NOOP("ExportFormat", "PostScript"), QT_TRANSLATE_NOOP("ExportFormat", "PostScript Files"), "ps",
     "exportPs_", "export_postscript.html", Offer::StillImage, Writer::PostScript, colourChoice},
    {ExportFormat_SVG, QT_TRANSLATE_NOOP("ExportFormat", "SVG"), QT_TRANSLATE_NOOP("ExportFormat", "SVG Files"), "svg",
     "exportPs_", "export_svg.html", Offer::ExtraStillImage, Writer::PostScript, colourChoice},
    {ExportFormat_RasterMetafile, QT_TRANSLATE_NOOP("ExportFormat", "Raster Metafile"), QT_TRANSLATE_NOOP("ExportFormat", "Raster Metafiles"), "rm",
     "exportRmf_", "export_raster_metafile.html", Offer::Animation, Writer::RasterMetafile, noOption},
    {ExportFormat_TIFF, QT_TRANSLATE_NOOP("ExportFormat", "TIFF"), QT_TRANSLATE_NOOP("ExportFormat", "TIFF Files"), "tiff",
     "exportTiff_", "export_tiff.html", Offer::StillImage, Writer::RasterImage, colourChoice | colours256},
    {ExportFormat_WindowsMetafile, QT_TRANSLATE_NOOP("ExportFormat", "WMF"), QT_TRANSLATE_NOOP("ExportFormat", "WMF Files"), "wmf",
     "exportWmf_", "export_windows_metafile.html", Offer::StillImage, Writer::WindowsMetafile, colourChoice},
    {ExportFormat_WMV, QT_TRANSLATE_NOOP("ExportFormat", "WMV"), QT_TRANSLATE_NOOP("ExportFormat", "WMV Files"), "wmv",
     "exportWmv_", "export_wmv.html", Offer::Animation, Writer::Movie, noOption},
    // Formats a host's kernel may write; this kernel writes none of them and the dialog offers none.
    {ExportFormat_SGI, "SGI", QT_TRANSLATE_NOOP("ExportFormat", "SGI Files"), "sgi",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_SunRaster, "Sun Raster", QT_TRANSLATE_NOOP("ExportFormat", "Sun Raster Files"), "ras",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_XWindows, "X-Window", QT_TRANSLATE_NOOP("ExportFormat", "X-Window Files"), "xwd",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_HPGL, "HP-GL", QT_TRANSLATE_NOOP("ExportFormat", "HP-GL Files"), "hp",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_HPGL2, "HP-GL/2", QT_TRANSLATE_NOOP("ExportFormat", "HP-GL/2 Files"), "hp2",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_X3D, "X3D", QT_TRANSLATE_NOOP("ExportFormat", "X3D Files"), "x3d",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_ViewerPackage, "Qelmar Viewer", QT_TRANSLATE_NOOP("ExportFormat", "Qelmar Viewer Files"), "lpk",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
    {ExportFormat_FlashVideo, "Flash Video", QT_TRANSLATE_NOOP("ExportFormat", "Flash Video Files"), "flv",
     nullptr, nullptr, Offer::None, Writer::None, noOption},
};
// clang-format on

template <std::size_t N> constexpr std::array<long, N> valuesOf(const ExportFormatDescriptor (&rows)[N]) {
    std::array<long, N> values{};
    for (std::size_t row = 0; row < N; ++row)
        values[row] = rows[row].value;
    return values;
}

} // namespace exportformatrows

// Every format, in the order of the dialog's lists.
constexpr const auto& exportFormats() {
    return exportformatrows::all;
}

// The values of every format, for the kernel's enumeration.
inline constexpr auto exportFormatValues = exportformatrows::valuesOf(exportformatrows::all);

// The format's row; null for a value that is no format.
constexpr const ExportFormatDescriptor* findExportFormat(ExportFormat_e format) {
    for (const ExportFormatDescriptor& row : exportformatrows::all) {
        if (row.value == format)
            return &row;
    }
    return nullptr;
}

// The writer family of the format; None for a value that is no format.
constexpr ExportWriter exportWriterOf(ExportFormat_e format) {
    const ExportFormatDescriptor* row = findExportFormat(format);
    return row ? row->writer : ExportWriter::None;
}

constexpr bool exportFormatHasOption(ExportFormat_e format, ExportFormatOption option) {
    const ExportFormatDescriptor* row = findExportFormat(format);
    return row && row->hasOption(option);
}

} // namespace qelmar::sdk
