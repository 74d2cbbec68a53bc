#include "exportengine/MovieEncoder.h"

#include "kernel/SafeFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <condition_variable>
#include <cstdio>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

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
struct BufferDeleter {
    void operator()(unsigned char* buffer) const { av_free(buffer); }
};
struct IoDeleter {
    void operator()(AVIOContext* io) const {
        // The context may have replaced the buffer it was given; it owns whichever it holds.
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
struct ScaleDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct DictionaryDeleter {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

[[noreturn]] void outOfMemoryFor(const std::string& what) {
    throw std::runtime_error("The movie could not be written: there is not enough memory for " + what + ".");
}

// FFmpeg reports a failed allocation as a null pointer; the movie cannot go on without the
// object, and the user learns what ran out rather than meeting a crash.
template <typename T> T* allocated(T* object, const std::string& what) {
    if (!object)
        outOfMemoryFor(what);
    return object;
}

// Where FFmpeg writes the container. Its callbacks return error codes and must not throw, so a
// failed write keeps the file's reason here for the encoder to report.
struct MovieOutput {
    SafeFile file;
    std::string failure;

    explicit MovieOutput(const std::string& path)
        : file(path) {}

    template <typename Step> int64_t attempt(Step&& step) noexcept {
        try {
            return step();
        } catch (const std::exception& error) {
            if (failure.empty())
                failure = error.what();
            return AVERROR(EIO);
        }
    }
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
int writeToFile(void* opaque, const uint8_t* data, int size) {
#else
int writeToFile(void* opaque, uint8_t* data, int size) {
#endif
    auto* output = static_cast<MovieOutput*>(opaque);
    return static_cast<int>(output->attempt([output, data, size]() -> int64_t {
        output->file.append(reinterpret_cast<const char*>(data), size);
        return size;
    }));
}

int64_t seekInFile(void* opaque, int64_t offset, int whence) {
    auto* output = static_cast<MovieOutput*>(opaque);
    SafeFile& file = output->file;
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
        return file.size();
    const int64_t target = whence == SEEK_SET   ? offset
                           : whence == SEEK_CUR ? file.position() + offset
                           : whence == SEEK_END ? file.size() + offset
                                                : -1;
    if (target < 0)
        return AVERROR(EINVAL);
    return output->attempt([&file, target] {
        file.seek(target);
        return target;
    });
}

// Encodes frames on a thread of its own, one at a time, so that the caller draws the next frame
// while this one is converted and encoded. A caller that hands over a frame waits for the one
// before to be done, so at most one frame is in flight. A failure is kept and thrown at the
// caller's next step; frames handed over after it are dropped.
class FrameWorker {
public:
    explicit FrameWorker(std::function<void(const QImage&)> work)
        : m_work(std::move(work))
        , m_thread([this] { run(); }) {}
    FrameWorker(const FrameWorker&) = delete;
    FrameWorker& operator=(const FrameWorker&) = delete;
    ~FrameWorker() { stop(); }

    void hand(const QImage& frame) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_pending || m_failure; });
        if (m_failure)
            std::rethrow_exception(m_failure);
        if (m_stopping)
            throw std::logic_error("A completed movie takes no more frames.");
        m_pending = frame;
        m_changed.notify_all();
    }

    // Waits for the frame in flight, ends the thread, and throws the failure if there was one.
    void drain() {
        stop();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    void stop() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_pending || m_stopping; });
            if (!m_pending)
                return;
            if (!m_failure) {
                const QImage frame = *m_pending;
                lock.unlock();
                std::exception_ptr failure;
                try {
                    m_work(frame);
                } catch (...) {
                    failure = std::current_exception();
                }
                lock.lock();
                m_failure = failure;
            }
            m_pending.reset();
            m_changed.notify_all();
        }
    }

    std::function<void(const QImage&)> m_work;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<QImage> m_pending; // handed over and not yet done
    std::exception_ptr m_failure;
    bool m_stopping = false;
    std::thread m_thread; // last: it starts when everything it uses is there
};

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
    std::unique_ptr<MovieOutput> output;
    std::unique_ptr<AVIOContext, IoDeleter> io;
    std::unique_ptr<AVFormatContext, FormatDeleter> format;
    std::unique_ptr<AVCodecContext, CodecDeleter> encoder;
    std::unique_ptr<SwsContext, ScaleDeleter> convert;
    std::unique_ptr<AVFrame, FrameDeleter> source; // borrows the pixels of the frame being added
    std::unique_ptr<AVFrame, FrameDeleter> frame;
    std::unique_ptr<AVPacket, PacketDeleter> packet;
    AVStream* stream = nullptr; // the format context's
    QSize size;
    bool reduceTo256Colours = false;
    int64_t nextTimestamp = 0;
    // Last: destroyed first, so that no frame is encoded into contexts already freed.
    std::unique_ptr<FrameWorker> worker;

    // A failed write is the more useful reason: the library only knows that its write failed.
    [[noreturn]] void fail(const std::string& what, int code) const {
        if (!output->failure.empty())
            throw std::runtime_error(output->failure);
        throw std::runtime_error("The movie could not be written: " + what + " (" + describe(code) + ").");
    }

    std::unique_ptr<AVDictionary, DictionaryDeleter>
    dictionaryOf(const std::vector<std::pair<std::string, std::string>>& settings) const {
        AVDictionary* options = nullptr;
        for (const auto& [name, value] : settings) {
            const int set = av_dict_set(&options, name.c_str(), value.c_str(), 0);
            if (set < 0) {
                av_dict_free(&options);
                fail("the option " + name, set);
            }
        }
        return std::unique_ptr<AVDictionary, DictionaryDeleter>(options);
    }

    void openEncoder(const MovieCodec& codec, AVRational rate) {
        const AVCodec* found = avcodec_find_encoder_by_name(codec.encoder.c_str());
        if (!found)
            throw std::runtime_error("The movie encoder \"" + codec.encoder + "\" is not available.");
        const AVPixelFormat pixels = av_get_pix_fmt(codec.pixelFormat.c_str());
        if (pixels == AV_PIX_FMT_NONE)
            throw std::runtime_error("The movie encoder's pixel format \"" + codec.pixelFormat +
                                     "\" is not available.");
        encoder.reset(allocated(avcodec_alloc_context3(found), "the " + codec.encoder + " encoder"));
        encoder->width = size.width();
        encoder->height = size.height();
        encoder->pix_fmt = pixels;
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
        auto options = dictionaryOf(codec.options);
        // The encoder leaves the options it did not take in the dictionary, which may be a new one.
        AVDictionary* remaining = options.release();
        const int opened = avcodec_open2(encoder.get(), found, &remaining);
        options.reset(remaining);
        if (opened < 0)
            fail("the " + codec.encoder + " encoder refused " + std::to_string(size.width()) + " x " +
                     std::to_string(size.height()) + " pixels",
                 opened);
    }

    void addStream(AVRational rate) {
        stream = allocated(avformat_new_stream(format.get(), nullptr), "the movie's stream");
        stream->time_base = encoder->time_base;
        stream->avg_frame_rate = rate;
        stream->r_frame_rate = rate;
        if (const int copied = avcodec_parameters_from_context(stream->codecpar, encoder.get()); copied < 0)
            fail("the stream's parameters", copied);
    }

    // The container writes through the safe file, so the movie reaches the target only when
    // committed. A muxer that reads its output back (an index moved before the media) opens the
    // file's readable name.
    void attachOutput() {
        std::unique_ptr<unsigned char, BufferDeleter> buffer(
            allocated(static_cast<unsigned char*>(av_malloc(ioBufferSize)), "the output buffer"));
        io.reset(allocated(
            avio_alloc_context(buffer.get(), ioBufferSize, 1, output.get(), nullptr, writeToFile, seekInFile),
            "the output"));
        buffer.release(); // the context's now
        format->pb = io.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        av_freep(&format->url);
        format->url = allocated(av_strdup(output->file.readablePath().c_str()), "the file's name");
    }

    void openContainer(const MovieCodec& codec, AVRational rate) {
        AVFormatContext* context = nullptr;
        const int made = avformat_alloc_output_context2(&context, nullptr, codec.muxer.c_str(), nullptr);
        if (made < 0)
            fail("no " + codec.muxer + " container", made);
        format.reset(allocated(context, "the " + codec.muxer + " container"));
        openEncoder(codec, rate);
        addStream(rate);
        attachOutput();
        auto options = dictionaryOf(codec.muxerOptions);
        AVDictionary* remaining = options.release();
        const int written = avformat_write_header(format.get(), &remaining);
        options.reset(remaining);
        if (written < 0)
            fail("the container header", written);
    }

    std::unique_ptr<AVFrame, FrameDeleter> newFrame(int pixelFormat, const std::string& what) const {
        std::unique_ptr<AVFrame, FrameDeleter> made(allocated(av_frame_alloc(), what));
        made->format = pixelFormat;
        made->width = size.width();
        made->height = size.height();
        return made;
    }

    // Converting a large frame costs as much as encoding it with a fast encoder, so it is spread
    // over the machine's cores in slices.
    void makeConversion() {
        convert.reset(allocated(sws_alloc_context(), "the pixel conversion"));
        const auto set = [this](const char* name, int64_t value) {
            if (const int done = av_opt_set_int(convert.get(), name, value, 0); done < 0)
                fail(std::string("the conversion's ") + name, done);
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

    void encodeImage(const QImage& image) {
        QImage pixels = image.convertToFormat(QImage::Format_RGB32);
        if (reduceTo256Colours)
            pixels = pixels.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
        // Qt reports a conversion without memory as a null image.
        if (pixels.isNull())
            outOfMemoryFor("a frame's pixels");
        // The encoder may still hold the previous frame's buffer.
        if (const int writable = av_frame_make_writable(frame.get()); writable < 0)
            fail("no frame memory", writable);
        // The image stays untouched: the conversion only reads it.
        source->data[0] = const_cast<uint8_t*>(pixels.constBits());
        source->linesize[0] = static_cast<int>(pixels.bytesPerLine());
        if (const int converted = sws_scale_frame(convert.get(), frame.get(), source.get()); converted < 0)
            fail("a frame's pixels", converted);
        frame->pts = nextTimestamp++;
        encode(frame.get());
    }

    void makeFrames() {
        frame = newFrame(encoder->pix_fmt, "a frame");
        if (const int made = av_frame_get_buffer(frame.get(), 0); made < 0)
            fail("no frame memory", made);
        packet.reset(allocated(av_packet_alloc(), "a packet"));
        source = newFrame(AV_PIX_FMT_RGB32, "a frame");
        makeConversion();
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
    d.output = std::make_unique<MovieOutput>(path);
    // Rates such as 29.97 frames per second become an exact ratio; the older H.263-style encoders
    // take no time base beyond 16 bits.
    const AVRational rate = av_d2q(framesPerSecond, 65535);
    d.openContainer(codec, rate);
    d.makeFrames();
    d.worker = std::make_unique<FrameWorker>([&d](const QImage& image) { d.encodeImage(image); });
}

MovieEncoder::~MovieEncoder() = default;

void MovieEncoder::addFrame(const QImage& image) {
    m_impl->worker->hand(image);
}

void MovieEncoder::complete() {
    Impl& d = *m_impl;
    d.worker->drain();
    d.encode(nullptr);
    if (const int written = av_write_trailer(d.format.get()); written < 0)
        d.fail("the container's index", written);
    avio_flush(d.io.get());
    if (d.io->error < 0)
        d.fail("the end of the movie", d.io->error);
}

SafeFile& MovieEncoder::file() {
    return m_impl->output->file;
}

} // namespace qelmar::standin
