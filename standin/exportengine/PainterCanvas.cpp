#include "exportengine/PainterCanvas.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qelmar::standin {

namespace {

// A rectangle far larger than any label, placed so that drawing the text aligned inside it puts
// the text's alignment point on the anchor.
QRectF boxAround(const QPointF& anchor, Qt::Alignment alignment) {
    constexpr double extent = 10000.0;
    double left = anchor.x();
    if (alignment & Qt::AlignHCenter)
        left -= extent / 2;
    else if (alignment & Qt::AlignRight)
        left -= extent;
    double top = anchor.y();
    if (alignment & Qt::AlignVCenter)
        top -= extent / 2;
    else if (alignment & Qt::AlignBottom)
        top -= extent;
    return QRectF(left, top, extent, extent);
}

// What one pixel of the painter's device is in the painter's coordinates: a view scaled up, or a
// screen of several pixels to the unit, shows more detail than one pixel per unit. The painter's
// transformation includes the device's pixel ratio.
double pixelWidthIn(const QPainter& painter) {
    const QTransform transform = painter.combinedTransform();
    const double scale = std::hypot(transform.m11(), transform.m12());
    return scale > 0 ? 1.0 / scale : 1.0;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const QRectF& area, const QSizeF& deviceSize, bool monochrome)
    : Canvas(area, deviceSize, monochrome)
    , m_painter(painter) {
    setColumnWidth(pixelWidthIn(painter));
}

void PainterCanvas::fillDevicePolygon(const QPolygonF& device, const QColor& colour) {
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.drawPolygon(device);
}

void PainterCanvas::strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                                         bool closed) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    if (closed)
        m_painter.drawPolygon(device);
    else if (device.size() <= segmentsPerPiece + 1 || colour.alpha() < 255)
        m_painter.drawPolyline(device);
    else
        strokeInPieces(device, colour, width);
}

// The painter strokes a long polyline that doubles back on itself (a dense curve, even reduced,
// is all spikes) many times slower than the same segments a few at a time: its outline crosses
// itself everywhere. Short pieces sharing their ends, with a dot where a round join would be,
// cover the same pixels; an opaque colour hides where they overlap.
void PainterCanvas::strokeInPieces(const QPolygonF& device, const QColor& colour, double width) {
    for (qsizetype start = 0; start + 1 < device.size(); start += segmentsPerPiece) {
        const qsizetype count = std::min<qsizetype>(segmentsPerPiece + 1, device.size() - start);
        m_painter.drawPolyline(device.constData() + start, static_cast<int>(count));
    }
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    const double radius = width / 2;
    for (qsizetype joint = segmentsPerPiece; joint + 1 < device.size(); joint += segmentsPerPiece)
        m_painter.drawEllipse(device[joint], radius, radius);
}

void PainterCanvas::drawDeviceText(const QPointF& anchor, const QString& text, double size,
                                   const QColor& colour, Qt::Alignment alignment) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, qRound(size)));
    m_painter.setFont(font);
    m_painter.setPen(colour);
    m_painter.drawText(boxAround(anchor, alignment), static_cast<int>(alignment) | Qt::TextDontClip, text);
}

void PainterCanvas::pushDeviceClip(const QRectF& device) {
    m_painter.save();
    m_painter.setClipRect(device, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void PainterCanvas::popDeviceClip() {
    m_painter.restore();
}

} // namespace qelmar::standin
