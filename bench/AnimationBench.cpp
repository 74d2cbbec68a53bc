#include "bench/BenchRatios.h"

#include "exportengine/MovieCodec.h"
#include "exportengine/MovieEncoder.h"
#include "exportengine/PlotRenderer.h"
#include "host/KernelExport.h"
#include "kernel/SafeFile.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Movies of 200 frames of 1280 x 720 pixels. Encoding: the kernel's movie encoder against the
// ffmpeg command-line tool given the same raw frames through a pipe, with the same codec, pixel
// format and settings; the frames are drawn once beforehand, so both measure the encoding (pixel
// format conversion, encoder, container, file). Memory: the whole export path (drawing and
// encoding every frame through QelUtilExport, each frame another step of the wave) for 200 frames
// against 20 frames; peak resident
// memory stands in the time column of those two (see peakMemory), so their ratio is the ratio of
// the peaks.

namespace {

using qelmar::standin::MovieCodec;
using qelmar::standin::MovieOptions;

constexpr int movieFrames = 200;
constexpr int distinctFrames = 25; // cycled: the animation repeats once a second
constexpr double framesPerSecond = 25.0;
const QSize movieSize(1280, 720);

// A page whose only frame, 10 x 5.625 inches, is exported 1280 pixels wide.
class BenchScene {
public:
    explicit BenchScene(int width = movieSize.width()) {
        const int page = m_app.addPage("Bench");
        const int frame = m_app.addFrame(page, "Curves");
        m_app.attachDataSet(frame, wave(0), false);
        // Every exported frame shows another step of the wave: identical frames would cost an
        // encoder next to nothing and make its memory look smaller than a real animation's.
        std::vector<qelmar::standin::testing::DataSetContents> steps;
        for (int step = 1; step < distinctFrames; ++step)
            steps.push_back(wave(step));
        m_app.setLaterTimeSteps(frame, steps);
        m_app.setFramePlacement(frame, 0.25, 0.25, 10.0, 5.625);
        m_styles.setFromElsewhere({"Interface", "UseOffScreenBitMap"}, true);
        m_styles.setFromElsewhere({"ExportSetup", "ImageWidth"}, static_cast<long>(width));
        m_styles.setFromElsewhere({"ExportSetup", "AnimationSpeed"}, framesPerSecond);
    }

