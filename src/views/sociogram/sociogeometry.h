#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QPolygonF>
#include <QRect>

// The geometry of the sociogram, apart from any widget: figure outlines, arrowheads, the first
// layout's grid cells and the rubber band's hit rule.

// Figures a node can draw, in their stored order.
enum TComponentStyle : int {
    csNone = 0,
    csRectangle,
    csEllipse,
    csTriangle,
    csPentagon,
    csStar5,
    csStar7,
    csHexagon,
};

// Where the node's figure may be drawn: the node's rectangle and the caption strip above the figure.
struct TFigureFrame {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    int CaptionBottom = 0;    // c: the figure starts here
    int CaptionBoxHeight = 0; // caption text height + 2 - line width
};

// The crossing of the line through a1, a2 with the line through b1, b2, from slopes and intercepts
// and rounded to whole pixels: a vertical line takes the slope 9999, and lines of equal slope
// give x = 9999.
QPoint LineCrossing(QPoint a1, QPoint a2, QPoint b1, QPoint b2);

// The outline of a polygon figure (triangle, pentagon, hexagon and the two stars), in drawing order
// starting at the top; empty for the rectangle, the oval and no figure.
std::vector<QPoint> FigurePoints(TComponentStyle style, const TFigureFrame& frame);

// The arrowhead where the arrow from the centre s enters the target rectangle around t.
struct TArrowHead {
    QPoint Entry;
    std::array<QPoint, 4> Ends; // four 13-pixel strokes from Entry; two point back along the arrow
};
// None when s equals t.
std::optional<TArrowHead> ArrowHeadAt(QPoint s, QPoint t, const QRect& target);

// The outline a node shows: its figure and the caption strip above it (captionBox), as closed
// polygons; an oval is approximated closely enough for arrows to end on it.
std::vector<QPolygonF> NodeOutline(TComponentStyle style, const TFigureFrame& frame, const QRect& captionBox);

// The first point where the segment from s to t meets the outline, seen from s; none when the
// segment meets no edge of it.
std::optional<QPointF> OutlineEntry(QPointF s, QPointF t, const std::vector<QPolygonF>& outline);

// A filled arrowhead: its tip at tip, its back toward from, 12 pixels long and 9 wide.
std::array<QPointF, 3> ArrowHeadPoints(QPointF from, QPointF tip);

// Cell (column, row) of the n-th node (from 0) of the first layout: square shells around the top-left
// corner, down column k from row 0 to row k, then left along row k.
QPoint ShellCell(int n);

// Whether the rubber band hits a node: the node lies wholly inside the band (edges may touch), or an
// edge of the node crosses or touches a perpendicular edge of the band. Both rectangles as
// (left, top, right, bottom), in any corner order.
bool BandHits(const QRect& node, const QRect& band);
