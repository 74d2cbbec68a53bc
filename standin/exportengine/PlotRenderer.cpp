#include "exportengine/PlotRenderer.h"

#include "exportengine/Canvas.h"
#include "exportengine/ExportProgress.h"
#include "exportengine/PainterCanvas.h"
#include "kernel/ApplicationModel.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace qelmar::standin {

namespace {

const QColor deskColour(0xd4, 0xd7, 0xdc);
const QColor paperEdgeColour(0x9a, 0x9e, 0xa6);
const QColor gridColour(0xe2, 0xe4, 0xe8);
const QColor currentFrameColour(0x1e, 0x6f, 0xd9);
// Curves of one frame, one colour each, of brightnesses far enough apart that the curves stay
// apart as greys on a monochrome canvas too.
const std::array<QColor, 6> curveColours{QColor(0x1f, 0x3f, 0xa0), QColor(0xf0, 0x8a, 0x24),
                                         QColor(0x2a, 0x8a, 0x3c), QColor(0xc0, 0x2a, 0x8a),
                                         QColor(0x8f, 0xc0, 0xf0), QColor(0x60, 0x30, 0x10)};

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void include(double value) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    // A range a scale can divide: empty becomes 0..1, a single value gets room around it.
    Range usable() const {
        if (!(low <= high))
            return {0.0, 1.0};
        if (high - low < 1e-12 * std::max(1.0, std::abs(high)))
            return {low - 0.5, high + 0.5};
        return *this;
    }
    double fraction(double value) const { return (value - low) / (high - low); }
    // Keeps extreme values off the axes, where the plot's border would hide a flat curve.
    Range padded(double share) const {
        const double room = (high - low) * share;
        return {low - room, high + room};
    }
};

void include(Range& range, const DataValues& data, std::size_t first, std::size_t end) {
    for (std::size_t variable = first; variable < std::min(end, data.values.size()); ++variable) {
        for (double value : data.values[variable])
            range.include(value);
    }
}

// The range of the variables first .. end - 1 over every time step and zone, so that the axes
// stay put while an animation steps through the data.
Range rangeOf(const DataSet& dataSet, std::size_t first, std::size_t end) {
    Range range;
    for (int step = 0; step < dataSet.stepCount(); ++step)
        include(range, dataSet.atStep(step), first, end);
    for (const DataValues& zone : dataSet.laterZones)
        include(range, zone, first, end);
    return range;
}

Range rangeOf(const DataSet& dataSet, std::size_t variable) {
    return rangeOf(dataSet, variable, variable + 1);
}

// Tick positions at 1, 2 or 5 times a power of ten, about `count` of them inside the range.
// Counted by index rather than summed, so that a step below the values' resolution still ends.
std::vector<double> ticksOf(const Range& range, int count) {
    const double rough = (range.high - range.low) / std::max(1, count);
    std::vector<double> ticks;
    if (!std::isfinite(rough) || rough <= 0)
        return ticks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough)
            break;
    }
    constexpr int mostTicks = 100;
    const double first = std::ceil(range.low / step);
    for (int index = 0; index < mostTicks; ++index) {
        const double tick = (first + index) * step;
        if (tick > range.high + step * 1e-9)
            break;
        ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
    }
    return ticks;
}

QString tickLabel(double value) {
    return QString::number(value, 'g', 4);
}

