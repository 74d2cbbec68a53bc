#include "exportengine/CairoCanvas.h"

#include <cairo.h>

#include <cmath>

namespace qelmar::standin {

namespace {

// What one pixel is in the context's user units. An image surface's pixel is its device unit;
// a vector surface's device unit is the point, and its pixel is a dot at the resolution the
// file is meant for, which the surface keeps as its fallback resolution.
double pixelWidthIn(cairo_t* context) {
    cairo_surface_t* surface = cairo_get_target(context);
    double pixel = 1.0;
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        double dotsPerInch = 0.0;
        double unused = 0.0;
        cairo_surface_get_fallback_resolution(surface, &dotsPerInch, &unused);
        if (dotsPerInch > 0)
            pixel = 72.0 / dotsPerInch;
    }
    double dx = 1.0;
    double dy = 0.0;
    cairo_user_to_device_distance(context, &dx, &dy);
    const double scale = std::hypot(dx, dy);
    return scale > 0 ? pixel / scale : pixel;
}

} // namespace

CairoCanvas::CairoCanvas(cairo_t* context, const QRectF& area, const QSizeF& deviceSize, bool monochrome)
    : Canvas(area, deviceSize, monochrome)
    , m_context(context) {
    setColumnWidth(pixelWidthIn(context));
}

void CairoCanvas::setColour(const QColor& colour) {
    cairo_set_source_rgba(m_context, colour.redF(), colour.greenF(), colour.blueF(), colour.alphaF());
}

void CairoCanvas::tracePath(const QPolygonF& device, bool closed) {
    cairo_new_path(m_context);
    for (const QPointF& point : device)
        cairo_line_to(m_context, point.x(), point.y());
    if (closed)
        cairo_close_path(m_context);
}

void CairoCanvas::fillDevicePolygon(const QPolygonF& device, const QColor& colour) {
    if (device.size() < 3)
        return;
    setColour(colour);
    tracePath(device, true);
    cairo_fill(m_context);
}

void CairoCanvas::strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                                       bool closed) {
    if (device.size() < 2)
        return;
    setColour(colour);
    cairo_set_line_width(m_context, width);
    cairo_set_line_join(m_context, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(m_context, CAIRO_LINE_CAP_BUTT);
    tracePath(device, closed);
    cairo_stroke(m_context);
}

void CairoCanvas::drawDeviceText(const QPointF& anchor, const QString& text, double size,
                                 const QColor& colour, Qt::Alignment alignment) {
    if (!text.isEmpty())
        m_texts.append(text);
    const QByteArray utf8 = text.toUtf8();
    cairo_select_font_face(m_context, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(m_context, size);
    cairo_text_extents_t textExtents;
    cairo_text_extents(m_context, utf8.constData(), &textExtents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(m_context, &fontExtents);

    double x = anchor.x();
    if (alignment & Qt::AlignHCenter)
        x -= textExtents.x_advance / 2;
    else if (alignment & Qt::AlignRight)
        x -= textExtents.x_advance;
    double y = anchor.y() + fontExtents.ascent; // the baseline below a top anchor
    if (alignment & Qt::AlignVCenter)
        y = anchor.y() + (fontExtents.ascent - fontExtents.descent) / 2;
    else if (alignment & Qt::AlignBottom)
        y = anchor.y() - fontExtents.descent;

    setColour(colour);
    cairo_move_to(m_context, x, y);
    cairo_show_text(m_context, utf8.constData());
    cairo_new_path(m_context);
}

void CairoCanvas::pushDeviceClip(const QRectF& device) {
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_rectangle(m_context, device.x(), device.y(), device.width(), device.height());
    cairo_clip(m_context);
}

void CairoCanvas::popDeviceClip() {
    cairo_restore(m_context);
}

} // namespace qelmar::standin
