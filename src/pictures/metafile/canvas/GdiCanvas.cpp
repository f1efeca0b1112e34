#include "GdiCanvas.h"

#include "CanvasGeometry.h"
#include "RasterOperation.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <cmath>

using namespace CanvasGeometry;

namespace {

// The most elements of a far figure that is still cut to the canvas.
constexpr int kLongestFarPath = 4096;

// A user dash pattern in units of `unit` logical units; empty when it has no dash.
QList<qreal> userDashes(const GdiPen& gp, double unit) {
    QList<qreal> pattern;
    bool any = false;
    for (double d : gp.dashes) {
        const double v = unit > 0 ? d / unit : d;
        pattern.append(std::isfinite(v) ? qBound(0.0, v, 1e4) : 1.0);
        any = any || v > 0;
    }
    if (!any)
        return {};
    if (pattern.size() % 2)
        pattern += pattern;
    return pattern;
}

Qt::BrushStyle hatchStyle(int hatch) {
    switch (hatch) {
    case GdiBrush::Horizontal:
        return Qt::HorPattern;
    case GdiBrush::Vertical:
        return Qt::VerPattern;
    case GdiBrush::ForwardDiagonal:
        return Qt::FDiagPattern;
    case GdiBrush::BackwardDiagonal:
        return Qt::BDiagPattern;
    case GdiBrush::Cross:
        return Qt::CrossPattern;
    case GdiBrush::DiagonalCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

// The dashes of a pen style in pen widths (cosmetic pens: in pixels); empty for a solid line.
QList<qreal> dashPattern(const GdiPen& gp, int style, bool cosmetic, double scale) {
    switch (style) {
    case GdiPen::Dash:
        return cosmetic ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
    case GdiPen::Dot:
        return cosmetic ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
    case GdiPen::DashDot:
        return cosmetic ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
    case GdiPen::DashDotDot:
        return cosmetic ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
    case GdiPen::Alternate:
        return {1, 1};
    case GdiPen::UserStyle:
        return userDashes(gp, cosmetic ? 1.0 / std::max(scale, 1e-9) : gp.width);
    default:
        return {};
    }
}

} // namespace

GdiCanvas::GdiCanvas(QImage* target, qint64 workLimit)
    : m_image(target), m_clip(m_dc, canvasRect()),
      m_budget(target ? target->rect() : QRect(), workLimit) {
    if (m_image)
        resumePainter();
}

GdiCanvas::~GdiCanvas() {
    if (m_painter)
        m_painter->end();
}

QTransform GdiCanvas::logicalToOutput() const {
    return m_dc.world() * m_dc.pageTransform() * m_deviceToOutput;
}

QRect GdiCanvas::canvasRect() const {
    // Measuring has no image; clips are then kept over a wide area around the origin.
    constexpr int kReach = 1 << 24;
    return m_image ? m_image->rect() : QRect(-kReach, -kReach, 2 * kReach, 2 * kReach);
}

void GdiCanvas::resumePainter() {
    m_painter = std::make_unique<QPainter>(m_image);
    m_painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    m_clip.invalidatePainter();
}

void GdiCanvas::suspendPainter() {
    if (m_painter)
        m_painter->end();
    m_painter.reset();
}

void GdiCanvas::noteDrawn(const QRectF& outputRect) {
    ++m_drawingCount;
    if (!measuring() || !m_measureInk)
        return;
    QRectF seen = outputRect.normalized();
    if (m_dc.hasClip)
        seen &= QRectF(m_dc.clip.boundingRect());
    if (seen.isValid() && !seen.isEmpty())
        m_bounds = m_bounds.isValid() ? m_bounds.united(seen) : seen;
}

// --- pens and brushes -----------------------------------------------------------------------

bool GdiCanvas::hasVisiblePen() const {
    return m_dc.pen.style != GdiPen::Null;
}

QPen GdiCanvas::makePen(const QTransform& transform, bool* dashed) const {
    const GdiPen& gp = m_dc.pen;
    const double scale = transformScale(transform);
    const double outputWidth = gp.width * scale;
    const bool cosmetic = gp.width <= 0 || outputWidth < 1.0 || !std::isfinite(outputWidth);
    QPen pen(opaque(gp.color));
    if (cosmetic) {
        pen.setWidthF(1.0);
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(std::min(gp.width, 1.0e9)); // Qt refuses widths beyond an int
    }
    // Old-style pens and cosmetic pens draw with round ends; only extended geometric pens
    // choose their caps and joins.
    if (gp.geometric) {
        pen.setCapStyle(gp.cap == GdiPen::CapFlat     ? Qt::FlatCap
                        : gp.cap == GdiPen::CapSquare ? Qt::SquareCap
                                                      : Qt::RoundCap);
        pen.setJoinStyle(gp.join == GdiPen::JoinMiter   ? Qt::MiterJoin
                         : gp.join == GdiPen::JoinBevel ? Qt::BevelJoin
                                                        : Qt::RoundJoin);
        pen.setMiterLimit(qBound(1.0, m_dc.miterLimit, 100.0));
    } else {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }

    int style = gp.style;
    // A wide old-style pen draws solid whatever dash style it names.
    if (!gp.geometric && !cosmetic && style >= GdiPen::Dash && style <= GdiPen::DashDotDot)
        style = GdiPen::Solid;
    const QList<qreal> pattern = dashPattern(gp, style, cosmetic, scale);
    *dashed = false;
    if (!pattern.isEmpty()) {
        pen.setDashPattern(pattern);
        *dashed = true;
    }
    return pen;
}

QBrush GdiCanvas::makeBrush(const GdiBrush& gb, const QTransform& transform) const {
    QBrush brush;
    switch (gb.style) {
    case GdiBrush::Solid:
        brush = QBrush(opaque(gb.color));
        break;
    case GdiBrush::Hatched:
        brush = QBrush(opaque(gb.color), hatchStyle(gb.hatch));
        break;
    case GdiBrush::Pattern:
    case GdiBrush::DibPattern: {
        if (gb.pattern.isNull()) {
            brush = QBrush(opaque(gb.color));
            break;
        }
        QImage tile = gb.pattern;
        if (gb.monochrome) {
            // One-bit patterns draw their dark bits in the text colour and light ones in the
            // background colour.
            tile = tile.convertToFormat(QImage::Format_ARGB32);
            const QRgb fg = opaque(m_dc.textColor).rgba();
            const QRgb bg = opaque(m_dc.backgroundColor).rgba();
            for (int y = 0; y < tile.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
                for (int x = 0; x < tile.width(); ++x)
                    line[x] = qGray(line[x]) < 128 ? fg : bg;
            }
        }
        brush = QBrush(tile);
        break;
    }
    default:
        return QBrush(Qt::NoBrush);
    }
    // Hatches and patterns are laid out in output pixels, as on a screen, whatever the mapping.
    if (gb.style != GdiBrush::Solid && transform.isInvertible())
        brush.setTransform(transform.inverted());
    return brush;
}

bool GdiCanvas::brushNeedsBackground(const GdiBrush& brush) const {
    return brush.style == GdiBrush::Hatched && m_dc.backgroundMode == DeviceContext::Opaque;
}

// --- painting -------------------------------------------------------------------------------

void GdiCanvas::paintPath(const QPainterPath& path, bool fill, bool stroke) {
    if (limitReached())
        return;
    if (m_path.isOpen()) {
        appendToOpenPath(path, false);
        return;
    }
    paintOutput(path, logicalToOutput(), fill, stroke, m_dc.brush);
}

void GdiCanvas::paintOutput(const QPainterPath& logicalPath, const QTransform& transform, bool fill,
                            bool stroke, const GdiBrush& gdiBrush) {
    const bool fills = fill && gdiBrush.style != GdiBrush::Null;
    const bool strokes = stroke && hasVisiblePen();
    if (!fills && !strokes)
        return;
    QPainterPath path = logicalPath;
    path.setFillRule(m_dc.fillMode == DeviceContext::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    const double penExtent =
        strokes ? std::max(1.0, m_dc.pen.width * transformScale(transform)) : 0;
    const QRectF shapeBounds = transform.mapRect(path.controlPointRect());
    const QRectF outputBounds = shapeBounds.adjusted(-penExtent, -penExtent, penExtent, penExtent);
    bool dashed = false;
    const QPen pen = strokes ? makePen(transform, &dashed) : QPen();
    if (!affordPainting(path, transform, fills, strokes ? &pen : nullptr, dashed, gdiBrush,
                        outputBounds))
        return;
    // The ink reaches half a pen beyond the shape.
    noteDrawn(shapeBounds.adjusted(-penExtent / 2, -penExtent / 2, penExtent / 2, penExtent / 2));
    if (measuring() || m_dc.rop2 == 11 /* NOP */)
        return;
    if (m_dc.rop2 != 13 /* COPYPEN */) {
        paintWithRop2(path, transform, fills, strokes, gdiBrush);
        return;
    }
    applyClip();
    if (isFar(outputBounds))
        paintFar(path, transform, fills ? &gdiBrush : nullptr, strokes ? &pen : nullptr, penExtent);
    else
        paintNear(path, transform, fills ? &gdiBrush : nullptr, strokes ? &pen : nullptr, dashed);
}

// Brings far geometry into range: cuts it to the canvas in output units. Cutting costs more
// than linear time, so long far figures (found only in broken files) are dropped.
void GdiCanvas::paintFar(const QPainterPath& path, const QTransform& transform,
                         const GdiBrush* brush, const QPen* pen, double penExtent) {
    if (path.elementCount() > kLongestFarPath)
        return;
    QPainterPath area;
    area.addRect(QRectF(canvasRect())
                     .adjusted(-penExtent * 2, -penExtent * 2, penExtent * 2, penExtent * 2));
    const QPainterPath mapped = transform.map(path);
    QPainter& p = *m_painter;
    p.resetTransform();
    if (brush) {
        const QPainterPath filled = mapped.intersected(area);
        if (brushNeedsBackground(*brush))
            p.fillPath(filled, opaque(m_dc.backgroundColor));
        p.fillPath(filled, makeBrush(*brush, QTransform()));
    }
    if (pen) {
        QPainterPathStroker stroker;
        stroker.setWidth(pen->isCosmetic() ? 1.0 : pen->widthF() * transformScale(transform));
        p.fillPath(stroker.createStroke(mapped).intersected(area), opaque(m_dc.pen.color));
    }
}

void GdiCanvas::paintNear(const QPainterPath& path, const QTransform& transform,
                          const GdiBrush* brush, const QPen* pen, bool dashed) {
    QPainter& p = *m_painter;
    p.setTransform(transform);
    if (brush) {
        if (brushNeedsBackground(*brush))
            p.fillPath(path, opaque(m_dc.backgroundColor));
        p.fillPath(path, makeBrush(*brush, transform));
    }
    if (!pen)
        return;
    // A thin line through whole coordinates lights the pixels after them in GDI; Qt would
    // split it over two half-lit rows. Move it onto the pixel centres.
    if (pen->isCosmetic() || pen->widthF() * transformScale(transform) < 1.5)
        p.setTransform(transform * QTransform::fromTranslate(0.5, 0.5));
    if (dashed && m_dc.backgroundMode == DeviceContext::Opaque) {
        // Gaps of a dashed line show the background colour on an opaque background.
        QPen gaps = *pen;
        gaps.setStyle(Qt::SolidLine);
        gaps.setColor(opaque(m_dc.backgroundColor));
        p.strokePath(path, gaps);
    }
    p.strokePath(path, *pen);
}

bool GdiCanvas::affordPainting(const QPainterPath& path, const QTransform& transform, bool fills,
                               const QPen* pen, bool dashed, const GdiBrush& brush,
                               const QRectF& outputBounds) {
    if (!m_budget.elements(path.elementCount()))
        return false;
    // Other raster operations than copying draw the shape into two layers as large as its box
    // and combine them with the page.
    const bool layered = m_dc.rop2 != 13 /* COPYPEN */ && m_dc.rop2 != 11 /* NOP */;
    if (layered && !m_budget.area(outputBounds, DrawingBudget::Pixels::Layered))
        return false;
    const int layers = layered ? 2 : 1;
    for (int layer = 0; layer < layers; ++layer) {
        const bool patterned = brush.style != GdiBrush::Solid;
        if (fills && ((brushNeedsBackground(brush) && !m_budget.fill(outputBounds, false)) ||
                      !m_budget.fill(outputBounds, patterned)))
            return false;
    }
    if (!pen)
        return true;
    const int passes = dashed && m_dc.backgroundMode == DeviceContext::Opaque ? 2 : layers;
    for (int pass = 0; pass < passes; ++pass)
        if (!m_budget.stroke(path, transform, outputBounds, pen->isCosmetic()))
            return false;
    return true;
}

void GdiCanvas::ropLayer(const QRect& area, const std::function<void(QPainter&)>& drawCoverage,
                         const std::function<void(QPainter&)>& drawPattern,
                         const std::function<void(QPainter&)>& drawSource, quint8 rop) {
    if (area.isEmpty())
        return;
    auto layer = [&](const std::function<void(QPainter&)>& draw) {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (draw) {
            QPainter lp(&image);
            lp.translate(-area.topLeft());
            if (m_dc.hasClip)
                lp.setClipRegion(m_dc.clip);
            draw(lp);
        }
        return image;
    };
    const QImage coverage = layer(drawCoverage);
    const QImage pattern = drawPattern ? layer(drawPattern) : QImage();
    const QImage source = drawSource ? layer(drawSource) : QImage();
    suspendPainter();
    RasterOperation::apply(*m_image, area.topLeft(), coverage, pattern, source, rop);
    resumePainter();
}

void GdiCanvas::paintWithRop2(const QPainterPath& path, const QTransform& transform, bool fills,
                              bool strokes, const GdiBrush& gdiBrush) {
    if (isFar(transform.mapRect(path.controlPointRect())))
        return; // only broken files reach this far; see paintOutput
    const double penExtent =
        strokes ? std::max(1.0, m_dc.pen.width * transformScale(transform)) : 0;
    QRect area =
        toPixelRect(transform.mapRect(path.controlPointRect())
                        .adjusted(-penExtent - 1, -penExtent - 1, penExtent + 1, penExtent + 1))
            .intersected(canvasRect());
    if (m_dc.hasClip)
        area &= m_dc.clip.boundingRect();
    if (area.isEmpty())
        return;
    // The shape drawn plainly in its own colours is both where the operation applies and the
    // pen or brush colour it combines.
    auto draw = [&](QPainter& lp) {
        lp.setTransform(transform, true);
        if (fills)
            lp.fillPath(path, makeBrush(gdiBrush, lp.transform()));
        if (strokes) {
            bool dashed = false;
            lp.strokePath(path, makePen(transform, &dashed));
        }
    };
    ropLayer(area, draw, draw, nullptr, RasterOperation::fromBinary(m_dc.rop2));
}
