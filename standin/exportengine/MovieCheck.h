#pragma once

// Internal to the stand-in kernel: a written movie read back before it replaces the target, so
// that a movie which lost frames, plays at another rate or has another size is refused instead
// of delivered. FFmpeg's demuxers read every format it writes; the Raster Metafile is read by the
// kernel's own reader.

#include "host/KernelExport.h"

#include <QSize>

#include <string>

namespace qelmar::standin {

struct MovieShape {
    long long frames = 0;
    double framesPerSecond = 0;
    QSize size;
    // How far the rate read may be from the rate written: a container that keeps only rounded
    // timestamps (milliseconds) states a short movie's rate roughly.
    double rateUncertainty = 0;
};

// "200 frames at 25 fps, 1280 x 720 pixels"
std::string describeMovieShape(const MovieShape& shape);

// Reads the file at `path` (the format decides the reader) and counts its frames. Throws
// std::runtime_error when it cannot be read; `target` names it in the message.
MovieShape readMovieShape(const std::string& path, ExportFormat_e format, const std::string& target);

// Throws std::runtime_error naming both shapes when the written movie is not what was exported.
// Rates match within the written one's uncertainty, and at least within the precision of the
// coarsest rate a container stores (1/256 frames per second).
void checkMovieShape(const MovieShape& written, const MovieShape& exported);

} // namespace qelmar::standin
