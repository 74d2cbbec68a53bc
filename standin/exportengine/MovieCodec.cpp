#include "exportengine/MovieCodec.h"

#include "host/ExportFormats.h"

namespace qelmar::standin {

namespace {

MovieCodec codec(const char* muxer, const char* encoder, const char* pixelFormat) {
    MovieCodec result;
    result.muxer = muxer;
    result.encoder = encoder;
    result.pixelFormat = pixelFormat;
    return result;
}

MovieCodec aviCodec(AVICompression_e compression) {
    switch (compression) {
    case AVICompression_LinePreserving:
        // Lossless blocks that follow motion, deflated: flat areas and thin lines cost little.
        return codec("avi", "zmbv", "bgr0");
    case AVICompression_Uncompressed:
        // The plain bottom-up bitmap every player takes.
        return codec("avi", "rawvideo", "bgr24");
    default:
        return codec("avi", "ffv1", "bgr0");
    }
}

MovieCodec flashCodec(const MovieOptions& options) {
    const bool jpeg = options.flashImageType == FlashImageType_JPEG;
    MovieCodec flash = codec("swf", jpeg ? "mjpeg" : "flv", jpeg ? "yuvj420p" : "yuv420p");
    flash.evenSides = true;
    flash.reduceTo256Colours = options.flashImageType == FlashImageType_Color256;
    if (options.flashCompression == FlashCompressionType_SmallestSize) {
        // Coarser steps, and where the encoder predicts frames, long runs of them chosen with care.
        flash.quantiser = 5;
        if (jpeg) {
            flash.options = {{"huffman", "optimal"}};
        } else {
            flash.keyFrameInterval = 100;
            flash.options = {{"mbd", "rd"}};
        }
    } else {
        // Every frame a key frame: no motion search, at the price of size.
        flash.quantiser = 3;
        flash.keyFrameInterval = 1;
        if (jpeg)
            flash.options = {{"huffman", "default"}};
    }
    return flash;
}

} // namespace

bool isMovieFormat(ExportFormat_e format) {
    return sdk::exportWriterOf(format) == sdk::ExportWriter::Movie;
}

MovieCodec movieCodecFor(ExportFormat_e format, const MovieOptions& options) {
    switch (format) {
    case ExportFormat_AVI:
        return aviCodec(options.aviCompression);
    case ExportFormat_MPEG4: {
        MovieCodec mp4 = codec("mp4", "libx264", "yuv420p");
        // The encoder keeps the frames it looks ahead at; a short look-ahead keeps the memory of a
        // long animation at that of a short one, for a little size.
        mp4.options = {{"preset", "medium"}, {"crf", "20"}, {"rc-lookahead", "5"}};
        // The index before the media: a player or a browser starts before the whole file is there.
        mp4.muxerOptions = {{"movflags", "+faststart"}};
        mp4.evenSides = true;
        return mp4;
    }
    case ExportFormat_WMV: {
        MovieCodec wmv = codec("asf", "wmv2", "yuv420p");
        wmv.quantiser = 3;
        wmv.evenSides = true;
        return wmv;
    }
    default:
        return flashCodec(options);
    }
}

int movieSide(int side, ExportFormat_e format) {
    const bool even = isMovieFormat(format) && movieCodecFor(format, MovieOptions{}).evenSides;
    return even && side % 2 != 0 ? side + 1 : side;
}

} // namespace qelmar::standin
