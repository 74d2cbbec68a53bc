#pragma once

// Internal to the stand-in kernel: a canvas that records what is drawn as a placeable Windows
// Metafile. All numbers are little-endian; sizes count 16-bit words.
//
//     placeable header  22 bytes  key 0x9AC6CDD7, handle 0, bounding box (left, top, right,
//                                 bottom), logical units per inch, reserved 0, checksum (the
//                                 exclusive-or of the ten words before it)
//     metafile header   18 bytes  type 1, header words 9, version 0x0300, file words (without
//                                 the placeable header), most objects alive at once, largest
//                                 record's words, 0
//     records           size (uint32 words, the 6-byte record head included), function
//                       (uint16), parameters
//
// The records written, by function number:
//
//     0x0103 SetMapMode          anisotropic, so that readers scale the window to their view
//     0x020B SetWindowOrg        0, 0
//     0x020C SetWindowExt        the bounding box's extent
//     0x0102 SetBkMode           transparent: text leaves what lies beneath it visible
//     0x02FA CreatePenIndirect   solid with flat ends and round joins, or null
//     0x02FC CreateBrushIndirect solid or null
//     0x02FB CreateFontIndirect  a proportional sans serif face, the height in logical units
//     0x012D SelectObject, 0x01F0 DeleteObject
//     0x0209 SetTextColor, 0x012E SetTextAlign
//     0x0325 Polyline, 0x0324 Polygon, 0x041B Rectangle (outlines of axis-parallel rectangles)
//     0x0A32 ExtTextOut          without options and without character widths
//     0x001E SaveDC, 0x0416 IntersectClipRect, 0x0127 RestoreDC (-1)
//     0x0000 EOF
//
// Coordinates are 16-bit, so the logical unit is chosen to fit the drawn area (1440 to the
// inch when it fits) and a polyline longer than one record may hold is split into pieces that
// share their end points. Objects are created when first needed and kept, so that a RestoreDC
// never selects an object that is gone; only a table grown past a few dozen objects deletes the
// longest unused ones. Text is written in the Latin-1 code page; other characters become '?'.

#include "exportengine/Canvas.h"

#include <QByteArray>

#include <memory>

namespace qelmar::standin {

class WmfCanvas : public Canvas {
public:
    // The most points one Polyline or Polygon record holds.
    static constexpr int largestPointCount = 16000;

    // `area` (inches) becomes the bounding box at `unitsPerInch` logical units to the inch.
    WmfCanvas(const QRectF& area, int unitsPerInch, bool monochrome);
    ~WmfCanvas() override;

    // The most logical units per inch, at most 1440, at which the rectangle fits the 16-bit
    // coordinates.
    static int unitsPerInchFor(const QRectF& inches);

    // The whole file for what was drawn so far; the canvas is finished afterwards.
    QByteArray takeMetafile();

protected:
    void fillDevicePolygon(const QPolygonF& device, const QColor& colour) override;
    void strokeDevicePolyline(const QPolygonF& device, const QColor& colour, double width,
                              bool closed) override;
    void drawDeviceText(const QPointF& anchor, const QString& text, double size, const QColor& colour,
                        Qt::Alignment alignment) override;
    void pushDeviceClip(const QRectF& device) override;
    void popDeviceClip() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::standin
