#include "bench/BenchRatios.h"

#include "exportengine/ExportGeometry.h"
#include "exportengine/PlotRenderer.h"
#include "host/AppLock.h"
#include "host/KernelExport.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/StyleTestControl.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include <malloc.h>
#include <optional>
#include <vector>

// A line of two million points exported as a 1920-pixel-wide PNG through QelUtilExport, against
// matplotlib's Agg backend drawing the same points (read from the same file) into a PNG of the
// same pixel size with savefig.
//
// Timed on both sides: drawing the line and encoding the PNG, once warmed up (one untimed run
// each). Ours is the whole QelUtilExport call: the page with its frame, axes, labels and the
// curve, then PNG encoding and the file write. Matplotlib's is ax.plot and fig.savefig in a
// figure without axes decorations; loading the points and starting Python are not timed.
//
// Our peak memory is the export's own: after the memory the allocator keeps from earlier runs is
// given back (malloc_trim), the peak resident size is reset (/proc/self/clear_refs) right before
// the timed exports and read (VmHWM) right after, less the resident size before them. The two
// million points already loaded in the kernel are not part of it.
//
// The curves are compared in pixels: matplotlib's axes are placed exactly over our plotting
// rectangle, with our axis ranges (x the data's range, y the data's range padded by 4 %) and our
// line width, so that a data point lands on the same pixel in both images. For each column of
// the plotting rectangle the topmost and bottommost pixel of the curve's colour are found in
// both images: the dense line is a vertical band in every column, and the curve's row is the
// band's centre. The counters give the share of columns whose centres lie within one pixel of
// each other and the largest difference, and the share whose band edges lie within two pixels:
// matplotlib's band is a pixel or so wider at its edges, where its antialiasing covers more and
// it strokes every point, also those of the next column whose pen reaches over. The rightmost
// tenth of the columns is left out: our frame writes the curve's name there in its colour.

namespace {

using qelmar::standin::StylePath;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::DataSetContents;
using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::StyleTestControl;

constexpr std::size_t pointCount = 2000000;
constexpr int imageWidth = 1920;
constexpr int timedRuns = 3;
const QColor curveColour(0x1f, 0x3f, 0xa0);

const char* const matplotlibScript = R"(
import sys, time
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

data, out, width, height, left, top, right, bottom, line, runs = sys.argv[1:]
width, height, runs = int(width), int(height), int(runs)
left, top, right, bottom, line = map(float, (left, top, right, bottom, line))
xy = np.fromfile(data, dtype="<f8").reshape(2, -1)
x, y = xy[0], xy[1]
low, high = float(y.min()), float(y.max())
room = (high - low) * 0.04

def draw():
    fig = plt.figure(figsize=(width / 100.0, height / 100.0), dpi=100)
    ax = fig.add_axes([left / width, 1.0 - bottom / height, (right - left) / width, (bottom - top) / height])
    ax.set_axis_off()
    ax.set_xlim(float(x[0]), float(x[-1]))
    ax.set_ylim(low - room, high + room)
    ax.plot(x, y, color="#1f3fa0", linewidth=line * 72.0 / 100.0, solid_joinstyle="round", solid_capstyle="butt")
    fig.savefig(out, dpi=100)
    plt.close(fig)

draw()
for _ in range(runs):
    start = time.perf_counter()
    draw()
    print(time.perf_counter() - start, flush=True)
)";

// Pseudo-random but the same on every run: a slow wave with noise around it, so that every
// pixel column holds a vertical band of about a thousand points.
std::vector<double> denseSignal() {
    std::vector<double> ys(pointCount);
    std::uint64_t state = 88172645463325252ull;
    for (std::size_t i = 0; i < pointCount; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double noise = static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
        ys[i] = std::sin(static_cast<double>(i) * 6.283185307179586 / 500000.0) + 0.5 * noise;
    }
    return ys;
}

long procStatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    }
    return -1;
}

bool resetPeakResidentSize() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// Topmost and bottommost row of the curve's colour in each column; -1 where there is none.
struct ColumnSpans {
    std::vector<int> top;
    std::vector<int> bottom;
};

