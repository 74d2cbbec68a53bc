#include "ExportTestScene.h"
#include "common/FileBytes.h"
#include "exportengine/Canvas.h"
#include "exportengine/ExportGeometry.h"
#include "exportengine/PainterCanvas.h"
#include "exportengine/PlotRenderer.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using qelmar::standin::Canvas;
using qelmar::standin::PainterCanvas;
using qelmar::standin::Stroke;

// Keeps every polyline the renderer hands over, in device units, and nothing else.
class RecordingCanvas : public Canvas {
public:
    RecordingCanvas(const QRectF& area, const QSizeF& deviceSize)
        : Canvas(area, deviceSize, false) {}

    struct Line {
        QColor colour;
        QPolygonF points;
    };
    std::vector<Line> lines;

    std::vector<Line> linesOf(const QColor& colour) const {
        std::vector<Line> found;
        for (const Line& line : lines) {
            if (line.colour == colour)
                found.push_back(line);
        }
        return found;
    }

protected:
    void fillDevicePolygon(const QPolygonF&, const QColor&) override {}
    void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double, bool) override {
        lines.push_back({colour, device});
    }
    void drawDeviceText(const QPointF&, const QString&, double, const QColor&, Qt::Alignment) override {}
    void pushDeviceClip(const QRectF&) override {}
    void popDeviceClip() override {}
};

constexpr int imageWidth = 800;
constexpr int imageHeight = 400;
const QRectF unitArea(0, 0, 8, 4); // inches, at 100 pixels to the inch

const Stroke curveStroke{QColor(0x1f, 0x3f, 0xa0), 1.25};

// The polyline as the raster canvas draws it, reduced.
QImage reduced(const QPolygonF& inches) {
    QImage image(imageWidth, imageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PainterCanvas canvas(painter, unitArea, QSizeF(imageWidth, imageHeight), false);
    canvas.drawPolyline(inches, curveStroke);
    return image;
}

// Every point drawn with the painter in one polyline, the same pen.
QImage full(const QPolygonF& inches) {
    QImage image(imageWidth, imageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(imageWidth / unitArea.width(), imageHeight / unitArea.height());
    QPen pen(curveStroke.colour, curveStroke.widthPoints / 72.0); // in inches, as the painter now is
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawPolyline(inches);
    return image;
}

// The share of pixels whose colour differs by more than a quarter of the scale. Only pixels at
// the edge of a dense band may differ: many points crowding it cover more of an edge pixel
// together than the few kept, and a wide pen lets a point's stroke reach into the next column,
// where the kept points of that column are not necessarily the ones nearest.
double shareOfDifferentPixels(const QImage& a, const QImage& b) {
    constexpr int noise = 64;
    int different = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int delta = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q))});
            different += delta > noise ? 1 : 0;
        }
    }
    return static_cast<double>(different) / (a.width() * a.height());
}

int inkedPixels(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    }
    return inked;
}

// A noisy signal along x, far denser than the image's columns.
QPolygonF denseSignal(int points, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.12);
    QPolygonF signal;
    for (int i = 0; i < points; ++i) {
        const double x = 0.2 + 7.6 * i / (points - 1);
        signal.append(QPointF(x, 2.0 + std::sin(x * 2.5) + noise(random)));
    }
    return signal;
}

TEST(CurveReduction, ADenseCurveLooksAsIfEveryPointWereDrawn) {
    const QPolygonF signal = denseSignal(100000, 7);
    const QImage everyPoint = full(signal);
    EXPECT_GT(inkedPixels(everyPoint), imageWidth * 10); // the comparison is about a real picture
    EXPECT_LT(shareOfDifferentPixels(reduced(signal), everyPoint), 0.005);
}

TEST(CurveReduction, ACurveDoublingBackLooksTheSame) {
    // A spiral and a figure that sweeps back and forth: runs in a column are short and mixed.
    QPolygonF spiral;
    QPolygonF sweeps;
    for (int i = 0; i < 100000; ++i) {
        const double t = i * 0.002;
        spiral.append(QPointF(4.0 + 0.008 * t * std::cos(t), 2.0 + 0.008 * t * std::sin(t)));
        sweeps.append(QPointF(4.0 + 3.6 * std::sin(t * 3.1), 2.0 + 1.6 * std::sin(t * 0.77)));
    }
    for (const QPolygonF* curve : {&spiral, &sweeps})
        EXPECT_LT(shareOfDifferentPixels(reduced(*curve), full(*curve)), 0.005);
}

