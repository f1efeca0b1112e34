#include "DrawingBudget.h"

#include "CanvasGeometry.h"

#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

// What each kind of work costs, in units, rounded up from what bench_metafile --heavy measured
// on the project's machine (nanoseconds, release build).
constexpr qint64 kElementUnits = 20;         // a path element
constexpr qint64 kFillPixelUnits = 3;        // a pixel of the box of a solid fill
constexpr qint64 kPatternPixelUnits = 4;     // the same, filled with a hatch or a bitmap
constexpr qint64 kWideStrokePixelUnits = 20; // a pixel of the box of a stroke wider than one
constexpr qint64 kLinePixelUnits = 80;       // a pixel along a one-pixel line
constexpr qint64 kPlainPixelUnits = 3;       // a pixel painted with a colour or a gradient
constexpr qint64 kDrawnPixelUnits = 12;      // a pixel of an image or of a text's glyphs
constexpr qint64 kLayeredPixelUnits = 20;    // a pixel covered and combined with the page
constexpr qint64 kShadedPixelUnits = 40;     // a pixel of a triangle shaded one by one
constexpr qint64 kBitmapPixelUnits = 4;      // a bitmap's pixel decoded and converted
constexpr qint64 kCharacterUnits = 2000;     // a character laid out

// Length of the part of a segment inside a rectangle (Liang and Barsky's clipping).
double clippedLength(QPointF a, QPointF b, const QRectF& r) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return 0;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return 0;
    }
    return (t1 - t0) * std::hypot(dx, dy);
}

} // namespace

DrawingBudget::DrawingBudget(QRect canvas, qint64 limit) : m_canvas(canvas), m_limit(limit) {}

bool DrawingBudget::add(qint64 units) {
    m_used += std::max<qint64>(units, 0);
    return !spent();
}

qint64 DrawingBudget::pixelsOf(const QRectF& outputRect) const {
    if (m_canvas.isNull())
        return 0;
    const QRect r = CanvasGeometry::toPixelRect(outputRect).intersected(m_canvas);
    return r.isValid() ? qint64(r.width()) * r.height() : 0;
}

bool DrawingBudget::elements(qint64 count) {
    return add(count * kElementUnits);
}

bool DrawingBudget::fill(const QRectF& outputBox, bool patterned) {
    return add(pixelsOf(outputBox) * (patterned ? kPatternPixelUnits : kFillPixelUnits));
}

bool DrawingBudget::stroke(const QPainterPath& path, const QTransform& toOutput,
                           const QRectF& outputBox, bool onePixel) {
    if (!onePixel || m_canvas.isNull())
        return add(pixelsOf(outputBox) * kWideStrokePixelUnits);
    const QRectF canvas = QRectF(m_canvas).adjusted(-1, -1, 1, 1);
    double length = 0;
    QPointF previous;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QPointF point = toOutput.map(QPointF(element.x, element.y));
        if (!element.isMoveTo())
            length += clippedLength(previous, point, canvas);
        previous = point;
    }
    return add(qint64(std::ceil(std::min(length, 1e15))) * kLinePixelUnits);
}

bool DrawingBudget::area(const QRectF& outputRect, Pixels kind) {
    const qint64 weight = kind == Pixels::Layered  ? kLayeredPixelUnits
                          : kind == Pixels::Shaded ? kShadedPixelUnits
                          : kind == Pixels::Drawn  ? kDrawnPixelUnits
                                                   : kPlainPixelUnits;
    return add(kElementUnits + pixelsOf(outputRect) * weight);
}

bool DrawingBudget::bitmap(qint64 pixels) {
    return add(pixels * kBitmapPixelUnits);
}

bool DrawingBudget::characters(qint64 count) {
    return add(count * kCharacterUnits);
}
