#include "exportengine/AnimationExport.h"
#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "exportengine/ExportGeometry.h"
#include "exportengine/PlotRenderer.h"
#include "exportengine/RasterMetafile.h"
#include "host/ExportFormats.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>

namespace {

using exporttest::lastError;
using testsupport::contentsOf;
using testsupport::fileExists;
using testsupport::writeBytes;

constexpr double framesPerSecond = 12.5;

// What libavformat finds in a movie: the first video stream and its packets counted one by one.
struct MovieFacts {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int pixelFormat = -1;
    QByteArray firstPacket;
    QSize size;
    double rate = 0;
    AVRational exactRate{0, 1};
    int frames = 0;
};

MovieFacts probe(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return {};
    MovieFacts facts;
    const int index = avformat_find_stream_info(format, nullptr) >= 0
                          ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                          : -1;
    if (index >= 0) {
        const AVStream* stream = format->streams[index];
        facts.codec = stream->codecpar->codec_id;
        facts.pixelFormat = stream->codecpar->format;
        facts.size = QSize(stream->codecpar->width, stream->codecpar->height);
        facts.rate = av_q2d(stream->r_frame_rate);
        facts.exactRate = stream->r_frame_rate;
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && facts.frames++ == 0)
                facts.firstPacket = QByteArray(reinterpret_cast<const char*>(packet->data), packet->size);
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return facts;
}

// The types of an MPEG-4 file's top-level boxes, in file order.
std::vector<std::string> topLevelBoxes(const QByteArray& file) {
    std::vector<std::string> types;
    qint64 at = 0;
    while (at + 8 <= file.size()) {
        const auto byte = [&](qint64 i) {
            return static_cast<quint64>(static_cast<unsigned char>(file.at(static_cast<int>(i))));
        };
        const auto bigEndian = [&](qint64 from, int count) {
            quint64 value = 0;
            for (int i = 0; i < count; ++i)
                value = value << 8 | byte(from + i);
            return value;
        };
        quint64 size = bigEndian(at, 4);
        types.push_back(file.mid(at + 4, 4).toStdString());
        if (size == 1 && at + 16 <= file.size())
            size = bigEndian(at + 8, 8);
        else if (size == 0)
            size = static_cast<quint64>(file.size() - at);
        if (size < 8)
            break;
        at += static_cast<qint64>(size);
    }
    return types;
}

std::size_t indexOf(const std::vector<std::string>& types, const std::string& type) {
    return static_cast<std::size_t>(std::find(types.begin(), types.end(), type) - types.begin());
}

// Bytes the process has taken from malloc and not given back, small blocks and mapped ones.
std::size_t mallocBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

class AnimationExportTest : public exporttest::ExportTestBase {
protected:
    void SetUp() override {
        ExportTestBase::SetUp();
        const int page = app.addPage("Results");
        curves = app.addFrame(page, "Curves");
        app.attachDataSet(curves, {"Run", {"t", "a", "b"}, {{0, 1, 2, 3}, {1, 4, 9, 16}, {2, 2, 3, 1}}},
                          false);
        // 297 x 198 pixels on screen: an odd width.
        app.setFramePlacement(curves, 0.5, 0.5, 4.125, 2.75);
        set({"Interface", "UseOffScreenBitMap"}, false);
        set({"ExportSetup", "AnimationSpeed"}, framesPerSecond);
    }

    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    bool start(const std::string& name, ExportFormat_e format) {
        set({"ExportSetup", "ExportFName"}, path(name));
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
        return QelUtilExport(false);
    }

    // Starts, adds frames up to `frames` and finishes.
    bool animate(const std::string& name, ExportFormat_e format, int frames) {
        if (!start(name, format))
            return false;
        for (int i = 1; i < frames; ++i)
            if (!QelUtilExport(true))
                return false;
        return QelUtilExportFinish();
    }