ColumnSpans curveSpans(const QImage& image, const QRect& within) {
    ColumnSpans spans{std::vector<int>(static_cast<std::size_t>(within.width()), -1),
                      std::vector<int>(static_cast<std::size_t>(within.width()), -1)};
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            const QRgb p = pixels.pixel(x, y);
            // At least about half covered by the curve: clearly blue, not grey or white.
            if (qBlue(p) - qRed(p) < 60)
                continue;
            const auto column = static_cast<std::size_t>(x - within.left());
            if (spans.top[column] < 0)
                spans.top[column] = y;
            spans.bottom[column] = y;
        }
    }
    return spans;
}

// A kernel with the dense line in a frame, the export set up, and the points' file.
struct DenseCurveScene {
    DenseCurveScene() {
        const std::vector<double> ys = denseSignal();
        std::vector<double> xs(pointCount);
        for (std::size_t i = 0; i < pointCount; ++i)
            xs[i] = static_cast<double>(i);
        std::ofstream data(dataPath().toStdString(), std::ios::binary);
        data.write(reinterpret_cast<const char*>(xs.data()), static_cast<std::streamsize>(pointCount * 8));
        data.write(reinterpret_cast<const char*>(ys.data()), static_cast<std::streamsize>(pointCount * 8));
        const int page = app.addPage("Dense");
        const int frame = app.addFrame(page, "Signal");
        app.setFramePlacement(frame, 0.5, 0.5, 10.0, 5.0);
        app.attachDataSet(frame, DataSetContents{"Signal", {"t", "v"}, {xs, ys}}, false);
        app.setCurrentFrame(frame);
        styles.setFromElsewhere(StylePath{"ExportSetup", "ExportFormat"}, long{ExportFormat_PNG});
        styles.setFromElsewhere(StylePath{"ExportSetup", "ExportRegion"}, long{ExportRegion_CurrentFrame});
        styles.setFromElsewhere(StylePath{"Interface", "UseOffScreenBitMap"}, 1L);
        styles.setFromElsewhere(StylePath{"ExportSetup", "ImageWidth"}, long{imageWidth});
        styles.setFromElsewhere(StylePath{"ExportSetup", "ExportFName"}, ourPath().toStdString());
    }

    QString dataPath() const { return folder.filePath(QStringLiteral("points.f64")); }
    QString ourPath() const { return folder.filePath(QStringLiteral("ours.png")); }
    QString theirPath() const { return folder.filePath(QStringLiteral("matplotlib.png")); }

    // Our plotting rectangle in the image's pixels, and the line's width in pixels.
    QRectF plotInPixels() const {
        const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
        const QRectF frame(0.5, 0.5, 10.0, 5.0);
        const double scale = imageWidth / area->inches.width();
        const QRectF plot = qelmar::standin::plotRectOf(frame).translated(-area->inches.topLeft());
        return QRectF(plot.topLeft() * scale, plot.size() * scale);
    }
    double lineWidthInPixels() const {
        const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
        return 1.25 / 72.0 * imageWidth / area->inches.width();
    }

    KernelTestControl kernel;
    StyleTestControl styles;
    ApplicationTestControl app;
    QTemporaryDir folder;
};

bool exportOurs() {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    return QelUtilExport(false);
}

