#include "ClipRegion.h"

#include "CanvasGeometry.h"
#include "PictureLimits.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace CanvasGeometry;

namespace {

// Builds a region from many rectangles by merging halves, which stays fast for long lists.
QRegion uniteAll(const QList<QRect>& rects, qsizetype from, qsizetype to) {
    if (to - from == 1)
        return QRegion(rects[from]);
    if (to <= from)
        return {};
    const qsizetype mid = from + (to - from) / 2;
    return uniteAll(rects, from, mid).united(uniteAll(rects, mid, to));
}

} // namespace

void ClipRegion::apply(QPainter& painter) {
    if (!m_painterStale)
        return;
    painter.resetTransform();
    if (m_dc.hasClip)
        painter.setClipRegion(m_dc.clip);
    else
        painter.setClipping(false);
    m_painterStale = false;
}

void ClipRegion::set(const QRegion& region) {
    if (++m_changes > MetafileLimits::kMostClipChanges ||
        region.rectCount() > MetafileLimits::kMostClipRectangles) {
        m_limitReached = true;
        return;
    }
    m_dc.hasClip = true;
    m_dc.clip = region;
    m_painterStale = true;
}

void ClipRegion::remove() {
    m_dc.hasClip = false;
    m_dc.clip = QRegion();
    m_painterStale = true;
}

QRegion ClipRegion::currentOrCanvas() const {
    return m_dc.hasClip ? m_dc.clip : QRegion(m_canvas);
}

QRegion ClipRegion::outputRegion(const GdiRegion& region, const QTransform& transform) const {
    QList<QRect> rects;
    rects.reserve(region.rectangles.size());
    QRegion polygons;
    for (const QRect& r : region.rectangles) {
        // Region rectangles exclude their right and bottom edges.
        const QRectF logical(QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.bottom() + 1));
        if (axisAligned(transform)) {
            const QRect pixels = toPixelRect(transform.mapRect(logical)).intersected(m_canvas);
            if (!pixels.isEmpty())
                rects.append(pixels);
        } else {
            polygons += QRegion(toPixelPolygon(transform.map(QPolygonF(logical))));
        }
        if (rects.size() > MetafileLimits::kMostClipRectangles)
            break;
    }
    return (uniteAll(rects, 0, rects.size()) + polygons) & m_canvas;
}

void ClipRegion::combine(const QRegion& region, int mode) {
    switch (mode) {
    case And:
        set(currentOrCanvas() & region);
        break;
    case Or:
        set(currentOrCanvas() | region);
        break;
    case Xor:
        set(currentOrCanvas() ^ region);
        break;
    case Diff:
        set(currentOrCanvas() - region);
        break;
    case Copy:
        set(region);
        break;
    default:
        break;
    }
}

void ClipRegion::combinePath(const QPainterPath& path, bool alternate, int mode) {
    // Figure by figure (a linear walk).
    QRegion region;
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        const QRectF box = polygon.boundingRect();
        if (!box.intersects(QRectF(m_canvas)) && !isFar(box))
            continue;
        const QRegion figure = QRegion(toPixelPolygon(polygon), Qt::OddEvenFill) & m_canvas;
        region = alternate ? region.xored(figure) : region.united(figure);
        if (region.rectCount() > MetafileLimits::kMostClipRectangles) {
            m_limitReached = true;
            return;
        }
    }
    combine(region, mode);
}

void ClipRegion::offset(QPointF d) {
    if (!m_dc.hasClip)
        return;
    set(m_dc.clip.translated(int(std::lround(clampCoordinate(d.x()))),
                             int(std::lround(clampCoordinate(d.y())))) &
        m_canvas);
}
