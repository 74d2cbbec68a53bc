#pragma once

// Internal to the stand-in kernel: a canvas over a QPainter, for raster images and the screen.

#include "exportengine/Canvas.h"

class QPainter;

namespace qelmar::standin {

class PainterCanvas : public Canvas {
public:
    // The painter stays the caller's; its render hints are left as they are.
    PainterCanvas(QPainter& painter, const QRectF& area, const QSizeF& deviceSize, bool monochrome);

protected:
    void fillDevicePolygon(const QPolygonF& device, const QColor& colour) override;
    void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                              bool closed) override;
    void drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                        Qt::Alignment alignment) override;
    void pushDeviceClip(const QRectF& device) override;
    void popDeviceClip() override;

private:
    static constexpr qsizetype segmentsPerPiece = 16;

    void strokeInPieces(const QPolygonF& device, const QColor& colour, double width);

    QPainter& m_painter;
};

} // namespace qelmar::standin
