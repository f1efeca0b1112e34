// The canvas's saved states, clip and regions.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"

#include <QPainter>
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

// --- state ---------------------------------------------------------------------------------

void GdiCanvas::saveState() {
    if (int(m_saved.size()) >= MetafileLimits::kDeepestSavedState) {
        m_limitReached = true;
        return;
    }
    m_saved.push_back({m_dc});
}

void GdiCanvas::restoreState(int which) {
    const int depth = int(m_saved.size());
    int keep; // states left on the stack after the restore
    if (which < 0) {
        if (-qint64(which) > depth)
            return; // restoring beyond what was saved is ignored
        keep = depth + which;
    } else if (which > 0) {
        if (which > depth)
            return;
        keep = which - 1;
    } else {
        return;
    }
    const bool clipChanged =
        m_saved[keep].dc.hasClip != m_dc.hasClip || m_saved[keep].dc.clip != m_dc.clip;
    m_dc = m_saved[keep].dc;
    m_saved.resize(keep);
    if (clipChanged)
        m_clipDirty = true;
}

// --- clipping -------------------------------------------------------------------------------

void GdiCanvas::applyClip() {
    if (!m_clipDirty || !m_painter)
        return;
    m_painter->resetTransform();
    if (m_dc.hasClip)
        m_painter->setClipRegion(m_dc.clip);
    else
        m_painter->setClipping(false);
    m_clipDirty = false;
}

void GdiCanvas::setClip(const QRegion& region) {
    if (++m_clipChanges > MetafileLimits::kMostClipChanges ||
        region.rectCount() > MetafileLimits::kMostClipRectangles) {
        m_limitReached = true;
        return;
    }
    m_dc.hasClip = true;
    m_dc.clip = region;
    m_clipDirty = true;
}

QRegion GdiCanvas::currentClipOrCanvas() const {
    return m_dc.hasClip ? m_dc.clip : QRegion(canvasRect());
}

QRegion GdiCanvas::outputRegion(const GdiRegion& region, const QTransform& transform) const {
    QList<QRect> rects;
    rects.reserve(region.rectangles.size());
    const QRect canvas = canvasRect();
    QRegion polygons;
    for (const QRect& r : region.rectangles) {
        // Region rectangles exclude their right and bottom edges.
        const QRectF logical(QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.bottom() + 1));
        if (axisAligned(transform)) {
            const QRect pixels = toPixelRect(transform.mapRect(logical)).intersected(canvas);
            if (!pixels.isEmpty())
                rects.append(pixels);
        } else {
            polygons += QRegion(toPixelPolygon(transform.map(QPolygonF(logical))));
        }
        if (rects.size() > MetafileLimits::kMostClipRectangles)
            break;
    }
    return (uniteAll(rects, 0, rects.size()) + polygons) & canvas;
}

void GdiCanvas::combineClip(const QRegion& region, int mode) {
    switch (mode) {
    case ClipAnd:
        setClip(currentClipOrCanvas() & region);
        break;
    case ClipOr:
        setClip(currentClipOrCanvas() | region);
        break;
    case ClipXor:
        setClip(currentClipOrCanvas() ^ region);
        break;
    case ClipDiff:
        setClip(currentClipOrCanvas() - region);
        break;
    case ClipCopy:
        setClip(region);
        break;
    default:
        break;
    }
}

void GdiCanvas::intersectClipRect(const QRectF& box) {
    combineClip(outputRegion(logicalRectRegion(box), logicalToOutput()), ClipAnd);
}

void GdiCanvas::excludeClipRect(const QRectF& box) {
    combineClip(outputRegion(logicalRectRegion(box), logicalToOutput()), ClipDiff);
}

void GdiCanvas::offsetClip(QPointF logicalOffset) {
    if (!m_dc.hasClip)
        return;
    const QTransform t = logicalToOutput();
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    setClip(m_dc.clip.translated(int(std::lround(clampCoordinate(d.x()))),
                                 int(std::lround(clampCoordinate(d.y())))) &
            canvasRect());
}

void GdiCanvas::combineDeviceClip(const GdiRegion* region, int mode) {
    if (!region) {
        if (mode == ClipCopy) {
            m_dc.hasClip = false;
            m_dc.clip = QRegion();
            m_clipDirty = true;
        }
        return;
    }
    combineClip(outputRegion(*region, m_deviceToOutput), mode);
}

void GdiCanvas::selectLogicalClip(const GdiRegion* region) {
    if (!region) {
        m_dc.hasClip = false;
        m_dc.clip = QRegion();
        m_clipDirty = true;
        return;
    }
    combineClip(outputRegion(*region, logicalToOutput()), ClipCopy);
}

// --- regions --------------------------------------------------------------------------------

void GdiCanvas::fillRegion(const GdiRegion& region, const GdiBrush& brush) {
    QPainterPath path;
    for (const QRect& r : region.rectangles)
        path.addRect(QRectF(QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.bottom() + 1)));
    path.setFillRule(Qt::WindingFill);
    if (path.isEmpty() || limitReached())
        return;
    const int savedFill = m_dc.fillMode;
    m_dc.fillMode = DeviceContext::Winding;
    paintOutput(path, logicalToOutput(), true, false, brush);
    m_dc.fillMode = savedFill;
}

void GdiCanvas::frameRegion(const GdiRegion& region, const GdiBrush& brush, QSizeF thickness) {
    if (limitReached())
        return;
    const QTransform t = logicalToOutput();
    if (measuring()) {
        fillRegion(region, brush);
        return;
    }
    const QRegion whole = outputRegion(region, t);
    const int w =
        std::max(1, int(std::lround(clampCoordinate(std::abs(thickness.width() * t.m11())))));
    const int h =
        std::max(1, int(std::lround(clampCoordinate(std::abs(thickness.height() * t.m22())))));
    const QRegion inner = whole & whole.translated(w, 0) & whole.translated(-w, 0) &
                          whole.translated(0, h) & whole.translated(0, -h);
    const QRegion frame = whole - inner;
    if (frame.isEmpty() || !m_budget.area(frame.boundingRect(), DrawingBudget::Pixels::Plain))
        return;
    noteDrawn(frame.boundingRect());
    applyClip();
    m_painter->resetTransform();
    QPainterPath path;
    path.addRegion(frame);
    m_painter->fillPath(path, makeBrush(brush, QTransform()));
}

void GdiCanvas::invertRegion(const GdiRegion& region) {
    if (limitReached())
        return;
    const QRegion area = measuring() ? QRegion() : outputRegion(region, logicalToOutput());
    QPainterPath path;
    for (const QRect& r : region.rectangles)
        path.addRect(QRectF(QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.bottom() + 1)));
    const QRectF bounds = logicalToOutput().mapRect(path.boundingRect());
    if (!m_budget.area(bounds, DrawingBudget::Pixels::Layered))
        return;
    noteDrawn(bounds);
    if (measuring() || area.isEmpty())
        return;
    QRegion clipped = m_dc.hasClip ? (area & m_dc.clip) : area;
    const QRect box = clipped.boundingRect();
    auto cover = [&](QPainter& lp) {
        lp.setClipRegion(clipped, Qt::ReplaceClip);
        lp.fillRect(box, Qt::black);
    };
    ropLayer(box, cover, nullptr, nullptr, 0x55 /* DSTINVERT */);
}