    int curves = -1;
};

TEST_F(AnimationExportTest, MoviesAppearWhenFinishedWithTheirFramesRateAndAnnouncedSize) {
    int movies = 0;
    for (const auto& row : qelmar::sdk::exportFormats()) {
        if (row.writer != qelmar::sdk::ExportWriter::Movie)
            continue;
        ++movies;
        const ExportFormat_e format = row.value;
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(start("movie", format)) << lastError();
        for (int i = 1; i < 6; ++i)
            ASSERT_TRUE(QelUtilExport(true)) << lastError();
        EXPECT_FALSE(fileExists(path("movie")));
        ASSERT_TRUE(QelUtilExportFinish()) << lastError();

        const MovieFacts facts = probe(path("movie"));
        EXPECT_EQ(facts.frames, 6);
        EXPECT_NEAR(facts.rate, framesPerSecond, 1e-6);
        // What the export dialog announces is what was written, odd sides padded where needed.
        const int width = QelUtilGetDefaultExportImageWidth(format, ExportRegion_CurrentFrame);
        EXPECT_EQ(facts.size, QSize(width, QelUtilGetExportImageHeight(width, ExportRegion_CurrentFrame)));
        EXPECT_EQ(facts.size.width() % 2 == 0, format != ExportFormat_AVI);
        EXPECT_EQ(filesInFolder(), QStringList{"movie"});
        QFile::remove(QString::fromStdString(path("movie")));
    }
    EXPECT_EQ(movies, 4);
    // Still images keep their odd sides.
    EXPECT_EQ(QelUtilGetDefaultExportImageWidth(ExportFormat_PNG, ExportRegion_CurrentFrame), 297);
}

TEST_F(AnimationExportTest, EachAviCompressionAndFlashImageTypeHasItsCodec) {
    std::set<AVCodecID> aviCodecs;
    for (long compression :
         {AVICompression_ColorPreserving, AVICompression_LinePreserving, AVICompression_Uncompressed}) {
        set({"ExportSetup", "AVICompression"}, compression);
        ASSERT_TRUE(animate("movie.avi", ExportFormat_AVI, 3)) << lastError();
        aviCodecs.insert(probe(path("movie.avi")).codec);
    }
    EXPECT_EQ(aviCodecs, (std::set<AVCodecID>{AV_CODEC_ID_FFV1, AV_CODEC_ID_ZMBV, AV_CODEC_ID_RAWVIDEO}));

    const auto flash = [&](long imageType, long compression) {
        set({"ExportSetup", "FlashImageType"}, imageType);
        set({"ExportSetup", "FlashCompressionType"}, compression);
        EXPECT_TRUE(animate("movie.swf", ExportFormat_Flash, 5)) << lastError();
        return std::make_pair(probe(path("movie.swf")), contentsOf(path("movie.swf")).size());
    };
    const auto [trueColour, fast] = flash(FlashImageType_Lossless, FlashCompressionType_BestSpeed);
    const auto [jpeg, fastJpeg] = flash(FlashImageType_JPEG, FlashCompressionType_BestSpeed);
    const auto [paletted, fastPaletted] = flash(FlashImageType_Color256, FlashCompressionType_BestSpeed);
    const auto [trueColourAgain, small] = flash(FlashImageType_Lossless, FlashCompressionType_SmallestSize);
    const auto [jpegAgain, smallJpeg] = flash(FlashImageType_JPEG, FlashCompressionType_SmallestSize);
    // True colour and 256 colours are the format's lossless bitmaps, which FFmpeg reads as raw
    // pixels: 32 bits each, or indices into a table of colours.
    EXPECT_EQ(trueColour.codec, AV_CODEC_ID_RAWVIDEO);
    EXPECT_EQ(trueColour.pixelFormat, AV_PIX_FMT_0RGB);
    EXPECT_EQ(paletted.codec, AV_CODEC_ID_RAWVIDEO);
    EXPECT_EQ(paletted.pixelFormat, AV_PIX_FMT_PAL8);
    EXPECT_EQ(jpeg.codec, AV_CODEC_ID_MJPEG);
    EXPECT_EQ(trueColour.frames, 5);
    EXPECT_EQ(paletted.frames, 5);
    EXPECT_LT(fastPaletted, fast);
    EXPECT_LT(small, fast);
    EXPECT_LT(smallJpeg, fastJpeg);

    // Every pixel of a true-colour frame is the pixel the renderer drew.
    const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
    ASSERT_TRUE(area.has_value());
    const QImage still = qelmar::standin::renderExportImage(*area, trueColour.size, false)
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(trueColour.firstPacket.size(), still.width() * still.height() * 4);
    int differing = 0;
    for (int y = 0; y < still.height(); ++y) {
        for (int x = 0; x < still.width(); ++x) {
            const auto* pixel = reinterpret_cast<const unsigned char*>(trueColour.firstPacket.constData()) +
                                4 * (y * still.width() + x);
            const QRgb expected = still.pixel(x, y);
            differing +=
                pixel[1] != qRed(expected) || pixel[2] != qGreen(expected) || pixel[3] != qBlue(expected);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(AnimationExportTest, RasterMetafileReadsBackWithItsColourTables) {
    using qelmar::standin::readRasterMetafile;
    for (bool tablePerFrame : {false, true}) {
        SCOPED_TRACE(testing::Message() << "one table per frame " << tablePerFrame);
        set({"ExportSetup", "UseMultipleColorTables"}, tablePerFrame);
        ASSERT_TRUE(animate("frames.rm", ExportFormat_RasterMetafile, 4)) << lastError();
        const auto contents = readRasterMetafile(path("frames.rm"));
        EXPECT_EQ(contents.frames.size(), 4u);
        EXPECT_EQ(contents.colourTables, tablePerFrame ? 4 : 1);
        EXPECT_EQ(contents.size, QSize(297, 198));
        EXPECT_DOUBLE_EQ(contents.framesPerSecond, framesPerSecond);
        const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
        ASSERT_TRUE(area);
        const QImage drawn = qelmar::standin::renderExportImage(*area, contents.size, false)
                                 .convertToFormat(QImage::Format_RGB32)
                                 .convertToFormat(QImage::Format_Indexed8);
        EXPECT_EQ(contents.frames.front().convertToFormat(QImage::Format_RGB32),
                  drawn.convertToFormat(QImage::Format_RGB32));
    }

    QByteArray bytes = contentsOf(path("frames.rm"));
    const auto refusal = [&](const QByteArray& damaged) {
        writeBytes(path("damaged.rm"), damaged);
        try {
            readRasterMetafile(path("damaged.rm"));
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("read without complaint");
    };
    EXPECT_NE(refusal(bytes.left(bytes.size() - 9)).find("truncated"), std::string::npos);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x5a);
    EXPECT_NE(refusal(bytes).find("damaged"), std::string::npos);
    EXPECT_NE(refusal("GIF89a and more").find("not a Raster Metafile"), std::string::npos);
}

TEST_F(AnimationExportTest, CancelAndFailureLeaveTheTargetAndNoTemporaryFile) {
    writeBytes(path("kept"), "an earlier file");
    struct Case {
        ExportFormat_e format;
        long long diskSpace;
    };
    for (const Case& c : {Case{ExportFormat_AVI, 20000}, Case{ExportFormat_MPEG4, 1000},
                          Case{ExportFormat_RasterMetafile, 20000}}) {
        SCOPED_TRACE(testing::Message() << "format " << c.format);
        ASSERT_TRUE(start("kept", c.format)) << lastError();
        ASSERT_TRUE(QelUtilExport(true)) << lastError();
        QelUtilExportCancel();
        EXPECT_EQ(filesInFolder(), QStringList{"kept"});

        app.failWritesAfterBytes(c.diskSpace);
        const std::string failed = [&] {
            if (!start("kept", c.format))
                return "start";
            for (int i = 0; i < 40; ++i)
                if (!QelUtilExport(true))
                    return "append";
            return QelUtilExportFinish() ? "nothing" : "finish";
        }();
        // An encoder that buffers frames finds out when it writes them: at an append or at the finish.
        EXPECT_TRUE(failed == std::string("append") || failed == std::string("finish")) << failed;
        EXPECT_NE(lastError().find("No space left"), std::string::npos) << lastError();
        EXPECT_FALSE(QelUtilExportFinish());
        app.failWritesAfterBytes(-1);

        // A finish that fails abandons the movie too.
        ASSERT_TRUE(start("kept", c.format)) << lastError();
        kernel.failCall("QelUtilExportFinish", qelmar::standin::FailMode::Once);
        EXPECT_FALSE(QelUtilExportFinish());
        EXPECT_FALSE(QelUtilExport(true));

        EXPECT_EQ(filesInFolder(), QStringList{"kept"});
        EXPECT_EQ(contentsOf(path("kept")), "an earlier file");
    }
}

// FFmpeg allocates through av_malloc, whose size limit stands in for a machine that runs out of
// memory: raised step by step, it lets each allocation of starting, filling and finishing a movie
// fail in turn. Every outcome is a finished movie or a refusal with a reason, never a crash, and
// a refusal keeps the earlier file and leaves nothing beside it.
class AllocationLimit {
public:
    // FFmpeg's complaints about each refused allocation would bury the test's own output.
    explicit AllocationLimit(std::size_t bytes)
        : m_logLevel(av_log_get_level()) {
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(bytes);
    }
    ~AllocationLimit() {
        av_max_alloc(std::numeric_limits<int>::max());
        av_log_set_level(m_logLevel);
    }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_logLevel;
};

TEST_F(AnimationExportTest, MoviesThatRunOutOfMemoryAreRefusedWithAReason) {
    set({"ExportSetup", "FlashImageType"}, static_cast<long>(FlashImageType_JPEG));
    const QByteArray earlier = "an earlier file";
    for (ExportFormat_e format :
         {ExportFormat_AVI, ExportFormat_MPEG4, ExportFormat_WMV, ExportFormat_Flash}) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        writeBytes(path("kept"), earlier);
        std::set<std::string> reasons;
        for (double limit = 64; limit < 16e6; limit *= 1.5) {
            SCOPED_TRACE(testing::Message() << "at most " << static_cast<std::size_t>(limit) << " bytes");
            bool finished = false;
            {
                const AllocationLimit scarce(static_cast<std::size_t>(limit));
                finished = animate("kept", format, 3);
            }
            if (finished) {
                writeBytes(path("kept"), earlier);
                continue;
            }
            const std::string reason = lastError();
            QelUtilExportCancel();
            EXPECT_NE(reason, "");
            reasons.insert(reason);
            EXPECT_EQ(contentsOf(path("kept")), earlier);
            EXPECT_EQ(filesInFolder(), QStringList{"kept"});
        }
        const bool namesWhatRanOut =
            std::any_of(reasons.begin(), reasons.end(), [](const std::string& reason) {
                return reason.find("there is not enough memory for") != std::string::npos;
            });
        EXPECT_TRUE(namesWhatRanOut) << testing::PrintToString(reasons);
    }
    ASSERT_TRUE(animate("kept", ExportFormat_AVI, 3)) << lastError();
    EXPECT_EQ(probe(path("kept")).frames, 3);
}

TEST_F(AnimationExportTest, BadSequencesExplainThemselves) {
    set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_AVI));
    EXPECT_FALSE(QelUtilExport(true));
    EXPECT_EQ(lastError(), "No animation is being exported; start one first.");
    EXPECT_FALSE(QelUtilExportFinish());
    EXPECT_NE(lastError().find("nothing to finish"), std::string::npos) << lastError();
    QelUtilExportCancel();

    set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_PNG));
    EXPECT_FALSE(QelUtilExport(true));
    EXPECT_NE(lastError().find("still image"), std::string::npos) << lastError();

    // A second start is refused and the first animation goes on.
    ASSERT_TRUE(start("first.rm", ExportFormat_RasterMetafile)) << lastError();
    EXPECT_FALSE(start("second.avi", ExportFormat_AVI));
    EXPECT_NE(lastError().find("finish or cancel"), std::string::npos) << lastError();
    EXPECT_TRUE(QelUtilExport(true)) << lastError();
    ASSERT_TRUE(QelUtilExportFinish()) << lastError();
    EXPECT_EQ(qelmar::standin::readRasterMetafile(path("first.rm")).frames.size(), 2u);
    EXPECT_EQ(filesInFolder(), QStringList{"first.rm"});

    app.removeFrame(curves);
    EXPECT_FALSE(start("none.avi", ExportFormat_AVI));
    EXPECT_EQ(lastError(), "There is no frame to export.");
}