void drawAxes(Canvas& canvas, const QRectF& plot, const Range& x, const Range& y) {
    const double tick = 0.05;
    const TextStyle labelStyle{7.0, Qt::black, Qt::AlignHCenter | Qt::AlignTop};
    for (double value : ticksOf(x, std::max(2, static_cast<int>(plot.width() / 0.9)))) {
        const double px = plot.left() + x.fraction(value) * plot.width();
        canvas.drawPolyline(polygonOf({QPointF(px, plot.top()), QPointF(px, plot.bottom())}),
                            {gridColour, 0.5});
        canvas.drawPolyline(polygonOf({QPointF(px, plot.bottom()), QPointF(px, plot.bottom() + tick)}),
                            {Qt::black, 0.75});
        canvas.drawText(QPointF(px, plot.bottom() + tick * 1.5), tickLabel(value), labelStyle);
    }
    const TextStyle yLabelStyle{7.0, Qt::black, Qt::AlignRight | Qt::AlignVCenter};
    for (double value : ticksOf(y, std::max(2, static_cast<int>(plot.height() / 0.6)))) {
        const double py = plot.bottom() - y.fraction(value) * plot.height();
        canvas.drawPolyline(polygonOf({QPointF(plot.left(), py), QPointF(plot.right(), py)}),
                            {gridColour, 0.5});
        canvas.drawPolyline(polygonOf({QPointF(plot.left() - tick, py), QPointF(plot.left(), py)}),
                            {Qt::black, 0.75});
        canvas.drawText(QPointF(plot.left() - tick * 1.5, py), tickLabel(value), yLabelStyle);
    }
    canvas.strokeRect(plot, {Qt::black, 0.75});
}

// Tells the export's listener how much of the area is drawn: each frame counts one, and each
// point of its curves one more, reported a chunk of points at a time.
class DrawingProgress {
public:
    static constexpr std::size_t chunk = 1 << 16;

    explicit DrawingProgress(double totalWork)
        : m_total(totalWork) {}

    void advance(double work) {
        m_done += work;
        ExportProgress::report(m_total > 0 ? m_done / m_total : 1.0);
    }

private:
    double m_total;
    double m_done = 0.0;
};

// Breaks the curve where a value is missing or not a number. The points go to the canvas one by
// one: a curve of millions of points is never copied.
void drawCurve(Canvas& canvas, const QRectF& plot, const std::vector<double>& xs,
               const std::vector<double>& ys, const Range& x, const Range& y, const QColor& colour,
               DrawingProgress& progress) {
    const std::size_t count = std::min(xs.size(), ys.size());
    canvas.beginPolyline({colour, 1.25});
    for (std::size_t i = 0; i < count; ++i) {
        if (i % DrawingProgress::chunk == DrawingProgress::chunk - 1)
            progress.advance(DrawingProgress::chunk);
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) {
            canvas.breakPolyline();
            continue;
        }
        canvas.addPolylinePoint(QPointF(plot.left() + x.fraction(xs[i]) * plot.width(),
                                        plot.bottom() - y.fraction(ys[i]) * plot.height()));
    }
    canvas.endPolyline();
    progress.advance(static_cast<double>(count % DrawingProgress::chunk));
}

QString variableName(const DataValues& data, std::size_t variable) {
    return variable < data.variableNames.size() ? QString::fromStdString(data.variableNames[variable])
                                                : QString();
}

// The zones drawn with the values: the further zones belong to the first time step only.
const std::vector<DataValues>& zonesDrawnWith(const DataSet& dataSet, const DataValues& data) {
    static const std::vector<DataValues> noZones;
    return &data == &dataSet.contents ? dataSet.laterZones : noZones;
}

void drawLineFrame(Canvas& canvas, const QRectF& plot, const DataSet& dataSet, const DataValues& data,
                   DrawingProgress& progress) {
    const Range x = rangeOf(dataSet, 0).usable();
    const Range y = rangeOf(dataSet, 1, data.values.size()).usable().padded(0.04);
    // The plot area has a background of its own, which stays when the frame's is left out.
    canvas.fillRect(plot, Qt::white);
    drawAxes(canvas, plot, x, y);
    canvas.drawText(QPointF(plot.center().x(), plot.bottom() + 0.22), variableName(data, 0),
                    {8.0, Qt::black, Qt::AlignHCenter | Qt::AlignTop});
    canvas.pushClip(plot);
    // Each zone is drawn like the first, in the same colours.
    const std::vector<DataValues>& zones = zonesDrawnWith(dataSet, data);
    for (std::size_t v = 1; v < data.values.size(); ++v) {
        const QColor& colour = curveColours[(v - 1) % curveColours.size()];
        drawCurve(canvas, plot, data.values[0], data.values[v], x, y, colour, progress);
        for (const DataValues& zone : zones) {
            if (v < zone.values.size())
                drawCurve(canvas, plot, zone.values[0], zone.values[v], x, y, colour, progress);
        }
        canvas.drawText(QPointF(plot.right() - 0.08, plot.top() + 0.06 + 0.16 * static_cast<double>(v - 1)),
                        variableName(data, v), {8.0, colour, Qt::AlignRight | Qt::AlignTop});
    }
    canvas.popClip();
}

