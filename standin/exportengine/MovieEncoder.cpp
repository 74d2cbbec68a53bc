#include "exportengine/MovieEncoder.h"

#include "exportengine/MovieFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <stdexcept>

namespace qelmar::standin {

namespace {

constexpr int ioBufferSize = 64 * 1024;

struct FormatDeleter {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct IoDeleter {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
struct ScaleDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
int writeToFile(void* opaque, const uint8_t* data, int size) {
#else
int writeToFile(void* opaque, uint8_t* data, int size) {
#endif
    auto* file = static_cast<MovieFile*>(opaque);
    return file->write(reinterpret_cast<const char*>(data), size) ? size : AVERROR(EIO);
}

int64_t seekInFile(void* opaque, int64_t offset, int whence) {
    auto* file = static_cast<MovieFile*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
        return file->size();
    const int64_t target = whence == SEEK_SET   ? offset
                           : whence == SEEK_CUR ? file->position() + offset
                           : whence == SEEK_END ? file->size() + offset
                                                : -1;
    if (target < 0)
        return AVERROR(EINVAL);
    return file->seek(target) ? target : AVERROR(EIO);
}

// FFmpeg's own messages go to the terminal only when something is wrong; the user sees ours.
void quietLibraries() {
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_ERROR);
        return true;
    }();
    (void)quiet;
}

} // namespace

struct MovieEncoder::Impl {
    std::unique_ptr<MovieFile> file;
    std::unique_ptr<AVIOContext, IoDeleter> io;
    std::unique_ptr<AVFormatContext, FormatDeleter> format;
    std::unique_ptr<AVCodecContext, CodecDeleter> encoder;
    std::unique_ptr<SwsContext, ScaleDeleter> convert;
    std::unique_ptr<AVFrame, FrameDeleter> source; // borrows the pixels of the frame being added
    std::unique_ptr<AVFrame, FrameDeleter> frame;
    std::unique_ptr<AVPacket, PacketDeleter> packet;
    AVStream* stream = nullptr;
    QSize size;
    bool reduceTo256Colours = false;
    int64_t nextTimestamp = 0;

    // A failed write is the more useful reason: the library only knows that its write failed.
    [[noreturn]] void fail(const std::string& what, int code) const {
        if (file->failed())
            throw std::runtime_error(file->error());
        throw std::runtime_error("The movie could not be written: " + what + " (" + describe(code) + ").");
    }

    void openEncoder(const MovieCodec& codec, AVRational rate) {
        const AVCodec* found = avcodec_find_encoder_by_name(codec.encoder.c_str());
        if (!found)
            throw std::runtime_error("The movie encoder \"" + codec.encoder + "\" is not available.");
        encoder.reset(avcodec_alloc_context3(found));
        encoder->width = size.width();
        encoder->height = size.height();
        encoder->pix_fmt = av_get_pix_fmt(codec.pixelFormat.c_str());
        encoder->time_base = av_inv_q(rate);
        encoder->framerate = rate;
        encoder->thread_count = 0; // as many as the machine has
        if (codec.keyFrameInterval > 0)
            encoder->gop_size = codec.keyFrameInterval;
        if (codec.quantiser > 0) {
            encoder->flags |= AV_CODEC_FLAG_QSCALE;
            encoder->global_quality = FF_QP2LAMBDA * codec.quantiser;
        }
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        for (const auto& [name, value] : codec.options)
            av_dict_set(&options, name.c_str(), value.c_str(), 0);
        const int opened = avcodec_open2(encoder.get(), found, &options);
        av_dict_free(&options);
        if (opened < 0)
            fail("the " + codec.encoder + " encoder refused " + std::to_string(size.width()) + " x " +
                     std::to_string(size.height()) + " pixels",
                 opened);
    }

    void openContainer(const MovieCodec& codec, AVRational rate) {
        AVFormatContext* context = nullptr;
        const int made = avformat_alloc_output_context2(&context, nullptr, codec.muxer.c_str(), nullptr);
        if (made < 0)
            fail("no " + codec.muxer + " container", made);
        format.reset(context);
        openEncoder(codec, rate);
        stream = avformat_new_stream(format.get(), nullptr);
        stream->time_base = encoder->time_base;
        stream->avg_frame_rate = rate;
        stream->r_frame_rate = rate;
        avcodec_parameters_from_context(stream->codecpar, encoder.get());

        auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
        io.reset(avio_alloc_context(buffer, ioBufferSize, 1, file.get(), nullptr, writeToFile, seekInFile));
        format->pb = io.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        if (const int written = avformat_write_header(format.get(), nullptr); written < 0)
            fail("the container header", written);
    }

