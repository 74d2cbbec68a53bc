#pragma once

// Internal to the stand-in kernel: the page descriptions through cairo (PostScript, encapsulated
// PostScript, PDF and SVG, each on its own cairo surface), drawn as vectors or as an embedded
// image, an encapsulated file with the preview asked for. The page is the region's size, or the
// physical size asked for.

#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"

#include <QByteArray>

namespace qelmar::standin {

// The file's bytes; throws std::runtime_error with a reason for the user.
QByteArray encodePostScript(const ExportArea& area, const ExportSettings& settings);

} // namespace qelmar::standin