// A three-dimensional frame: the first three variables as the axes of a box seen obliquely from
// above, the data drawn as a curve in the box with its shadow on the floor.
class BoxProjection {
public:
    explicit BoxProjection(const QRectF& plot) {
        const QRectF unit = projectedUnitBox();
        m_scale = std::min(plot.width() / unit.width(), plot.height() / unit.height());
        m_offset = plot.center() - unit.center() * m_scale;
    }

    QPointF operator()(double x, double y, double z) const { return m_offset + raw(x, y, z) * m_scale; }

private:
    static QPointF raw(double x, double y, double z) {
        constexpr double cosine = 0.8660254;
        return QPointF((x - y) * cosine, (x + y) * 0.5 - z * 1.1);
    }
    static QRectF projectedUnitBox() {
        QPolygonF corners;
        for (int corner = 0; corner < 8; ++corner)
            corners.append(raw(corner & 1, (corner >> 1) & 1, (corner >> 2) & 1));
        return corners.boundingRect();
    }

    double m_scale = 1.0;
    QPointF m_offset;
};

// The box frame's curve, or its shadow on the floor, handed to the canvas point by point.
struct BoxRanges {
    Range x, y, z;
};

void drawBoxCurve(Canvas& canvas, const BoxProjection& project, const BoxRanges& ranges,
                  const DataValues& data, bool shadow, DrawingProgress& progress) {
    const auto& values = data.values;
    const auto& [x, y, z] = ranges;
    std::size_t points = values[0].size();
    for (std::size_t v = 1; v < std::min<std::size_t>(values.size(), 3); ++v)
        points = std::min(points, values[v].size());
    canvas.beginPolyline(shadow ? Stroke{QColor(0xb8, 0xbc, 0xc4), 1.0} : Stroke{curveColours[0], 1.25});
    for (std::size_t i = 0; i < points; ++i) {
        if (i % DrawingProgress::chunk == DrawingProgress::chunk - 1)
            progress.advance(DrawingProgress::chunk);
        const double px = x.fraction(values[0][i]);
        const double py = values.size() > 1 ? y.fraction(values[1][i]) : 0.5;
        const double pz = values.size() > 2 ? z.fraction(values[2][i]) : 0.5;
        if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pz))
            continue;
        canvas.addPolylinePoint(project(px, py, shadow ? 0.0 : pz));
    }
    canvas.endPolyline();
    progress.advance(static_cast<double>(points % DrawingProgress::chunk));
}

