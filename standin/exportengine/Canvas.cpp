#include "exportengine/Canvas.h"

#include <array>
#include <cmath>

// A dense curve has far more points than its device has pixel columns, and drawing each of them
// costs time and, in the stroker, memory in proportion. Within one column the run of consecutive
// points covers the span between its lowest and highest point, entered at the first and left at
// the last; drawing those four in their order leaves the same pixels lit, and keeps every segment
// that crosses to the next column exactly as it was.

namespace qelmar::standin {

Canvas::Canvas(const QRectF& area, const QSizeF& deviceSize, bool monochrome)
    : m_area(area)
    , m_scaleX(area.width() > 0 ? deviceSize.width() / area.width() : 1.0)
    , m_scaleY(area.height() > 0 ? deviceSize.height() / area.height() : 1.0)
    , m_monochrome(monochrome) {}

Canvas::~Canvas() = default;

double Canvas::deviceLength(double points) const {
    return points / 72.0 * (m_scaleX + m_scaleY) / 2.0;
}

QPointF Canvas::toDevice(const QPointF& inches) const {
    QPointF device((inches.x() - m_area.left()) * m_scaleX, (inches.y() - m_area.top()) * m_scaleY);
    if (m_decimals >= 0) {
        const double factor = std::pow(10.0, m_decimals);
        device = QPointF(std::round(device.x() * factor) / factor, std::round(device.y() * factor) / factor);
    }
    return device;
}

QPolygonF Canvas::toDevice(const QPolygonF& inches) const {
    QPolygonF device;
    device.reserve(inches.size());
    for (const QPointF& point : inches)
        device.append(toDevice(point));
    return device;
}

QColor Canvas::ink(const QColor& colour) const {
    if (!m_monochrome)
        return colour;
    const int grey = qGray(colour.rgb());
    return QColor(grey, grey, grey, colour.alpha());
}

void Canvas::fillRect(const QRectF& inches, const QColor& colour) {
    fillPolygon(QPolygonF(inches.normalized()), colour);
}

void Canvas::strokeRect(const QRectF& inches, const Stroke& stroke) {
    const QRectF r = inches.normalized();
    const QPolygonF corners(QVector<QPointF>{r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()});
    strokeDevicePolyline(toDevice(corners), ink(stroke.colour), deviceLength(stroke.widthPoints), true);
}

void Canvas::fillPolygon(const QPolygonF& inches, const QColor& colour) {
    fillDevicePolygon(toDevice(inches), ink(colour));
}

void Canvas::drawPolyline(const QPolygonF& inches, const Stroke& stroke) {
    if (inches.size() < 2)
        return;
    beginPolyline(stroke);
    for (const QPointF& point : inches)
        addPolylinePoint(point);
    endPolyline();
}

void Canvas::beginPolyline(const Stroke& stroke) {
    m_run = ColumnRun{};
    m_reduced.clear();
    m_polylineInk = ink(stroke.colour);
    m_polylineWidth = deviceLength(stroke.widthPoints);
}

void Canvas::addPolylinePoint(const QPointF& inches) {
    addDevicePoint(toDevice(inches));
    // A polyline that doubles back on itself in every column is not reduced; it is drawn in
    // pieces sharing their ends, so that the memory stays bounded.
    constexpr qsizetype largestPiece = 1 << 16;
    if (m_reduced.size() >= largestPiece)
        flushReduced(true);
}

void Canvas::breakPolyline() {
    closeColumnRun();
    flushReduced(false);
}

void Canvas::endPolyline() {
    breakPolyline();
    m_reduced = QPolygonF();
}

void Canvas::addDevicePoint(const QPointF& device) {
    if (!(m_columnWidth > 0)) {
        m_reduced.append(device);
        return;
    }
    const double column = std::floor(device.x() / m_columnWidth);
    if (m_run.count > 0 && column != m_run.column)
        closeColumnRun();
    ColumnRun& run = m_run;
    if (run.count == 0) {
        run.column = column;
        run.first = run.lowest = run.highest = device;
        run.lowestAt = run.highestAt = 0;
    } else if (device.y() < run.lowest.y()) {
        run.lowest = device;
        run.lowestAt = run.count;
    } else if (device.y() > run.highest.y()) {
        run.highest = device;
        run.highestAt = run.count;
    }
    run.last = device;
    ++run.count;
}

void Canvas::closeColumnRun() {
    ColumnRun& run = m_run;
    if (run.count == 0)
        return;
    struct Kept {
        int at;
        QPointF point;
    };
    std::array<Kept, 4> kept{Kept{0, run.first}, Kept{run.lowestAt, run.lowest},
                             Kept{run.highestAt, run.highest}, Kept{run.count - 1, run.last}};
    if (kept[1].at > kept[2].at)
        std::swap(kept[1], kept[2]);
    int previous = -1;
    for (const Kept& point : kept) {
        if (point.at != previous)
            m_reduced.append(point.point);
        previous = point.at;
    }
    run.count = 0;
}

void Canvas::flushReduced(bool keepJoint) {
    if (m_reduced.size() >= 2)
        strokeDevicePolyline(m_reduced, m_polylineInk, m_polylineWidth, false);
    if (m_reduced.isEmpty())
        return;
    const QPointF joint = m_reduced.last();
    m_reduced.clear();
    if (keepJoint)
        m_reduced.append(joint);
}

void Canvas::drawText(const QPointF& anchorInches, const QString& text, const TextStyle& style) {
    if (text.isEmpty())
        return;
    drawDeviceText(toDevice(anchorInches), text, deviceLength(style.sizePoints), ink(style.colour),
                   style.alignment);
}

void Canvas::pushClip(const QRectF& inches) {
    const QRectF r = inches.normalized();
    pushDeviceClip(QRectF(toDevice(r.topLeft()), toDevice(r.bottomRight())));
}

void Canvas::popClip() {
    popDeviceClip();
}

} // namespace qelmar::standin
