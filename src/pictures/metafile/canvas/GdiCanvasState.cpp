// The canvas's saved states, clip and regions.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"

#include <QPainter>
#include <cmath>

using namespace CanvasGeometry;

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
        m_clip.invalidatePainter();
}

// --- clipping -------------------------------------------------------------------------------

void GdiCanvas::applyClip() {
    if (m_painter)
        m_clip.apply(*m_painter);
}

void GdiCanvas::intersectClipRect(const QRectF& box) {
    m_clip.combine(m_clip.outputRegion(logicalRectRegion(box), logicalToOutput()), ClipRegion::And);
}

void GdiCanvas::excludeClipRect(const QRectF& box) {
    m_clip.combine(m_clip.outputRegion(logicalRectRegion(box), logicalToOutput()),
                   ClipRegion::Diff);
}

void GdiCanvas::offsetClip(QPointF logicalOffset) {
    const QTransform t = logicalToOutput();
    m_clip.offset(t.map(logicalOffset) - t.map(QPointF(0, 0)));
}

void GdiCanvas::combineDeviceClip(const GdiRegion* region, int mode) {
    if (region)
        m_clip.combine(m_clip.outputRegion(*region, m_deviceToOutput), mode);
    else if (mode == ClipRegion::Copy)
        m_clip.remove();
}

void GdiCanvas::selectLogicalClip(const GdiRegion* region) {
    if (region)
        m_clip.combine(m_clip.outputRegion(*region, logicalToOutput()), ClipRegion::Copy);
    else
        m_clip.remove();
}

void GdiCanvas::selectClipPath(int mode) {
    if (const std::optional<QPainterPath> path = m_path.take())
        m_clip.combinePath(*path, m_dc.fillMode != DeviceContext::Winding, mode);
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
    const QRegion whole = m_clip.outputRegion(region, t);
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
    const QRegion area = measuring() ? QRegion() : m_clip.outputRegion(region, logicalToOutput());
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