// A movie meant for the web: H.264 in 4:2:0, the frames and rate asked for, and its index before
// its media so that playing can start while the file still arrives. An integral rate is stored
// as such, a rate like 29.97 as the exact ratio, and the encoder's last frames reach the file.
TEST_F(AnimationExportTest, WebMoviesHaveTheirIndexFirstAndEveryFrameAtTheRateAsked) {
    struct Rate {
        const char* name;
        double framesPerSecond;
        AVRational exact;
        int frames;
    };
    for (const Rate& rate : {Rate{"integral", 25.0, {25, 1}, 7}, Rate{"fractional", 29.97, {2997, 100}, 31},
                             Rate{"slow", 2.5, {5, 2}, 3}}) {
        SCOPED_TRACE(rate.name);
        set({"ExportSetup", "AnimationSpeed"}, rate.framesPerSecond);
        ASSERT_TRUE(animate("web.mp4", ExportFormat_MPEG4, rate.frames)) << lastError();
        const MovieFacts facts = probe(path("web.mp4"));
        EXPECT_EQ(facts.codec, AV_CODEC_ID_H264);
        EXPECT_EQ(facts.pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(facts.frames, rate.frames);
        EXPECT_EQ(av_cmp_q(facts.exactRate, rate.exact), 0)
            << facts.exactRate.num << "/" << facts.exactRate.den;
        EXPECT_EQ(facts.size, QSize(298, 200)); // 297 x 198 on screen, both sides even
        const auto boxes = topLevelBoxes(contentsOf(path("web.mp4")));
        ASSERT_LT(indexOf(boxes, "mdat"), boxes.size()) << testing::PrintToString(boxes);
        EXPECT_LT(indexOf(boxes, "moov"), indexOf(boxes, "mdat")) << testing::PrintToString(boxes);
        EXPECT_EQ(filesInFolder(), QStringList{"web.mp4"});
    }
}

// Every movie is read back before it replaces the target. One that lost a frame on its way to
// the file is refused with what was written and what was exported, and the earlier file stays.
TEST_F(AnimationExportTest, AMovieThatLostAFrameIsRefusedAndTheEarlierFileStays) {
    struct Case {
        const char* name;
        ExportFormat_e format;
        long flashImageType;
    };
    for (const Case& c : {Case{"AVI", ExportFormat_AVI, FlashImageType_Lossless},
                          Case{"MPEG-4", ExportFormat_MPEG4, FlashImageType_Lossless},
                          Case{"WMV", ExportFormat_WMV, FlashImageType_Lossless},
                          Case{"Flash lossless", ExportFormat_Flash, FlashImageType_Lossless},
                          Case{"Flash JPEG", ExportFormat_Flash, FlashImageType_JPEG},
                          Case{"Raster Metafile", ExportFormat_RasterMetafile, FlashImageType_Lossless}}) {
        SCOPED_TRACE(c.name);
        set({"ExportSetup", "FlashImageType"}, c.flashImageType);
        writeBytes(path("kept"), "an earlier file");
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(c.format)); // the sizes depend on it
        const int width = QelUtilGetDefaultExportImageWidth(c.format, ExportRegion_CurrentFrame);
        const std::string size =
            std::to_string(width) + " x " +
            std::to_string(QelUtilGetExportImageHeight(width, ExportRegion_CurrentFrame)) + " pixels";

        qelmar::standin::loseAnimationFramesForTesting(1);
        EXPECT_FALSE(animate("kept", c.format, 5));
        EXPECT_EQ(lastError(), "The movie written has 4 frames at 12.5 fps, " + size +
                                   ", but 5 frames at 12.5 fps, " + size + " were exported.");
        EXPECT_EQ(contentsOf(path("kept")), "an earlier file");
        EXPECT_EQ(filesInFolder(), QStringList{"kept"});

        // The same movie with every frame passes its check, at a rate no container stores as
        // a whole number too, and so does a movie of a single frame, which shows no rate in
        // its timestamps.
        for (double rate : {12.5, 29.97}) {
            set({"ExportSetup", "AnimationSpeed"}, rate);
            for (int frames : {5, 1}) {
                ASSERT_TRUE(animate("kept", c.format, frames))
                    << frames << " at " << rate << " fps: " << lastError();
                EXPECT_NE(contentsOf(path("kept")), "an earlier file");
                EXPECT_EQ(filesInFolder(), QStringList{"kept"});
            }
        }
        set({"ExportSetup", "AnimationSpeed"}, framesPerSecond);
    }
}

