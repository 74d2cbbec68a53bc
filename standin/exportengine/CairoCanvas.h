#pragma once

// Internal to the stand-in kernel: a canvas over a cairo context, for the PostScript, PDF and SVG
// surfaces.

#include "exportengine/Canvas.h"

#include <QStringList>

typedef struct _cairo cairo_t;

namespace qelmar::standin {

class CairoCanvas : public Canvas {
public:
    // The context stays the caller's; device units are the surface's (points for PostScript).
    CairoCanvas(cairo_t* context, const QRectF& area, const QSizeF& deviceSize, bool monochrome);

    // Every text drawn, in order: a surface that turns glyphs into outlines loses them otherwise.
    const QStringList& textsDrawn() const { return m_texts; }

protected:
    void fillDevicePolygon(const QPolygonF& device, const QColor& colour) override;
    void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                              bool closed) override;
    void drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                        Qt::Alignment alignment) override;
    void pushDeviceClip(const QRectF& device) override;
    void popDeviceClip() override;

private:
    void setColour(const QColor& colour);
    void tracePath(const QPolygonF& device, bool closed);

    cairo_t* m_context;
    QStringList m_texts;
};

} // namespace qelmar::standin