    void makeFrame() {
        frame.reset(av_frame_alloc());
        frame->format = encoder->pix_fmt;
        frame->width = size.width();
        frame->height = size.height();
        if (const int made = av_frame_get_buffer(frame.get(), 0); made < 0)
            fail("no frame memory", made);
        packet.reset(av_packet_alloc());
        source.reset(av_frame_alloc());
        source->format = AV_PIX_FMT_RGB32;
        source->width = size.width();
        source->height = size.height();
        // Converting a large frame costs as much as encoding it with a fast encoder, so it is
        // spread over the machine's cores in slices.
        convert.reset(sws_alloc_context());
        const auto set = [this](const char* name, int64_t value) {
            av_opt_set_int(convert.get(), name, value, 0);
        };
        set("srcw", size.width());
        set("srch", size.height());
        set("src_format", AV_PIX_FMT_RGB32);
        set("dstw", size.width());
        set("dsth", size.height());
        set("dst_format", encoder->pix_fmt);
        set("sws_flags", SWS_BICUBIC);
        set("threads", 0);
        if (const int ready = sws_init_context(convert.get(), nullptr, nullptr); ready < 0)
            fail("no conversion to " + std::string(av_get_pix_fmt_name(encoder->pix_fmt)), ready);
    }

    // Hands the frame (none: the end) to the encoder and writes every packet it has ready.
    void encode(const AVFrame* input) {
        if (const int sent = avcodec_send_frame(encoder.get(), input); sent < 0)
            fail("the encoder took no frame", sent);
        for (;;) {
            const int received = avcodec_receive_packet(encoder.get(), packet.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return;
            if (received < 0)
                fail("the encoder failed", received);
            av_packet_rescale_ts(packet.get(), encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (const int written = av_interleaved_write_frame(format.get(), packet.get()); written < 0)
                fail("a frame", written);
        }
    }
};

MovieEncoder::MovieEncoder(const std::string& path, const MovieCodec& codec, const QSize& size,
                           double framesPerSecond)
    : m_impl(std::make_unique<Impl>()) {
    quietLibraries();
    Impl& d = *m_impl;
    d.size = size;
    d.reduceTo256Colours = codec.reduceTo256Colours;
    d.file = std::make_unique<MovieFile>(path);
    // Rates such as 29.97 frames per second become an exact ratio; the older H.263-style encoders
    // take no time base beyond 16 bits.
    const AVRational rate = av_d2q(framesPerSecond, 65535);
    d.openContainer(codec, rate);
    d.makeFrame();
}

MovieEncoder::~MovieEncoder() = default;

void MovieEncoder::addFrame(const QImage& image) {
    Impl& d = *m_impl;
    QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    if (d.reduceTo256Colours)
        pixels = pixels.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
    // The encoder may still hold the previous frame's buffer.
    if (const int writable = av_frame_make_writable(d.frame.get()); writable < 0)
        d.fail("no frame memory", writable);
    // The image stays untouched: the conversion only reads it.
    d.source->data[0] = const_cast<uint8_t*>(pixels.constBits());
    d.source->linesize[0] = static_cast<int>(pixels.bytesPerLine());
    if (const int converted = sws_scale_frame(d.convert.get(), d.frame.get(), d.source.get()); converted < 0)
        d.fail("a frame's pixels", converted);
    d.frame->pts = d.nextTimestamp++;
    d.encode(d.frame.get());
}

void MovieEncoder::finish() {
    Impl& d = *m_impl;
    d.encode(nullptr);
    if (const int written = av_write_trailer(d.format.get()); written < 0)
        d.fail("the container's index", written);
    avio_flush(d.io.get());
    if (d.io->error < 0)
        d.fail("the end of the movie", d.io->error);
    if (!d.file->commit())
        throw std::runtime_error(d.file->error());
}

} // namespace qelmar::standin
