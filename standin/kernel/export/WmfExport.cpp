#include "kernel/export/WmfExport.h"

#include "kernel/export/PlotRenderer.h"
#include "kernel/export/WmfCanvas.h"

namespace qelmar::standin {

QByteArray encodeWindowsMetafile(const ExportArea& area, const ExportSettings& settings) {
    WmfCanvas canvas(area.inches, WmfCanvas::unitsPerInchFor(area.inches), settings.monochrome);
    drawExportArea(canvas, area);
    return canvas.takeMetafile();
}

} // namespace qelmar::standin
