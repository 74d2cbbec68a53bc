#include "exportengine/MovieCheck.h"

#include "exportengine/RasterMetafile.h"
#include "kernel/SafeFileWrite.h"

extern "C" {
#include <libavcodec/packet.h>
#include <libavformat/avformat.h>
}

#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

namespace qelmar::standin {

namespace {

struct InputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

[[noreturn]] void unreadable(const std::string& target, const std::string& why) {
    throw std::runtime_error("The movie written for " + target + " cannot be read back: " + why + ".");
}

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// A single frame shows no rate in its timestamps: the rate is what the container states, if
// anything. (FFmpeg's other guess, from the time base alone, is no statement of the file.)
void statedRate(MovieShape& shape, const AVStream& stream) {
    const AVRational rate = stream.avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        shape.framesPerSecond = av_q2d(rate);
    } else {
        shape.framesPerSecond = 0;
        shape.rateUncertainty = std::numeric_limits<double>::infinity();
    }
}

struct PacketTimes {
    long long count = 0;
    int64_t first = AV_NOPTS_VALUE;
    int64_t last = AV_NOPTS_VALUE;

    void add(const AVPacket& packet) {
        ++count;
        const int64_t time = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
        if (time == AV_NOPTS_VALUE)
            return;
        first = first == AV_NOPTS_VALUE ? time : std::min(first, time);
        last = last == AV_NOPTS_VALUE ? time : std::max(last, time);
    }
};

// Every packet of the video stream is one frame: none of our encoders splits or merges frames.
PacketTimes readPackets(AVFormatContext& format, int stream, const std::string& target) {
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!packet)
        unreadable(target, "there is not enough memory");
    PacketTimes times;
    for (;;) {
        const int read = av_read_frame(&format, packet.get());
        if (read == AVERROR_EOF)
            return times;
        if (read < 0)
            unreadable(target, describe(read));
        if (packet->stream_index == stream)
            times.add(*packet);
        av_packet_unref(packet.get());
    }
}

// The rate from the time between the first and the last frame. The timestamps are rounded to the
// stream's time base, so the span is known to one tick, and the rate as well as that allows.
void measureRate(MovieShape& shape, const PacketTimes& times, AVRational timeBase) {
    if (times.count < 2 || times.first == AV_NOPTS_VALUE || times.last <= times.first)
        return;
    const double tick = av_q2d(timeBase);
    const double span = static_cast<double>(times.last - times.first) * tick;
    shape.framesPerSecond = static_cast<double>(times.count - 1) / span;
    shape.rateUncertainty = shape.framesPerSecond * tick / span;
}

MovieShape readWithFfmpeg(const std::string& path, const std::string& target) {
    AVFormatContext* opened = nullptr;
    if (const int code = avformat_open_input(&opened, path.c_str(), nullptr, nullptr); code < 0)
        unreadable(target, describe(code));
    std::unique_ptr<AVFormatContext, InputDeleter> format(opened);
    if (const int code = avformat_find_stream_info(format.get(), nullptr); code < 0)
        unreadable(target, describe(code));
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        unreadable(target, "it has no video");
    const AVStream& stream = *format->streams[index];
    MovieShape shape;
    shape.size = QSize(stream.codecpar->width, stream.codecpar->height);
    statedRate(shape, stream);
    const PacketTimes times = readPackets(*format, index, target);
    shape.frames = times.count;
    measureRate(shape, times, stream.time_base);
    return shape;
}

MovieShape readRasterMetafileShape(const std::string& path, const std::string& target) {
    const RasterMetafileContents contents =
        decodeRasterMetafile(readWholeFile(path), target, RasterMetafileFrames::CheckOnly);
    return {contents.frameCount, contents.framesPerSecond, contents.size};
}

std::string rateText(double framesPerSecond) {
    return QString::number(framesPerSecond, 'g', 6).toStdString();
}

} // namespace

std::string describeMovieShape(const MovieShape& shape) {
    return std::to_string(shape.frames) + (shape.frames == 1 ? " frame" : " frames") + " at " +
           rateText(shape.framesPerSecond) + " fps, " + std::to_string(shape.size.width()) + " x " +
           std::to_string(shape.size.height()) + " pixels";
}

MovieShape readMovieShape(const std::string& path, ExportFormat_e format, const std::string& target) {
    if (format == ExportFormat_RasterMetafile)
        return readRasterMetafileShape(path, target);
    return readWithFfmpeg(path, target);
}

void checkMovieShape(const MovieShape& written, const MovieShape& exported) {
    const double rateTolerance =
        std::max(written.rateUncertainty, 0.5 / 256) + 1e-9 * exported.framesPerSecond;
    const bool sameRate = std::abs(written.framesPerSecond - exported.framesPerSecond) <= rateTolerance;
    if (sameRate && written.frames == exported.frames && written.size == exported.size)
        return;
    // A rate that agrees as closely as the file can state it is shown as the one exported, so
    // that the message points at what differs.
    MovieShape shown = written;
    if (sameRate)
        shown.framesPerSecond = exported.framesPerSecond;
    throw std::runtime_error("The movie written has " + describeMovieShape(shown) + ", but " +
                             describeMovieShape(exported) + (exported.frames == 1 ? " was" : " were") +
                             " exported.");
}

} // namespace qelmar::standin