void drawBoxFrame(Canvas& canvas, const QRectF& plot, const DataSet& dataSet, const DataValues& data,
                  DrawingProgress& progress) {
    const BoxProjection project(plot);
    const Stroke edge{QColor(0x60, 0x60, 0x60), 0.75};
    // The floor with a grid, then the three back walls' edges.
    canvas.fillPolygon(polygonOf({project(0, 0, 0), project(1, 0, 0), project(1, 1, 0), project(0, 1, 0)}),
                       QColor(0xf2, 0xf3, 0xf5));
    for (int line = 1; line < 4; ++line) {
        const double t = line / 4.0;
        canvas.drawPolyline(polygonOf({project(t, 0, 0), project(t, 1, 0)}), {gridColour, 0.5});
        canvas.drawPolyline(polygonOf({project(0, t, 0), project(1, t, 0)}), {gridColour, 0.5});
    }
    canvas.drawPolyline(polygonOf({project(1, 0, 0), project(0, 0, 0), project(0, 1, 0)}), edge);
    canvas.drawPolyline(polygonOf({project(0, 0, 0), project(0, 0, 1)}), edge);
    canvas.drawPolyline(
        polygonOf({project(1, 0, 0), project(1, 0, 1), project(0, 0, 1), project(0, 1, 1), project(0, 1, 0)}),
        edge);

    const auto& values = data.values;
    const BoxRanges ranges{rangeOf(dataSet, 0).usable(),
                           values.size() > 1 ? rangeOf(dataSet, 1).usable() : Range{0.0, 1.0},
                           values.size() > 2 ? rangeOf(dataSet, 2).usable() : Range{0.0, 1.0}};
    drawBoxCurve(canvas, project, ranges, data, true, progress);
    drawBoxCurve(canvas, project, ranges, data, false, progress);
    canvas.drawPolyline(polygonOf({project(1, 1, 0), project(1, 0, 0)}), edge);
    canvas.drawPolyline(polygonOf({project(1, 1, 0), project(0, 1, 0)}), edge);

    const TextStyle axisName{8.0, Qt::black, Qt::AlignHCenter | Qt::AlignTop};
    canvas.drawText(project(1.05, 0, 0), variableName(data, 0), axisName);
    canvas.drawText(project(0, 1.05, 0), variableName(data, 1), axisName);
    canvas.drawText(project(0, 0, 1.05), variableName(data, 2),
                    {8.0, Qt::black, Qt::AlignHCenter | Qt::AlignBottom});
}

// The values a frame draws at the time step; null when it has none.
const DataValues* valuesDrawnIn(const Frame& frame, int timeStep) {
    const DataSet* dataSet = frame.dataSet.get();
    const DataValues* data = dataSet ? &dataSet->atStep(timeStep) : nullptr;
    return data && !data->values.empty() && !data->values[0].empty() ? data : nullptr;
}

// The frame's share of the drawing: one for the frame, one for each point of its curves.
double drawingWorkOf(const Frame& frame, int timeStep) {
    const DataValues* data = valuesDrawnIn(frame, timeStep);
    if (!data)
        return 1.0;
    const auto pointsOf = [](const DataValues& values) {
        double points = 0.0;
        for (std::size_t v = 1; v < values.values.size(); ++v)
            points += static_cast<double>(values.values[v].size());
        return points;
    };
    if (frame.plotType == 1)
        return 1.0 + 2.0 * static_cast<double>(data->values[0].size());
    double work = 1.0 + pointsOf(*data);
    for (const DataValues& zone : zonesDrawnWith(*frame.dataSet, *data))
        work += pointsOf(zone);
    return work;
}

void drawFrame(Canvas& canvas, const Frame& frame, int timeStep, Backdrop backdrop,
               DrawingProgress& progress) {
    const QRectF& box = frame.placement;
    if (backdrop == Backdrop::Opaque)
        canvas.fillRect(box, Qt::white);
    canvas.pushClip(box);
    canvas.drawText(box.topLeft() + QPointF(0.08, 0.06), QString::fromStdString(frame.name),
                    {10.0, Qt::black, Qt::AlignLeft | Qt::AlignTop});
    const QRectF plot = plotRectOf(box);
    const DataSet* dataSet = frame.dataSet.get();
    const DataValues* data = valuesDrawnIn(frame, timeStep);
    if (!data) {
        canvas.drawText(box.center(), QCoreApplication::translate("PlotRenderer", "No data"),
                        {9.0, QColor(0x80, 0x80, 0x80), Qt::AlignHCenter | Qt::AlignVCenter});
    } else if (frame.plotType == 1) {
        drawBoxFrame(canvas, plot, *dataSet, *data, progress);
    } else {
        drawLineFrame(canvas, plot, *dataSet, *data, progress);
    }
    canvas.popClip();
    canvas.strokeRect(box, {Qt::black, 1.0});
    progress.advance(1.0);
}

