#pragma once

#include "DeviceContext.h"

#include <QRect>
#include <QRegion>
#include <QTransform>

class QPainter;
class QPainterPath;

// The clip of a canvas. The region lives in the device context, in output pixels, so that saving
// and restoring the context saves and restores it; this keeps what goes with it: regions and
// paths turned into output pixels, combined in every mode, changes counted against the limits
// (MetafileLimits::kMostClipChanges, kMostClipRectangles), and the painter's clip kept up to
// date.
class ClipRegion {
public:
    enum Mode { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

    // dc: the context whose clip this keeps, for as long as this lives; canvas: the output area,
    // which no clip passes.
    ClipRegion(DeviceContext& dc, QRect canvas) : m_dc(dc), m_canvas(canvas) {}

    // A region's rectangles (right and bottom edges excluded) mapped to output pixels and cut
    // to the canvas.
    QRegion outputRegion(const GdiRegion& region, const QTransform& transform) const;
    // Combines a region of output pixels into the clip; an unknown mode leaves it as it is.
    void combine(const QRegion& region, int mode);
    // Combines the pixels inside a path's figures (output units): alternate filling toggles
    // where figures overlap, winding filling takes their union.
    void combinePath(const QPainterPath& path, bool alternate, int mode);
    void offset(QPointF outputOffset);
    void remove();

    // The painter's clip no longer matches: the painter is new, its clip was changed for one
    // drawing, or the context was restored with another clip.
    void invalidatePainter() { m_painterStale = true; }
    // Gives the painter the clip when it no longer has it (resetting its transform then).
    void apply(QPainter& painter);

    bool limitReached() const { return m_limitReached; }

private:
    void set(const QRegion& region);
    QRegion currentOrCanvas() const;

    DeviceContext& m_dc;
    QRect m_canvas;
    bool m_painterStale = true;
    qint64 m_changes = 0;
    bool m_limitReached = false;
};
