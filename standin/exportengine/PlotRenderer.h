#pragma once

// The stand-in kernel's plot renderer: one drawing routine for the screen view and every export.
// Page coordinates are inches from the top left corner of the page's paper.

#include "exportengine/ExportGeometry.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace qelmar::standin {

class Canvas;

// The part of the page the screen view shows: the paper with the desk margin around it.
QRectF pageArea(int pageIndex);
// Draws the page's area with its frames at the scale, the area's top left corner at the
// painter's origin; the current frame gets a coloured outline when asked.
void paintPage(QPainter& painter, int pageIndex, double pixelsPerInch, bool markCurrentFrame);
// The id of the frame under the point, the top of the stack first; -1 when there is none.
int frameAt(int pageIndex, QPointF pointInInches);

// Where a line frame placed at `frame` (inches) draws its curves: the frame less the room for its
// title and axis labels.
QRectF plotRectOf(const QRectF& frame);
// What lies under the frames' contents: the desk around the paper, the paper and each frame's
// background. Transparent leaves them undrawn, so that only the outlines, the plot areas and what
// is drawn on them cover the canvas.
enum class Backdrop { Opaque, Transparent };

// Draws an export region on any canvas whose area is the region's rectangle, each data set at the
// application's current time step.
void drawExportArea(Canvas& canvas, const ExportArea& area, Backdrop backdrop = Backdrop::Opaque);
// The region drawn into a new image of exactly the size, antialiased: on white, or on pixels of
// alpha 0 with a transparent backdrop.
QImage renderExportImage(const ExportArea& area, const QSize& size, bool monochrome,
                         Backdrop backdrop = Backdrop::Opaque);
// The titles of the frames the region shows, the bottom of the stack first.
QStringList frameTitlesOf(const ExportArea& area);

} // namespace qelmar::standin