    void exportTo(const std::string& path, ExportFormat_e format) {
        m_styles.setFromElsewhere({"ExportSetup", "ExportFName"}, path);
        m_styles.setFromElsewhere({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
    }

    // Shows the animation's frame `index`; the steps repeat once a second.
    void showFrame(int index) { m_app.setCurrentTimeStep(index % distinctFrames); }

private:
    // The curve at one time step: a wave that has run a step's share of its period further.
    static qelmar::standin::testing::DataSetContents wave(int step) {
        std::vector<double> t, a;
        for (int i = 0; i < 200; ++i) {
            t.push_back(i * 0.05);
            a.push_back(std::sin(i * 0.05 + step * 2 * M_PI / distinctFrames) * (1 + i * 0.01));
        }
        return {"Run", {"t", "a"}, {t, a}};
    }

    qelmar::standin::testing::KernelTestControl m_kernel;
    qelmar::standin::testing::ApplicationTestControl m_app;
    qelmar::standin::testing::StyleTestControl m_styles;
};

// The plot with a wave running across it, drawn once for both encoders.
const std::vector<QImage>& benchFrames() {
    static const std::vector<QImage> frames = [] {
        BenchScene scene;
        const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
        const QImage plot =
            qelmar::standin::renderExportImage(*area, movieSize, false).convertToFormat(QImage::Format_RGB32);
        std::vector<QImage> result;
        for (int i = 0; i < distinctFrames; ++i) {
            QImage frame = plot.copy();
            QPainter painter(&frame);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(QColor(200, 40, 40), 3));
            QPainterPath wave;
            for (int x = 0; x < movieSize.width(); x += 4) {
                const double y = 360 + 200 * std::sin((x + i * 1280.0 / distinctFrames) / 120.0);
                x == 0 ? wave.moveTo(x, y) : wave.lineTo(x, y);
            }
            painter.drawPath(wave);
            result.push_back(frame);
        }
        return result;
    }();
    return frames;
}

MovieCodec benchCodec(int choice) {
    return choice == 0 ? qelmar::standin::movieCodecFor(ExportFormat_MPEG4, MovieOptions{})
                       : qelmar::standin::movieCodecFor(ExportFormat_AVI, MovieOptions{});
}

double megabytes(const QString& path) {
    return static_cast<double>(QFileInfo(path).size()) / 1e6;
}

void BM_AnimationEncodeKernel(benchmark::State& state) {
    const MovieCodec codec = benchCodec(static_cast<int>(state.range(0)));
    const std::vector<QImage>& frames = benchFrames();
    QTemporaryDir folder;
    const QString path = folder.filePath("movie");
    for (auto _ : state) {
        qelmar::standin::MovieEncoder encoder(path.toStdString(), codec, movieSize, framesPerSecond);
        for (int i = 0; i < movieFrames; ++i)
            encoder.addFrame(frames[static_cast<std::size_t>(i % distinctFrames)]);
        encoder.complete();
        encoder.file().commit();
    }
    state.counters["file_MB"] = megabytes(path);
}

// The command line that makes the tool encode raw frames from its input as the kernel would.
std::string toolCommand(const std::string& tool, const MovieCodec& codec, const QString& path) {
    std::string command = "'" + tool + "' -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgra -s " +
                          std::to_string(movieSize.width()) + "x" + std::to_string(movieSize.height()) +
                          " -r " + std::to_string(static_cast<int>(framesPerSecond)) + " -i - -c:v " +
                          codec.encoder + " -pix_fmt " + codec.pixelFormat;
    if (codec.quantiser > 0)
        command += " -q:v " + std::to_string(codec.quantiser);
    if (codec.keyFrameInterval > 0)
        command += " -g " + std::to_string(codec.keyFrameInterval);
    for (const auto& [name, value] : codec.options)
        command += " -" + name + " " + value;
    return command + " -f " + codec.muxer + " '" + path.toStdString() + "'";
}

void BM_AnimationEncodeFfmpegTool(benchmark::State& state) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (tool.isEmpty()) {
        state.SkipWithError("the ffmpeg command-line tool is not installed (Debian package ffmpeg); "
                            "no comparison");
        return;
    }
    const MovieCodec codec = benchCodec(static_cast<int>(state.range(0)));
    const std::vector<QImage>& frames = benchFrames();
    QTemporaryDir folder;
    const QString path = folder.filePath("movie");
    const std::string command = toolCommand(tool.toStdString(), codec, path);
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "w");
        if (!pipe) {
            state.SkipWithError("ffmpeg could not be started");
            return;
        }
        for (int i = 0; i < movieFrames; ++i) {
            const QImage& frame = frames[static_cast<std::size_t>(i % distinctFrames)];
            std::fwrite(frame.constBits(), 1, static_cast<std::size_t>(frame.sizeInBytes()), pipe);
        }
        if (pclose(pipe) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    state.counters["file_MB"] = megabytes(path);
}

long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Lowers the recorded peak to the memory in use now.
void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Each iteration exports the animation through the kernel; the iteration's "time" is the peak
// resident memory during it (shown in milliseconds, it reads as megabytes: kB x 1e-6 s), so the
// printed ratio compares peaks.
void BM_AnimationPeakMemory(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    BenchScene scene;
    QTemporaryDir folder;
    scene.exportTo(folder.filePath("movie").toStdString(),
                   state.range(1) == 0 ? ExportFormat_MPEG4 : ExportFormat_AVI);
    for (auto _ : state) {
        const long before = statusKilobytes("VmRSS");
        resetPeakMemory();
        scene.showFrame(0);
        bool written = QelUtilExport(false);
        for (int i = 1; i < frames && written; ++i) {
            scene.showFrame(i);
            written = QelUtilExport(true);
        }
        written = written && QelUtilExportFinish();
        const long peak = statusKilobytes("VmHWM");
        if (!written || peak < 0) {
            state.SkipWithError("the animation was not written or the peak memory is unknown");
            return;
        }
        state.SetIterationTime(static_cast<double>(peak) * 1e-6);
        state.counters["peak_MB"] = static_cast<double>(peak) / 1024;
        state.counters["growth_MB"] = static_cast<double>(peak - before) / 1024;
    }
}

// Arguments: frames, then 0 for MPEG-4 (libx264) or 1 for AVI "Color preserving" (FFV1). Run
// first, before the encoding benchmarks keep their frames in memory. The MPEG-4 encoder keeps a
// few frames in flight (threads, a short look-ahead, reference frames), so its memory grows up to
// that many frames and stays flat beyond: 60 frames show the plateau.
BENCHMARK(BM_AnimationPeakMemory)
    ->Args({20, 0})
    ->Args({60, 0})
    ->Args({movieFrames, 0})
    ->Args({20, 1})
    ->Args({movieFrames, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// Argument: the format as above. Three runs each; their mean counts, as a busy machine varies.
BENCHMARK(BM_AnimationEncodeKernel)->Arg(0)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimationEncodeFfmpegTool)->Arg(0)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimationEncodeKernel)->Arg(1)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimationEncodeFfmpegTool)->Arg(1)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration mp4Encoding{"MPEG-4 movie, 200 frames 1280x720: kernel vs ffmpeg tool",
                                                   "BM_AnimationEncodeKernel/0/iterations:1/repeats:3",
                                                   "BM_AnimationEncodeFfmpegTool/0/iterations:1/repeats:3",
                                                   {"file_MB"}};
