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
    // A polyline handed over one point at a time, for curves too long to copy: nothing but the
    // reduced points is kept. A break leaves a gap; endPolyline draws what is left.
    void beginPolyline(const Stroke& stroke);
    void addPolylinePoint(const QPointF& inches);
    void breakPolyline();
    void endPolyline();
    void drawText(const QPointF& anchorInches, const QString& text, const TextStyle& style);
    // Clips everything drawn until the matching popClip to the rectangle (and to outer clips).
    void pushClip(const QRectF& inches);
    void popClip();

    // Device coordinates are rounded to this many decimals; a negative count keeps them as they are.
    void setCoordinateDecimals(int decimals) { m_decimals = decimals; }
    // The device length of a length given in points (1/72 inch).
    double deviceLength(double points) const;
    // Open polylines are reduced to at most four points (the first, the lowest, the highest and
    // the last) for each run of consecutive points in a column of this width (device units): the
    // width of what the device shows as one pixel. Zero or less draws every point.
    void setColumnWidth(double deviceUnits) { m_columnWidth = deviceUnits; }
    double columnWidth() const { return m_columnWidth; }

protected:
    virtual void fillDevicePolygon(const QPolygonF& device, const QColor& colour) = 0;
    virtual void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                                      bool closed) = 0;
    virtual void drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                                Qt::Alignment alignment) = 0;
    virtual void pushDeviceClip(const QRectF& device) = 0;
    virtual void popDeviceClip() = 0;

private:
    // The points of one column kept so far, by their place in the run.
    struct ColumnRun {
        double column = 0.0;
        int count = 0;
        QPointF first, lowest, highest, last;
        int lowestAt = 0;
        int highestAt = 0;
    };

    void addDevicePoint(const QPointF& device);
    void closeColumnRun();
    void flushReduced(bool keepJoint);
    QPointF toDevice(const QPointF& inches) const;
    QPolygonF toDevice(const QPolygonF& inches) const;
    QColor ink(const QColor& colour) const;

    QRectF m_area;
    double m_scaleX;
    double m_scaleY;
    bool m_monochrome;
    int m_decimals = -1;
    double m_columnWidth = 1.0;
    ColumnRun m_run;
    QPolygonF m_reduced;
    QColor m_polylineInk;
    double m_polylineWidth = 0.0;
};

} // namespace qelmar::standin
