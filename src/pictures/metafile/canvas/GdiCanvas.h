#pragma once

#include "ClipRegion.h"
#include "DeviceContext.h"
#include "DrawingBudget.h"
#include "PathBuilder.h"
#include "PictureLimits.h"
#include "TextDrawer.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>
#include <memory>
#include <vector>

class QBrush;
class QPainter;
class QPen;

// The drawing surface both players share: it keeps the device context (and its saved copies),
// turns the GDI drawing operations into QPainter calls on an ARGB image, and applies the pen,
// brush, font, colours, modes, raster operations and clip of the context. All coordinates given
// to it are logical units; it maps them through the world transform, the page mapping and the
// device-to-output placement.
//
// Without an image it measures instead of painting: bounds() gathers the output rectangle of
// everything that would have been drawn, which gives a plain WMF its size.
class GdiCanvas {
public:
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    using TextRun = ::TextRun;
    // target: the image drawn on (ARGB32 premultiplied), or nullptr to measure; workLimit: the
    // drawing work it may do (DrawingBudget's units).
    explicit GdiCanvas(QImage* target, qint64 workLimit = MetafileLimits::kDrawingWork);
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    DeviceContext& dc() { return m_dc; }
    const DeviceContext& dc() const { return m_dc; }
    void setDeviceToOutput(const QTransform& transform) { m_deviceToOutput = transform; }
    QTransform logicalToOutput() const;

    void saveState();
    // which < 0: that many states back; which > 0: the saved state of that number (WMF).
    void restoreState(int which);

    // True once a limit was reached or the drawing work spent; the player must stop.
    bool limitReached() const {
        return m_limitReached || m_budget.spent() || m_clip.limitReached() || m_path.limitReached();
    }
    void reachLimit() { m_limitReached = true; }
    // The drawing work done so far (DrawingBudget's units).
    qint64 workUsed() const { return m_budget.used(); }
    // Operations that could have put ink on the page so far.
    qint64 drawingCount() const { return m_drawingCount; }
    QRectF bounds() const { return m_bounds; }

    void moveTo(QPointF point);
    void lineTo(QPointF point);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const QList<QPolygonF>& polygons);
    void polyPolyline(const QList<QPolygonF>& lines);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    // types per point: 2 line, 4 Bézier, 6 move; bit 1 closes the figure.
    void polyDraw(const QPolygonF& points, const QByteArray& types);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind);
    void angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF point, const QColor& color);

    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(int mode);

    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void offsetClip(QPointF logicalOffset);
    // A region in device units combined into the clip (a ClipRegion::Mode); nullptr with Copy
    // removes the clip.
    void combineDeviceClip(const GdiRegion* region, int mode);
    // A region in logical units made the clip (WMF SELECTCLIPREGION); nullptr removes it.
    void selectLogicalClip(const GdiRegion* region);

    void fillRegion(const GdiRegion& region, const GdiBrush& brush);
    void frameRegion(const GdiRegion& region, const GdiBrush& brush, QSizeF thickness);
    void invertRegion(const GdiRegion& region);

    void text(const TextRun& run);

    // Copies a bitmap (top row first) from sourceRect onto the logical rectangle dest (negative
    // sizes mirror) with a ternary raster operation; a null image uses only the brush.
    void bitBlt(const QRectF& dest, const QImage& image, const QRectF& sourceRect, quint32 rop);
    // Blends a bitmap with a constant opacity, and with its own alpha when perPixelAlpha.
    void alphaBlend(const QRectF& dest, const QImage& image, const QRectF& sourceRect,
                    int constantAlpha, bool perPixelAlpha);
    void transparentBlt(const QRectF& dest, const QImage& image, const QRectF& sourceRect,
                        QRgb transparent);
    struct GradientVertex {
        QPointF point;
        QColor color;
    };
    // mode 0: rectangles shaded left to right, 1: top to bottom, 2: triangles.
    void gradientFill(const QList<GradientVertex>& vertices, const QList<QList<quint32>>& meshes,
                      int mode);