const qelmar::bench::RatioRegistration aviEncoding{
    "AVI (FFV1) movie, 200 frames 1280x720: kernel vs ffmpeg tool",
    "BM_AnimationEncodeKernel/1/iterations:1/repeats:3",
    "BM_AnimationEncodeFfmpegTool/1/iterations:1/repeats:3",
    {"file_MB"}};
const qelmar::bench::RatioRegistration mp4Memory{"MPEG-4 export peak memory, 200 vs 20 frames",
                                                 "BM_AnimationPeakMemory/200/0/iterations:1/manual_time",
                                                 "BM_AnimationPeakMemory/20/0/iterations:1/manual_time",
                                                 {"peak_MB", "growth_MB"}};
const qelmar::bench::RatioRegistration mp4PlateauMemory{
    "MPEG-4 export peak memory, 200 vs 60 frames",
    "BM_AnimationPeakMemory/200/0/iterations:1/manual_time",
    "BM_AnimationPeakMemory/60/0/iterations:1/manual_time",
    {"peak_MB", "growth_MB"}};
const qelmar::bench::RatioRegistration aviMemory{"AVI export peak memory, 200 vs 20 frames",
                                                 "BM_AnimationPeakMemory/200/1/iterations:1/manual_time",
                                                 "BM_AnimationPeakMemory/20/1/iterations:1/manual_time",
                                                 {"peak_MB", "growth_MB"}};

// The whole export path for a full-HD web movie: 200 frames of 1920 x 1080 pixels, each drawn by
// the kernel from another time step and encoded, through the flat calls, against the ffmpeg
// command-line tool encoding the same frames from PNG files written beforehand (the tool's time
// includes reading them; the kernel's includes drawing them), with the same encoder settings.
constexpr int fullHdWidth = 1920;

void BM_WebMovieKernel(benchmark::State& state) {
    BenchScene scene(fullHdWidth);
    QTemporaryDir folder;
    const QString path = folder.filePath("movie.mp4");
    scene.exportTo(path.toStdString(), ExportFormat_MPEG4);
    for (auto _ : state) {
        scene.showFrame(0);
        bool written = QelUtilExport(false);
        for (int i = 1; i < movieFrames && written; ++i) {
            scene.showFrame(i);
            written = QelUtilExport(true);
        }
        if (!written || !QelUtilExportFinish()) {
            state.SkipWithError("the movie was not written");
            return;
        }
    }
    state.counters["file_MB"] = megabytes(path);
}

// The frames as the kernel draws them, one PNG file per movie frame.
void writePngFrames(const QString& folder) {
    BenchScene scene(fullHdWidth);
    for (int step = 0; step < distinctFrames; ++step) {
        const QString first = QDir(folder).filePath(QString::asprintf("frame%03d.png", step));
        scene.exportTo(first.toStdString(), ExportFormat_PNG);
        scene.showFrame(step);
        QelUtilExport(false);
        for (int i = step + distinctFrames; i < movieFrames; i += distinctFrames)
            QFile::copy(first, QDir(folder).filePath(QString::asprintf("frame%03d.png", i)));
    }
}

std::string pngToolCommand(const std::string& tool, const MovieCodec& codec, const QString& frames,
                           const QString& path) {
    std::string command = "'" + tool + "' -hide_banner -loglevel error -y -framerate " +
                          std::to_string(static_cast<int>(framesPerSecond)) + " -i '" +
                          QDir(frames).filePath("frame%03d.png").toStdString() + "' -c:v " + codec.encoder +
                          " -pix_fmt " + codec.pixelFormat + " -threads 0";
    for (const auto& [name, value] : codec.options)
        command += " -" + name + " " + value;
    for (const auto& [name, value] : codec.muxerOptions)
        command += " -" + name + " " + value;
    return command + " -f " + codec.muxer + " '" + path.toStdString() + "'";
}

void BM_WebMovieFfmpegToolFromPng(benchmark::State& state) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (tool.isEmpty()) {
        state.SkipWithError("the ffmpeg command-line tool is not installed (Debian package ffmpeg); "
                            "no comparison");
        return;
    }
    QTemporaryDir folder;
    writePngFrames(folder.path());
    const QString path = folder.filePath("movie.mp4");
    const std::string command = pngToolCommand(tool.toStdString(), benchCodec(0), folder.path(), path);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    state.counters["file_MB"] = megabytes(path);
}

BENCHMARK(BM_WebMovieKernel)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebMovieFfmpegToolFromPng)->Iterations(1)->Repetitions(2)->Unit(benchmark::kMillisecond);

const qelmar::bench::RatioRegistration webMovie{
    "MPEG-4 web movie, 200 frames 1920x1080, drawn and encoded: kernel vs ffmpeg tool from PNG",
    "BM_WebMovieKernel/iterations:1/repeats:2",
    "BM_WebMovieFfmpegToolFromPng/iterations:1/repeats:2",
    {"file_MB"}};

} // namespace
