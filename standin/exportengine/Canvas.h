#pragma once

// Internal to the stand-in kernel: what the plot renderer draws on. The renderer speaks in
// inches on the page; the canvas maps them onto its device, and decides the colours: a
// monochrome canvas turns every colour into the grey of its brightness. Each backend (raster,
// PostScript, and later the metafile records) implements only the few primitives below.

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <initializer_list>

namespace qelmar::standin {

struct Stroke {
    QColor colour = Qt::black;
    double widthPoints = 0.75;
};

struct TextStyle {
    double sizePoints = 9.0;
    QColor colour = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop; // where the anchor point sits
};

// A polygon from a brace list of points, which QPolygonF itself takes only from Qt 6 on.
inline QPolygonF polygonOf(std::initializer_list<QPointF> points) {
    return QPolygonF(QVector<QPointF>(points));
}

class Canvas {
public:
    // Maps `area` (inches) onto the device rectangle (0, 0, deviceSize).
    Canvas(const QRectF& area, const QSizeF& deviceSize, bool monochrome);
    virtual ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void fillRect(const QRectF& inches, const QColor& colour);
    void strokeRect(const QRectF& inches, const Stroke& stroke);
    void fillPolygon(const QPolygonF& inches, const QColor& colour);
    void drawPolyline(const QPolygonF& inches, const Stroke& stroke);
    void drawText(const QPointF& anchorInches, const QString& text, const TextStyle& style);
    // Clips everything drawn until the matching popClip to the rectangle (and to outer clips).
    void pushClip(const QRectF& inches);
    void popClip();

    // Device coordinates are rounded to this many decimals; a negative count keeps them as they are.
    void setCoordinateDecimals(int decimals) { m_decimals = decimals; }
    // The device length of a length given in points (1/72 inch).
    double deviceLength(double points) const;

protected:
    virtual void fillDevicePolygon(const QPolygonF& device, const QColor& colour) = 0;
    virtual void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                                      bool closed) = 0;
    virtual void drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                                Qt::Alignment alignment) = 0;
    virtual void pushDeviceClip(const QRectF& device) = 0;
    virtual void popDeviceClip() = 0;

private:
    QPointF toDevice(const QPointF& inches) const;
    QPolygonF toDevice(const QPolygonF& inches) const;
    QColor ink(const QColor& colour) const;

    QRectF m_area;
    double m_scaleX;
    double m_scaleY;
    bool m_monochrome;
    int m_decimals = -1;
};

} // namespace qelmar::standin
