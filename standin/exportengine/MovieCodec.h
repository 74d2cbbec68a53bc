#pragma once

// Internal to the stand-in kernel: which container and encoder each movie format and its options
// are written with. Names are those of FFmpeg's libraries and command-line tool, so the same
// choice can be handed to either.

#include "host/KernelExport.h"

#include <string>
#include <utility>
#include <vector>

namespace qelmar::standin {

struct MovieOptions {
    AVICompression_e aviCompression = AVICompression_ColorPreserving;
    FlashImageType_e flashImageType = FlashImageType_Lossless;
    FlashCompressionType_e flashCompression = FlashCompressionType_BestSpeed;
};

struct MovieCodec {
    std::string muxer;
    std::string encoder;
    std::string pixelFormat;
    int quantiser = 0;        // a fixed quantiser scale; 0 leaves the encoder's own rate control
    int keyFrameInterval = 0; // 0 leaves the encoder's default
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::pair<std::string, std::string>> muxerOptions;
    bool reduceTo256Colours = false;
    // Chroma subsampled by two in both directions needs even sides.
    bool evenSides = false;
};

// The formats written through FFmpeg: AVI, MPEG-4, WMV and Flash.
bool isMovieFormat(ExportFormat_e format);
MovieCodec movieCodecFor(ExportFormat_e format, const MovieOptions& options);
// The side a movie of the format is written with: odd sides are padded by one pixel where the
// encoder refuses them.
int movieSide(int side, ExportFormat_e format);

} // namespace qelmar::standin
