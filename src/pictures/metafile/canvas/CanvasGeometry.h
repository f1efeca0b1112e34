#pragma once

#include <QColor>
#include <QPolygon>
#include <QRect>
#include <QTransform>

struct GdiRegion;

// Geometry the canvas's parts share: output coordinates kept in the range Qt's rasteriser
// handles, logical rectangles turned into pixels, and the scale of a mapping.
namespace CanvasGeometry {

// Output coordinates beyond this are clipped by us before Qt sees them: Qt's rasteriser works in
// fixed point and loses precision (or wraps) far outside any picture.
inline constexpr double kFarCoordinate = 4.0e6;

// A coordinate brought into the range that is turned into integers (not-a-number gives 0).
double clampCoordinate(double v);
// The pixels a rectangle touches.
QRect toPixelRect(const QRectF& r);
QPolygon toPixelPolygon(const QPolygonF& polygon);
// True when a rectangle reaches beyond kFarCoordinate or is not finite.
bool isFar(const QRectF& r);
// The mean scale of a mapping (the square root of its area factor).
double transformScale(const QTransform& t);
bool axisAligned(const QTransform& t);
// A logical rectangle (right and bottom edges excluded) as a one-rectangle region.
GdiRegion logicalRectRegion(const QRectF& box);
QColor opaque(const QColor& c);

} // namespace CanvasGeometry