// Random walks of every steepness and density: the reduced drawing matches the full one.
RC_GTEST_PROP(CurveReduction, RandomWalksLookTheSame, ()) {
    const auto steps = *rc::gen::inRange(2, 4000);
    const auto spread = *rc::gen::inRange(1, 200);
    const auto seed = *rc::gen::arbitrary<unsigned>();
    std::mt19937 random(seed);
    std::normal_distribution<double> step(0.0, spread / 5000.0);
    QPolygonF walk;
    QPointF at(0.4, 2.0);
    for (int i = 0; i < steps; ++i) {
        at += QPointF(7.2 / steps, step(random));
        walk.append(at);
    }
    RC_ASSERT(shareOfDifferentPixels(reduced(walk), full(walk)) < 0.005);
}

TEST(CurveReduction, ScaledOrHighDensityPaintersReduceAtTheirOwnPixels) {
    // A zoomed view or a screen of two pixels to the unit shows more columns than units.
    QImage image(200, 100, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    QPainter painter(&image);
    EXPECT_DOUBLE_EQ(PainterCanvas(painter, unitArea, QSizeF(100, 50), false).columnWidth(), 0.5);
    painter.scale(4.0, 4.0);
    EXPECT_DOUBLE_EQ(PainterCanvas(painter, unitArea, QSizeF(25, 12.5), false).columnWidth(), 0.125);
}

TEST(CurveReduction, EachColumnRunKeepsItsEndsAndExtremesInOrder) {
    using qelmar::standin::polygonOf;
    RecordingCanvas canvas(QRectF(0, 0, 10, 10), QSizeF(10, 10));
    // One column entered at 5, up to 9, down to 1, left at 4; then a column of one point, and a
    // column whose two points are its ends and its extremes at once.
    canvas.drawPolyline(polygonOf({{0.1, 5},
                                   {0.2, 7},
                                   {0.3, 9},
                                   {0.4, 6},
                                   {0.5, 1},
                                   {0.6, 3},
                                   {0.7, 4},
                                   {1.5, 2},
                                   {2.2, 8},
                                   {2.8, 3}}),
                        Stroke{});
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].points,
              polygonOf({{0.1, 5}, {0.3, 9}, {0.5, 1}, {0.7, 4}, {1.5, 2}, {2.2, 8}, {2.8, 3}}));
}

TEST(CurveReduction, LongCurvesThatCannotBeReducedAreDrawnInJoinedPieces) {
    // Every point in a column of its own: nothing to reduce, so the pieces must share their ends.
    RecordingCanvas canvas(QRectF(0, 0, 200000, 10), QSizeF(200000, 10));
    canvas.beginPolyline(Stroke{});
    for (int i = 0; i < 150000; ++i)
        canvas.addPolylinePoint(QPointF(i + 0.5, i % 2 ? 1.0 : 9.0));
    canvas.endPolyline();
    ASSERT_GT(canvas.lines.size(), 1u);
    std::size_t drawn = 0;
    for (std::size_t piece = 0; piece < canvas.lines.size(); ++piece) {
        EXPECT_LE(canvas.lines[piece].points.size(), 1 << 16);
        if (piece > 0) {
            EXPECT_EQ(canvas.lines[piece].points.first(), canvas.lines[piece - 1].points.last());
        }
        drawn += static_cast<std::size_t>(canvas.lines[piece].points.size());
    }
    EXPECT_EQ(drawn, 150000u + canvas.lines.size() - 1);
}

// The first curve's colour in a line frame.
const QColor firstCurveColour(0x1f, 0x3f, 0xa0);

// The renderer on a scene with a curve of two million points, exported at 1920 pixels wide.
class DenseCurveScene : public exporttest::ExportTestBase {
protected:
    static constexpr int points = 2000000;
    static constexpr int deviceWidth = 1920;

