#include "exportengine/WmfExport.h"

#include "exportengine/PlotRenderer.h"
#include "exportengine/WmfCanvas.h"

namespace qelmar::standin {

QByteArray encodeWindowsMetafile(const ExportArea& area, const ExportSettings& settings) {
    WmfCanvas canvas(area.inches, WmfCanvas::unitsPerInchFor(area.inches), settings.monochrome);
    drawExportArea(canvas, area);
    return canvas.takeMetafile();
}

} // namespace qelmar::standin
