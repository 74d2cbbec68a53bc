#include "exportengine/Canvas.h"

#include <cmath>

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
    strokeDevicePolyline(toDevice(inches), ink(stroke.colour), deviceLength(stroke.widthPoints), false);
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
