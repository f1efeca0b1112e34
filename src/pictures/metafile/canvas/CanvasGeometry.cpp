#include "CanvasGeometry.h"

#include "GdiObjects.h"

#include <algorithm>
#include <cmath>

namespace CanvasGeometry {
namespace {

// The biggest magnitude turned into an integer anywhere.
constexpr double kIntegerLimit = 1.0e9;

} // namespace

double clampCoordinate(double v) {
    if (!std::isfinite(v))
        return 0;
    return std::clamp(v, -kIntegerLimit, kIntegerLimit);
}

QRect toPixelRect(const QRectF& r) {
    const QRectF n = r.normalized();
    const double left = std::floor(clampCoordinate(n.left()));
    const double top = std::floor(clampCoordinate(n.top()));
    const double right = std::ceil(clampCoordinate(n.right()));
    const double bottom = std::ceil(clampCoordinate(n.bottom()));
    return QRect(QPoint(int(left), int(top)), QPoint(int(right) - 1, int(bottom) - 1));
}

QPolygon toPixelPolygon(const QPolygonF& polygon) {
    QPolygon result;
    result.reserve(polygon.size());
    for (const QPointF& p : polygon)
        result.append(QPoint(int(std::lround(clampCoordinate(p.x()))),
                             int(std::lround(clampCoordinate(p.y())))));
    return result;
}

bool isFar(const QRectF& r) {
    return std::abs(r.left()) > kFarCoordinate || std::abs(r.right()) > kFarCoordinate ||
           std::abs(r.top()) > kFarCoordinate || std::abs(r.bottom()) > kFarCoordinate ||
           !std::isfinite(r.left()) || !std::isfinite(r.right()) || !std::isfinite(r.top()) ||
           !std::isfinite(r.bottom());
}

double transformScale(const QTransform& t) {
    return std::sqrt(std::abs(t.determinant()));
}

bool axisAligned(const QTransform& t) {
    return t.m12() == 0 && t.m21() == 0 && t.type() <= QTransform::TxScale;
}

GdiRegion logicalRectRegion(const QRectF& box) {
    const QRectF n = box.normalized();
    GdiRegion region;
    region.rectangles.append(
        QRect(QPoint(int(clampCoordinate(n.left())), int(clampCoordinate(n.top()))),
              QPoint(int(clampCoordinate(n.right())) - 1, int(clampCoordinate(n.bottom())) - 1)));
    return region;
}

QColor opaque(const QColor& c) {
    QColor result = c;
    result.setAlpha(255);
    return result;
}

} // namespace CanvasGeometry