void BM_DenseCurvePngExport(benchmark::State& state) {
    DenseCurveScene dense;
    if (!exportOurs()) {
        state.SkipWithError("the kernel did not export");
        return;
    }
    malloc_trim(0);
    const long before = procStatusKilobytes("VmRSS:");
    const bool peakReset = resetPeakResidentSize();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const bool exported = exportOurs();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        if (!exported) {
            state.SkipWithError("the kernel did not export");
            return;
        }
    }
    if (peakReset)
        state.counters["peakMB"] = static_cast<double>(procStatusKilobytes("VmHWM:") - before) / 1024.0;
    state.counters["width"] = QImage(dense.ourPath()).width();
}
BENCHMARK(BM_DenseCurvePngExport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(timedRuns);

void compareCurves(benchmark::State& state, const DenseCurveScene& dense) {
    const QImage ours(dense.ourPath());
    const QImage theirs(dense.theirPath());
    if (ours.isNull() || ours.size() != theirs.size()) {
        state.SkipWithError("the two images are missing or differ in size");
        return;
    }
    const QRectF plot = dense.plotInPixels();
    const QRect columns(static_cast<int>(std::ceil(plot.left())) + 1,
                        static_cast<int>(std::floor(plot.top())), static_cast<int>(plot.width() * 0.9),
                        static_cast<int>(std::ceil(plot.height())));
    const ColumnSpans a = curveSpans(ours, columns);
    const ColumnSpans b = curveSpans(theirs, columns);
    int compared = 0;
    int centresWithin = 0;
    int edgesWithin = 0;
    double largest = 0.0;
    for (std::size_t column = 0; column < a.top.size(); ++column) {
        if (a.top[column] < 0 || b.top[column] < 0)
            continue;
        const double centreDifference =
            std::abs((a.top[column] + a.bottom[column]) - (b.top[column] + b.bottom[column])) / 2.0;
        const int edgeDifference =
            std::max(std::abs(a.top[column] - b.top[column]), std::abs(a.bottom[column] - b.bottom[column]));
        ++compared;
        centresWithin += centreDifference <= 1.0 ? 1 : 0;
        edgesWithin += edgeDifference <= 2 ? 1 : 0;
        largest = std::max(largest, centreDifference);
    }
    state.counters["columnsCompared"] = compared;
    state.counters["centreWithinPixelPct"] = compared > 0 ? 100.0 * centresWithin / compared : 0.0;
    state.counters["largestCentreDifference"] = largest;
    state.counters["edgesWithin2PixelsPct"] = compared > 0 ? 100.0 * edgesWithin / compared : 0.0;
}

void BM_DenseCurvePngMatplotlib(benchmark::State& state) {
    DenseCurveScene dense;
    if (!exportOurs()) {
        state.SkipWithError("the kernel did not export");
        return;
    }
    const QImage ours(dense.ourPath());
    const QRectF plot = dense.plotInPixels();
    QProcess python;
    // Debian's interpreter, which has Debian's matplotlib, rather than whichever comes first on
    // the path.
    const QString interpreter = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                    ? QStringLiteral("/usr/bin/python3")
                                    : QStringLiteral("python3");
    python.start(interpreter,
                 {QStringLiteral("-c"), QString::fromUtf8(matplotlibScript), dense.dataPath(),
                  dense.theirPath(), QString::number(ours.width()), QString::number(ours.height()),
                  QString::number(plot.left()), QString::number(plot.top()), QString::number(plot.right()),
                  QString::number(plot.bottom()), QString::number(dense.lineWidthInPixels()),
                  QString::number(timedRuns)});
    if (ours.isNull() || !python.waitForFinished(600000) || python.exitCode() != 0) {
        state.SkipWithError("matplotlib did not run (is python3-matplotlib installed?)");
        return;
    }
    std::vector<double> seconds;
    for (const QString& line :
         QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        seconds.push_back(line.toDouble());
    if (seconds.size() != static_cast<std::size_t>(timedRuns)) {
        state.SkipWithError("matplotlib's times were not printed");
        return;
    }
    std::size_t run = 0;
    for (auto _ : state)
        state.SetIterationTime(seconds[run++ % seconds.size()]);
    compareCurves(state, dense);
}
BENCHMARK(BM_DenseCurvePngMatplotlib)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(timedRuns);

const qelmar::bench::RatioRegistration denseOverMatplotlib{
    "2-million-point line as a 1920-pixel PNG, QelUtilExport / matplotlib Agg savefig",
    "BM_DenseCurvePngExport/iterations:3/manual_time",
    "BM_DenseCurvePngMatplotlib/iterations:3/manual_time",
    {"peakMB", "centreWithinPixelPct", "largestCentreDifference", "edgesWithin2PixelsPct",
     "columnsCompared"}};

} // namespace