    void SetUp() override {
        ExportTestBase::SetUp();
        const int page = app.addPage("Dense");
        frame = app.addFrame(page, "Signal");
        app.setFramePlacement(frame, 0.5, 0.5, 8.0, 4.0);
        app.setCurrentFrame(frame);
    }

    void attach(const std::vector<double>& ys) {
        std::vector<double> xs(ys.size());
        for (std::size_t i = 0; i < xs.size(); ++i)
            xs[i] = static_cast<double>(i);
        app.attachDataSet(frame, {"Signal", {"t", "v"}, {xs, ys}}, false);
    }

    // The polylines of the frame's first curve, as the renderer hands them to the canvas.
    std::vector<RecordingCanvas::Line> drawnCurve() {
        const auto area = qelmar::standin::exportAreaOf(ExportRegion_CurrentFrame);
        EXPECT_TRUE(area.has_value());
        const double height = deviceWidth * area->inches.height() / area->inches.width();
        RecordingCanvas canvas(area->inches, QSizeF(deviceWidth, height));
        qelmar::standin::drawExportArea(canvas, *area);
        return canvas.linesOf(firstCurveColour);
    }

    int frame = -1;
};

TEST_F(DenseCurveScene, AtMostFourPointsPerPixelColumnReachTheCanvas) {
    std::vector<double> ys(points);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (std::size_t i = 0; i < ys.size(); ++i)
        ys[i] = std::sin(static_cast<double>(i) * 1e-5) + noise(random);
    attach(ys);
    const auto curve = drawnCurve();
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_LE(curve[0].points.size(), 4 * deviceWidth);
    EXPECT_GT(curve[0].points.size(), deviceWidth); // still a curve across the whole plot
}

TEST_F(DenseCurveScene, MissingValuesStillBreakTheCurve) {
    std::vector<double> ys(points, 1.0);
    for (std::size_t i = 0; i < ys.size(); ++i)
        ys[i] = static_cast<double>(i % 1000);
    ys[points / 3] = std::numeric_limits<double>::quiet_NaN();
    ys[points / 3 + 1] = std::numeric_limits<double>::quiet_NaN();
    ys[2 * points / 3] = std::numeric_limits<double>::infinity();
    attach(ys);
    const auto curve = drawnCurve();
    ASSERT_EQ(curve.size(), 3u);
    // The pieces end and start where the missing values are, not at a whole column's ends.
    EXPECT_LT(curve[0].points.last().x(), curve[1].points.first().x());
    EXPECT_LT(curve[1].points.last().x(), curve[2].points.first().x());
    // Two missing values leave a gap of three steps, one leaves two.
    const double firstGap = curve[1].points.first().x() - curve[0].points.last().x();
    const double secondGap = curve[2].points.first().x() - curve[1].points.last().x();
    EXPECT_NEAR(firstGap / secondGap, 1.5, 0.01);
}

TEST_F(DenseCurveScene, VectorFilesKeepDetailFinerThanAPoint) {
    // A vector file is reduced at the resolution it is printed at, not one column per point.
    std::vector<double> ys(200000);
    for (std::size_t i = 0; i < ys.size(); ++i)
        ys[i] = std::sin(static_cast<double>(i) * 1e-4) + static_cast<double>((i * 7919) % 1000) / 2000.0;
    attach(ys);
    set({"ExportSetup", "ExportFName"}, path("dense.eps"));
    set({"ExportSetup", "ExportFormat"}, static_cast<long>(ExportFormat_EPS));
    ASSERT_TRUE(QelUtilExport(false)) << exporttest::lastError();
    const QString postScript = QString::fromLatin1(testsupport::contentsOf(path("dense.eps")));
    const auto lineTos = postScript.count(QRegularExpression(QStringLiteral(" l\\b")));
    const double plotInches = qelmar::standin::plotRectOf(QRectF(0.5, 0.5, 8.0, 4.0)).width();
    EXPECT_GT(lineTos, 4 * plotInches * 72.0); // finer than one column per point
    EXPECT_LT(lineTos, 4 * plotInches * 300.0 + 500);
}

} // namespace