const Page* pageAt(int pageIndex) {
    const auto& pages = ApplicationModel::instance().pages();
    if (pageIndex < 0 || pageIndex >= static_cast<int>(pages.size()))
        return nullptr;
    return &pages[static_cast<std::size_t>(pageIndex)];
}

const Frame* frameOn(const Page& page, int id) {
    const auto found = std::find_if(page.frames.begin(), page.frames.end(),
                                    [id](const Frame& frame) { return frame.id == id; });
    return found == page.frames.end() ? nullptr : &*found;
}

double drawingWorkOf(const Page& page, const std::vector<int>& frames, int timeStep) {
    double work = 0.0;
    for (int id : frames) {
        if (const Frame* frame = frameOn(page, id))
            work += drawingWorkOf(*frame, timeStep);
    }
    return work;
}

} // namespace

// Room for the title above and the labels to the left and below, shrinking with small frames.
QRectF plotRectOf(const QRectF& frame) {
    const double left = std::min(0.7, frame.width() * 0.2);
    const double top = std::min(0.4, frame.height() * 0.15);
    const double right = std::min(0.25, frame.width() * 0.06);
    const double bottom = std::min(0.45, frame.height() * 0.15);
    return frame.adjusted(left, top, -right, -bottom);
}

void drawExportArea(Canvas& canvas, const ExportArea& area, Backdrop backdrop) {
    const bool opaque = backdrop == Backdrop::Opaque;
    // The whole area is painted first: an encapsulated file's bounding box is what was drawn.
    if (opaque)
        canvas.fillRect(area.inches, deskColour);
    const Page* page = pageAt(area.page);
    if (!page)
        return;
    const QRectF paper(QPointF(0, 0), page->paper);
    if (opaque)
        canvas.fillRect(paper, Qt::white);
    canvas.strokeRect(paper, {paperEdgeColour, 0.75});
    const int timeStep = area.timeStep.value_or(ApplicationModel::instance().currentTimeStep());
    DrawingProgress progress(drawingWorkOf(*page, area.frames, timeStep));
    for (int id : area.frames) {
        if (const Frame* frame = frameOn(*page, id))
            drawFrame(canvas, *frame, timeStep, backdrop, progress);
    }
}

QImage renderExportImage(const ExportArea& area, const QSize& size, bool monochrome, Backdrop backdrop) {
    const bool opaque = backdrop == Backdrop::Opaque;
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PainterCanvas canvas(painter, area.inches, QSizeF(size), monochrome);
    drawExportArea(canvas, area, backdrop);
    return image;
}

QStringList frameTitlesOf(const ExportArea& area) {
    QStringList titles;
    const Page* page = pageAt(area.page);
    if (!page)
        return titles;
    for (int id : area.frames) {
        if (const Frame* frame = frameOn(*page, id))
            titles.append(QString::fromStdString(frame->name));
    }
    return titles;
}

QRectF pageArea(int pageIndex) {
    return workAreaOf(pageIndex);
}

void paintPage(QPainter& painter, int pageIndex, double pixelsPerInch, bool markCurrentFrame) {
    const Page* page = pageAt(pageIndex);
    ExportArea area;
    area.page = pageIndex;
    area.inches = pageArea(pageIndex);
    if (page) {
        for (auto it = page->frames.rbegin(); it != page->frames.rend(); ++it)
            area.frames.push_back(it->id);
    }
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PainterCanvas canvas(painter, area.inches, area.inches.size() * pixelsPerInch, false);
    drawExportArea(canvas, area);
    const Frame* current = ApplicationModel::instance().currentFrame();
    if (markCurrentFrame && page && current && frameOn(*page, current->id))
        canvas.strokeRect(current->placement, {currentFrameColour, 2.5});
    painter.restore();
}

int frameAt(int pageIndex, QPointF pointInInches) {
    const Page* page = pageAt(pageIndex);
    if (!page)
        return -1;
    for (const Frame& frame : page->frames) {
        if (frame.placement.contains(pointInInches))
            return frame.id;
    }
    return -1;
}

} // namespace qelmar::standin
