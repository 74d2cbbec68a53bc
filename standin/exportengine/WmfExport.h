#pragma once

// Internal to the stand-in kernel: the export region as a placeable Windows Metafile, drawn as
// vectors by the plot renderer (see WmfCanvas for the records).

#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"

#include <QByteArray>

namespace qelmar::standin {

QByteArray encodeWindowsMetafile(const ExportArea& area, const ExportSettings& settings);

} // namespace qelmar::standin