// Frames stream through to the file: the memory an animation holds at its busiest does not grow
// with its length. Every frame shows another step of the data, so the encoder has real work.
TEST_F(AnimationExportTest, TwoThousandFramesNeedNoMoreMemoryThanTwenty) {
    std::vector<qelmar::standin::testing::DataSetContents> steps;
    for (int step = 1; step < 50; ++step) {
        std::vector<double> t, a, b;
        for (int i = 0; i < 40; ++i) {
            t.push_back(i);
            a.push_back(std::sin(i * 0.3 + step * 0.4));
            b.push_back(std::cos(i * 0.2 - step * 0.3));
        }
        steps.push_back({"Run", {"t", "a", "b"}, {t, a, b}});
    }
    app.setLaterTimeSteps(curves, steps);
    // 72 x 54 pixels: small frames keep two thousand of them quick.
    app.setFramePlacement(curves, 0.5, 0.5, 1.0, 0.75);
    const auto peakGrowth = [&](ExportFormat_e format, int frames) {
        const std::size_t before = mallocBytesInUse();
        std::size_t peak = before;
        const auto sample = [&] { peak = std::max(peak, mallocBytesInUse()); };
        app.setCurrentTimeStep(0);
        EXPECT_TRUE(start("long", format)) << lastError();
        sample();
        for (int i = 1; i < frames; ++i) {
            app.setCurrentTimeStep(i % 50);
            EXPECT_TRUE(QelUtilExport(true)) << lastError();
            sample();
        }
        EXPECT_TRUE(QelUtilExportFinish()) << lastError();
        return static_cast<double>(peak - before);
    };
    for (ExportFormat_e format : {ExportFormat_MPEG4, ExportFormat_AVI}) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        peakGrowth(format, 20); // the libraries' one-time set-up is not the animation's
        const double short20 = peakGrowth(format, 20);
        const double long2000 = peakGrowth(format, 2000);
        EXPECT_EQ(probe(path("long")).frames, 2000);
        EXPECT_LE(long2000, 1.1 * short20) << long2000 << " bytes against " << short20;
    }
}

} // namespace