private:
    struct SavedState {
        DeviceContext dc;
    };

    bool measuring() const { return m_image == nullptr; }
    QRect canvasRect() const;
    void noteDrawn(const QRectF& outputRect);
    // Add the work of painting a path, or a blit, to the budget; false when that goes beyond it.
    // pen: the pen a stroke is drawn with, or nullptr when there is none.
    bool affordPainting(const QPainterPath& path, const QTransform& transform, bool fills,
                        const QPen* pen, bool dashed, const GdiBrush& brush,
                        const QRectF& outputBounds);
    bool affordBlit(const QRectF& outputRect, const QImage& image, quint8 rop);

    // A bitmap's part placed on the output; image is nullptr when the operation uses none.
    struct BlitSource {
        const QImage* image = nullptr;
        QRectF rect;          // image pixels
        QTransform placement; // image pixels to output
        bool smooth = false;
    };
    // Draws the source (adding its placement to the painter's transform).
    void drawSource(QPainter& painter, const BlitSource& source) const;
    void fillBlit(const QRectF& dest, quint8 rop, const QTransform& logicalToOutput);
    void blitThroughRop(const QRectF& dest, const QTransform& logicalToOutput,
                        const QRectF& outputRect, const BlitSource& source, quint8 rop);

    // Paints a logical path with the selected pen and brush (or adds it to an open path).
    void paintPath(const QPainterPath& path, bool fill, bool stroke);
    void paintOutput(const QPainterPath& path, const QTransform& transform, bool fill, bool stroke,
                     const GdiBrush& brush);
    // Paint with the painter (ROP2 COPYPEN): geometry beyond kFarCoordinate, cut to the canvas
    // first, and the rest. brush, pen: nullptr when the shape is not filled, not stroked.
    void paintFar(const QPainterPath& path, const QTransform& transform, const GdiBrush* brush,
                  const QPen* pen, double penExtent);
    void paintNear(const QPainterPath& path, const QTransform& transform, const GdiBrush* brush,
                   const QPen* pen, bool dashed);
    void paintWithRop2(const QPainterPath& path, const QTransform& transform, bool fill,
                       bool stroke, const GdiBrush& brush);
    bool hasVisiblePen() const;
    QPen makePen(const QTransform& transform, bool* dashed) const;
    QBrush makeBrush(const GdiBrush& brush, const QTransform& transform) const;
    bool brushNeedsBackground(const GdiBrush& brush) const;
    // Adds a logical part to the open path.
    void appendToOpenPath(const QPainterPath& logicalPath, bool continueFigure);
    // A line drawn on from the current position: joined to the open path's figure, or stroked.
    void continueFigure(const QPainterPath& path);
    // A shape's box, shrunk by half the pen for an inside-frame pen.
    QRectF insideFrame(const QRectF& box) const;
    QPainterPath arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind,
                         QPointF* arcStart, QPointF* arcEnd) const;
    QPainterPath beziers(QPointF from, const QPolygonF& controls) const;
    void paintOpenPath(bool fill, bool stroke);

    void applyClip();
    void paintOpaqueBox(const TextRun& run, const QTransform& logicalToOutput);
    void drawGlyphs(const TextRun& run, bool clipToRect, const TextDrawer::Placement& placement);

    // One mesh of a gradient fill; false when the drawing budget is spent.
    bool shadeTriangle(const QList<GradientVertex>& vertices, const QList<quint32>& mesh,
                       const QTransform& logicalToOutput);
    bool shadeRectangle(const QList<GradientVertex>& vertices, const QList<quint32>& mesh,
                        bool horizontal, const QTransform& logicalToOutput);

    // Temporarily ends painting on the image so its pixels can be changed directly.
    void suspendPainter();
    void resumePainter();
    void ropLayer(const QRect& area, const std::function<void(QPainter&)>& drawCoverage,
                  const std::function<void(QPainter&)>& drawPattern,
                  const std::function<void(QPainter&)>& drawSource, quint8 rop);

    QImage* m_image;
    std::unique_ptr<QPainter> m_painter;
    DeviceContext m_dc;
    std::vector<SavedState> m_saved;
    QTransform m_deviceToOutput;
    TextDrawer m_text;
    ClipRegion m_clip;
    PathBuilder m_path;

    bool m_limitReached = false;
    DrawingBudget m_budget;
    qint64 m_drawingCount = 0;
    QRectF m_bounds;
    bool m_measureInk = true;
};
