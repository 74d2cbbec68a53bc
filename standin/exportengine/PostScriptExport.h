#pragma once

// Internal to the stand-in kernel: PostScript and encapsulated PostScript through cairo, drawn
// as vectors or as an embedded image, an encapsulated file with the preview asked for.

#include "exportengine/ExportGeometry.h"
#include "exportengine/ExportSettings.h"

#include <QByteArray>

#include <string>

namespace qelmar::standin {

// The file's bytes; empty with a reason for the user in `error` on failure.
QByteArray encodePostScript(const ExportArea& area, const ExportSettings& settings, std::string& error);

} // namespace qelmar::standin
