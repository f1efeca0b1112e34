#include "GdiCanvas.h"

#include "PictureLimits.h"
#include "RasterOperation.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <QtMath>
#include <cmath>

namespace {

// Output coordinates beyond this are clipped by us before Qt sees them: Qt's rasteriser works in
// fixed point and loses precision (or wraps) far outside any picture.
constexpr double kFarCoordinate = 4.0e6;
// The biggest magnitude turned into an integer anywhere.
constexpr double kIntegerLimit = 1.0e9;
// The most elements of a far figure that is still cut to the canvas.
constexpr int kLongestFarPath = 4096;

constexpr quint8 kSrcCopy = 0xcc;
constexpr quint8 kPatCopy = 0xf0;

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

// Builds a region from many rectangles by merging halves, which stays fast for long lists.
QRegion uniteAll(const QList<QRect>& rects, qsizetype from, qsizetype to) {
    if (to - from == 1)
        return QRegion(rects[from]);
    if (to <= from)
        return {};
    const qsizetype mid = from + (to - from) / 2;
    return uniteAll(rects, from, mid).united(uniteAll(rects, mid, to));
}

// A logical rectangle (right and bottom edges excluded) as a one-rectangle region.
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

} // namespace

GdiCanvas::GdiCanvas(QImage* target) : m_image(target) {
    if (m_image) {
        m_workBudget = MetafileLimits::kWorkAllowance + MetafileLimits::kMostCanvasPaints *
                                                            qint64(m_image->width()) *
                                                            m_image->height();
        resumePainter();
    } else {
        m_workBudget = MetafileLimits::kWorkAllowance;
    }
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
    m_clipDirty = true;
}

void GdiCanvas::suspendPainter() {
    if (m_painter)
        m_painter->end();
    m_painter.reset();
}

bool GdiCanvas::spend(const QRectF& outputRect, qint64 points) {
    if (m_limitReached)
        return false;
    qint64 area = 1;
    if (m_image) {
        const QRect r = toPixelRect(outputRect).intersected(canvasRect());
        area += r.isValid() ? qint64(r.width()) * r.height() : 0;
    }
    m_work += area + points;
    if (m_work > m_workBudget) {
        m_limitReached = true;
        return false;
    }
    return true;
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
    *dashed = false;
    QList<qreal> pattern;
    switch (style) {
    case GdiPen::Dash:
        pattern = cosmetic ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
        break;
    case GdiPen::Dot:
        pattern = cosmetic ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
        break;
    case GdiPen::DashDot:
        pattern = cosmetic ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
        break;
    case GdiPen::DashDotDot:
        pattern = cosmetic ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
        break;
    case GdiPen::Alternate:
        pattern = {1, 1};
        break;
    case GdiPen::UserStyle: {
        const double unit = cosmetic ? 1.0 / std::max(scale, 1e-9) : gp.width;
        bool any = false;
        for (double d : gp.dashes) {
            const double v = unit > 0 ? d / unit : d;
            pattern.append(std::isfinite(v) ? qBound(0.0, v, 1e4) : 1.0);
            any = any || v > 0;
        }
        if (!any)
            pattern.clear();
        if (pattern.size() % 2)
            pattern += pattern;
        break;
    }
    default:
        break;
    }
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
    if (m_limitReached)
        return;
    if (m_pathOpen) {
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
    if (!spend(outputBounds, path.elementCount()))
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
    QPainter& p = *m_painter;

    QTransform drawTransform = transform;
    if (isFar(outputBounds)) {
        // Bring far geometry into range: cut it to the canvas in output units. Cutting costs
        // more than linear time, so long far figures (found only in broken files) are dropped.
        if (path.elementCount() > kLongestFarPath)
            return;
        QPainterPath area;
        area.addRect(QRectF(canvasRect())
                         .adjusted(-penExtent * 2, -penExtent * 2, penExtent * 2, penExtent * 2));
        QPainterPath mapped = transform.map(path);
        QPainterPath outline;
        if (strokes) {
            bool dashed = false;
            QPen pen = makePen(transform, &dashed);
            QPainterPathStroker stroker;
            stroker.setWidth(pen.isCosmetic() ? 1.0 : pen.widthF() * transformScale(transform));
            outline = stroker.createStroke(mapped).intersected(area);
        }
        const QPainterPath filled = fills ? mapped.intersected(area) : QPainterPath();
        p.resetTransform();
        if (fills) {
            if (brushNeedsBackground(gdiBrush))
                p.fillPath(filled, opaque(m_dc.backgroundColor));
            p.fillPath(filled, makeBrush(gdiBrush, QTransform()));
        }
        if (strokes)
            p.fillPath(outline, opaque(m_dc.pen.color));
        return;
    }

    p.setTransform(drawTransform);
    if (fills) {
        if (brushNeedsBackground(gdiBrush))
            p.fillPath(path, opaque(m_dc.backgroundColor));
        p.fillPath(path, makeBrush(gdiBrush, drawTransform));
    }
    if (strokes) {
        bool dashed = false;
        QPen pen = makePen(drawTransform, &dashed);
        // A thin line through whole coordinates lights the pixels after them in GDI; Qt would
        // split it over two half-lit rows. Move it onto the pixel centres.
        if (pen.isCosmetic() || pen.widthF() * transformScale(drawTransform) < 1.5)
            p.setTransform(drawTransform * QTransform::fromTranslate(0.5, 0.5));
        if (dashed && m_dc.backgroundMode == DeviceContext::Opaque) {
            // Gaps of a dashed line show the background colour on an opaque background.
            QPen gaps = pen;
            gaps.setStyle(Qt::SolidLine);
            gaps.setColor(opaque(m_dc.backgroundColor));
            p.strokePath(path, gaps);
        }
        p.strokePath(path, pen);
    }
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

// --- paths (BEGINPATH ... ENDPATH) ----------------------------------------------------------

void GdiCanvas::appendToOpenPath(const QPainterPath& logicalPath, bool continueFigure) {
    const QPainterPath mapped = logicalToOutput().map(logicalPath);
    m_pathPoints += mapped.elementCount();
    if (m_pathPoints > MetafileLimits::kMostPathPoints) {
        m_limitReached = true;
        return;
    }
    if (continueFigure && !m_path.isEmpty() && mapped.elementCount() > 0 &&
        QLineF(m_path.currentPosition(), mapped.elementAt(0)).length() < 1e-6) {
        m_path.connectPath(mapped);
    } else {
        m_path.addPath(mapped);
    }
}

void GdiCanvas::beginPath() {
    m_pathOpen = true;
    m_pathReady = false;
    m_path = QPainterPath();
    m_pathPoints = 0;
}

void GdiCanvas::endPath() {
    if (!m_pathOpen)
        return;
    m_pathOpen = false;
    m_pathReady = true;
}

void GdiCanvas::abortPath() {
    m_pathOpen = false;
    m_pathReady = false;
    m_path = QPainterPath();
}

void GdiCanvas::closeFigure() {
    if (m_pathOpen)
        m_path.closeSubpath();
}

void GdiCanvas::paintOpenPath(bool fill, bool stroke) {
    if (m_pathOpen)
        endPath();
    if (!m_pathReady)
        return;
    m_pathReady = false;
    const QTransform transform = logicalToOutput();
    QPainterPath path = m_path;
    m_path = QPainterPath();
    if (fill) {
        // Filling (and stroking with filling) closes every open figure.
        QPainterPath closed;
        for (const QPolygonF& figure : path.toSubpathPolygons()) {
            closed.addPolygon(figure);
            closed.closeSubpath();
        }
        path = closed;
    }
    if (!transform.isInvertible())
        return;
    // The path was kept in output units; paint it back through the current mapping so pen
    // widths scale as they should.
    paintOutput(transform.inverted().map(path), transform, fill, stroke, m_dc.brush);
}

void GdiCanvas::fillPath() {
    paintOpenPath(true, false);
}
void GdiCanvas::strokePath() {
    paintOpenPath(false, true);
}
void GdiCanvas::strokeAndFillPath() {
    paintOpenPath(true, true);
}

void GdiCanvas::selectClipPath(int mode) {
    if (m_pathOpen)
        endPath();
    if (!m_pathReady)
        return;
    m_pathReady = false;
    QPainterPath path = m_path;
    m_path = QPainterPath();
    // Figure by figure (a linear walk): alternate filling toggles where figures overlap,
    // winding filling is taken as their union.
    const bool alternate = m_dc.fillMode != DeviceContext::Winding;
    QRegion region;
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        const QRectF box = polygon.boundingRect();
        if (!box.intersects(QRectF(canvasRect())) && !isFar(box))
            continue;
        const QRegion figure = QRegion(toPixelPolygon(polygon), Qt::OddEvenFill) & canvasRect();
        region = alternate ? region.xored(figure) : region.united(figure);
        if (region.rectCount() > MetafileLimits::kMostClipRectangles) {
            m_limitReached = true;
            return;
        }
    }
    combineClip(region, mode);
}

// --- shapes ---------------------------------------------------------------------------------

void GdiCanvas::moveTo(QPointF point) {
    m_dc.currentPosition = point;
    if (m_pathOpen) {
        QPainterPath move;
        move.moveTo(point);
        appendToOpenPath(move, false);
    }
}

void GdiCanvas::lineTo(QPointF point) {
    QPainterPath path(m_dc.currentPosition);
    path.lineTo(point);
    m_dc.currentPosition = point;
    if (m_pathOpen)
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::polyline(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    paintPath(path, false, true);
}

void GdiCanvas::polylineTo(const QPolygonF& points) {
    if (points.isEmpty())
        return;
    QPainterPath path(m_dc.currentPosition);
    for (const QPointF& p : points)
        path.lineTo(p);
    m_dc.currentPosition = points.last();
    if (m_pathOpen)
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::polygon(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    paintPath(path, true, true);
}

void GdiCanvas::polyPolygon(const QList<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2)
            continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    if (!path.isEmpty())
        paintPath(path, true, true);
}

void GdiCanvas::polyPolyline(const QList<QPolygonF>& lines) {
    QPainterPath path;
    for (const QPolygonF& line : lines)
        if (line.size() >= 2)
            path.addPolygon(line);
    if (!path.isEmpty())
        paintPath(path, false, true);
}

QPainterPath GdiCanvas::beziers(QPointF from, const QPolygonF& controls) const {
    QPainterPath path(from);
    for (qsizetype i = 0; i + 2 < controls.size(); i += 3)
        path.cubicTo(controls[i], controls[i + 1], controls[i + 2]);
    return path;
}

void GdiCanvas::polyBezier(const QPolygonF& points) {
    if (points.size() < 4)
        return;
    paintPath(beziers(points.first(), points.mid(1)), false, true);
}

void GdiCanvas::polyBezierTo(const QPolygonF& points) {
    if (points.size() < 3)
        return;
    const QPainterPath path = beziers(m_dc.currentPosition, points);
    m_dc.currentPosition = points[(points.size() / 3) * 3 - 1];
    if (m_pathOpen)
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::polyDraw(const QPolygonF& points, const QByteArray& types) {
    QPainterPath path(m_dc.currentPosition);
    QPointF start = m_dc.currentPosition;
    const qsizetype n = qMin(points.size(), types.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int type = quint8(types[i]) & ~1;
        const bool close = quint8(types[i]) & 1;
        if (type == 6) {
            path.moveTo(points[i]);
            start = points[i];
        } else if (type == 4 && i + 2 < n) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            path.lineTo(points[i]);
        }
        if (close) {
            path.closeSubpath();
            path.moveTo(start);
        }
        m_dc.currentPosition = points[qMin(i, n - 1)];
    }
    if (m_pathOpen)
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::rectangle(const QRectF& box) {
    QRectF r = box.normalized();
    if (m_dc.pen.style == GdiPen::InsideFrame && m_dc.pen.width > 1) {
        const double half = m_dc.pen.width / 2;
        r.adjust(half, half, -half, -half);
    }
    QPainterPath path;
    path.addRect(r);
    paintPath(path, true, true);
}

void GdiCanvas::roundRect(const QRectF& box, QSizeF corner) {
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2,
                        std::abs(corner.height()) / 2);
    paintPath(path, true, true);
}

void GdiCanvas::ellipse(const QRectF& box) {
    QRectF r = box.normalized();
    if (m_dc.pen.style == GdiPen::InsideFrame && m_dc.pen.width > 1) {
        const double half = m_dc.pen.width / 2;
        r.adjust(half, half, -half, -half);
    }
    QPainterPath path;
    path.addEllipse(r);
    paintPath(path, true, true);
}

QPainterPath GdiCanvas::arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind,
                                QPointF* arcStart, QPointF* arcEnd) const {
    const QRectF r = box.normalized();
    const QPointF c = r.center();
    const double rx = r.width() / 2;
    const double ry = r.height() / 2;
    // Angles in Qt's convention (degrees, counter-clockwise as seen with y pointing down).
    auto angleOf = [&](QPointF p) {
        const double dx = rx > 0 ? (p.x() - c.x()) / rx : 0;
        const double dy = ry > 0 ? (p.y() - c.y()) / ry : 0;
        return (dx == 0 && dy == 0) ? 0.0 : -qRadiansToDegrees(std::atan2(dy, dx));
    };
    const double a0 = angleOf(start);
    const double a1 = angleOf(end);
    // GDI's direction is as seen on the output; a mapping that flips one axis reverses what
    // "counter-clockwise" means in logical units.
    const bool flipped = logicalToOutput().determinant() < 0;
    bool counterClockwise = m_dc.arcDirection == DeviceContext::CounterClockwise;
    if (flipped)
        counterClockwise = !counterClockwise;
    double sweep =
        counterClockwise ? std::fmod(a1 - a0 + 720.0, 360.0) : -std::fmod(a0 - a1 + 720.0, 360.0);
    if (std::abs(sweep) < 1e-9)
        sweep = counterClockwise ? 360.0 : -360.0;
    auto pointAt = [&](double degrees) {
        const double t = qDegreesToRadians(degrees);
        return QPointF(c.x() + rx * std::cos(t), c.y() - ry * std::sin(t));
    };
    *arcStart = pointAt(a0);
    *arcEnd = pointAt(a0 + sweep);
    QPainterPath path;
    switch (kind) {
    case ArcKind::Pie:
        path.moveTo(c);
        path.arcTo(r, a0, sweep);
        path.closeSubpath();
        break;
    case ArcKind::Chord:
        path.arcMoveTo(r, a0);
        path.arcTo(r, a0, sweep);
        path.closeSubpath();
        break;
    case ArcKind::ArcTo:
        path.moveTo(m_dc.currentPosition);
        path.arcTo(r, a0, sweep);
        break;
    case ArcKind::Arc:
        path.arcMoveTo(r, a0);
        path.arcTo(r, a0, sweep);
        break;
    }
    return path;
}

void GdiCanvas::arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind) {
    QPointF from, to;
    const QPainterPath path = arcPath(box, start, end, kind, &from, &to);
    if (kind == ArcKind::ArcTo) {
        m_dc.currentPosition = to;
        if (m_pathOpen) {
            appendToOpenPath(path, true);
            return;
        }
    }
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    paintPath(path, closed, true);
}

void GdiCanvas::angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees) {
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees))
        return;
    sweepDegrees = qBound(-3600.0, sweepDegrees, 3600.0);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    // The angles follow the same convention as Qt's: counter-clockwise as seen with y pointing
    // down. The line from the current position to the arc's start is part of the figure.
    QPainterPath path(m_dc.currentPosition);
    path.arcTo(box, startDegrees, sweepDegrees);
    m_dc.currentPosition = path.currentPosition();
    if (m_pathOpen)
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::setPixel(QPointF point, const QColor& color) {
    const QTransform t = logicalToOutput();
    const QPointF out = t.map(point);
    const QRectF r(out.x() - 0.5, out.y() - 0.5, 1, 1);
    if (!spend(r))
        return;
    noteDrawn(r);
    if (measuring())
        return;
    applyClip();
    m_painter->resetTransform();
    m_painter->fillRect(QRectF(std::floor(out.x()), std::floor(out.y()), 1, 1), opaque(color));
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
    if (path.isEmpty() || m_limitReached)
        return;
    const int savedFill = m_dc.fillMode;
    m_dc.fillMode = DeviceContext::Winding;
    paintOutput(path, logicalToOutput(), true, false, brush);
    m_dc.fillMode = savedFill;
}

void GdiCanvas::frameRegion(const GdiRegion& region, const GdiBrush& brush, QSizeF thickness) {
    if (m_limitReached)
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
    if (frame.isEmpty() || !spend(frame.boundingRect()))
        return;
    noteDrawn(frame.boundingRect());
    applyClip();
    m_painter->resetTransform();
    QPainterPath path;
    path.addRegion(frame);
    m_painter->fillPath(path, makeBrush(brush, QTransform()));
}

void GdiCanvas::invertRegion(const GdiRegion& region) {
    if (m_limitReached)
        return;
    const QRegion area = measuring() ? QRegion() : outputRegion(region, logicalToOutput());
    QPainterPath path;
    for (const QRect& r : region.rectangles)
        path.addRect(QRectF(QPointF(r.left(), r.top()), QPointF(r.right() + 1, r.bottom() + 1)));
    const QRectF bounds = logicalToOutput().mapRect(path.boundingRect());
    if (!spend(bounds))
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

// --- text -----------------------------------------------------------------------------------

void GdiCanvas::text(const TextRun& run) {
    if (m_limitReached)
        return;
    const QTransform t = logicalToOutput();
    const bool hasRect = !(run.options & TextRun::NoRect) && run.rectangle.isValid();

    // The opaque rectangle is filled with the background colour whatever the background mode.
    if ((run.options & TextRun::Opaque) && hasRect && !m_pathOpen) {
        GdiBrush background;
        background.color = m_dc.backgroundColor;
        QPainterPath box;
        box.addRect(run.rectangle.normalized());
        const int savedRop = m_dc.rop2;
        m_dc.rop2 = 13;
        // With no text this only clears the background; it is not measured as drawing.
        m_measureInk = !run.text.isEmpty();
        paintOutput(box, t, true, false, background);
        m_measureInk = true;
        m_dc.rop2 = savedRop;
    }
    if (run.text.isEmpty() || (run.options & TextRun::GlyphIndex) || m_pathOpen)
        return;

    const GdiFont& gf = m_dc.font;
    const FontMapper::Metrics metrics = m_fonts.metrics(gf);
    const QPointF reference = (m_dc.textAlign & DeviceContext::UpdateCurrentPosition)
                                  ? m_dc.currentPosition
                                  : run.reference;
    const double escapement = gf.escapement / 10.0;
    const double logicalScale = transformScale(t); // output pixels per logical unit (mean)
    const double xScale = std::hypot(t.m11(), t.m12());
    const double yScale = std::hypot(t.m21(), t.m22());
    const double deviceScale = transformScale(m_deviceToOutput);

    // Text space: x along the baseline, y down, in about output pixels.
    QTransform toOutput;
    double unitsPerLogical; // text-space units per logical unit, for heights and advances
    double advanceScale;
    if (run.advancedMode) {
        unitsPerLogical = logicalScale;
        advanceScale = logicalScale;
        toOutput = QTransform::fromScale(1 / std::max(logicalScale, 1e-12),
                                         1 / std::max(logicalScale, 1e-12)) *
                   QTransform().rotate(-escapement) *
                   QTransform::fromTranslate(reference.x(), reference.y()) * t;
    } else {
        // Compatible mode: glyphs stay upright on the output, sized by the vertical scale.
        unitsPerLogical = yScale;
        advanceScale = xScale;
        const QPointF origin = t.map(reference);
        toOutput =
            QTransform().rotate(-escapement) * QTransform::fromTranslate(origin.x(), origin.y());
    }
    double em;
    if (gf.height == 0)
        em = 16.0 * deviceScale / (metrics.ascent + metrics.descent);
    else
        em = m_fonts.emHeight(gf, gf.height) * unitsPerLogical;
    if (!std::isfinite(em) || em < 0.2 || em > 1e6)
        return;

    const int pixelSize = int(std::lround(std::clamp(em, 1.0, 2048.0)));
    const double fontScale = em / pixelSize;
    QFont font = m_fonts.font(gf, pixelSize);
    if (gf.width != 0) {
        const double natural = metrics.averageWidth * em;
        const double wanted = std::abs(gf.width) * unitsPerLogical;
        if (natural > 0 && std::isfinite(wanted))
            font.setStretch(qBound(1, int(std::lround(100 * wanted / natural)), 4000));
    }
    const QFontMetricsF fm(font);

    // Character positions along the baseline, in text-space units.
    const qsizetype count = qMin<qsizetype>(run.text.size(), MetafileLimits::kLongestText);
    QList<QPointF> positions;
    positions.reserve(count);
    double x = 0;
    double y = 0;
    const bool explicitAdvances = run.advances.size() >= count;
    const double extra = m_dc.textCharExtra * advanceScale;
    for (qsizetype i = 0; i < count; ++i) {
        positions.append(QPointF(x, y));
        if (explicitAdvances) {
            x += run.advances[i] * advanceScale;
            if (i < run.risings.size())
                y -= run.risings[i] * unitsPerLogical;
        } else {
            x += fm.horizontalAdvance(run.text[i]) * fontScale + extra;
        }
    }
    const double width = x;
    const double ascent = metrics.ascent * em;
    const double descent = metrics.descent * em;

    double originX = 0;
    const quint32 horizontal = m_dc.textAlign & 0x06;
    if (horizontal == DeviceContext::AlignCenter)
        originX = -width / 2;
    else if (horizontal == DeviceContext::AlignRight)
        originX = -width;
    double baseline = ascent; // top alignment
    const quint32 vertical = m_dc.textAlign & 0x18;
    if (vertical == DeviceContext::AlignBaseline)
        baseline = 0;
    else if (vertical == DeviceContext::AlignBottom)
        baseline = -descent;

    const QRectF box(originX, baseline - ascent, width, ascent + descent);
    const QRectF outputBox = toOutput.mapRect(box);
    if (m_dc.textAlign & DeviceContext::UpdateCurrentPosition) {
        const QPointF end = toOutput.map(QPointF(originX + width, baseline));
        const QPointF start = toOutput.map(QPointF(originX, baseline));
        if (t.isInvertible()) {
            const QPointF logicalEnd =
                t.inverted().map(horizontal == DeviceContext::AlignRight ? start : end);
            m_dc.currentPosition = logicalEnd;
        }
    }
    m_glyphs += count;
    if (m_glyphs > MetafileLimits::kMostGlyphs)
        m_limitReached = true;
    if (!spend(outputBox, count))
        return;
    noteDrawn(outputBox);
    if (measuring() || isFar(outputBox))
        return;

    applyClip();
    QPainter& p = *m_painter;
    const bool clipToRect = (run.options & TextRun::Clipped) && hasRect;
    if (clipToRect) {
        QRegion clip = outputRegion(logicalRectRegion(run.rectangle), t);
        if (m_dc.hasClip)
            clip &= m_dc.clip;
        p.resetTransform();
        p.setClipRegion(clip);
        m_clipDirty = true;
    }
    p.setTransform(toOutput);
    if (m_dc.backgroundMode == DeviceContext::Opaque)
        p.fillRect(box, opaque(m_dc.backgroundColor));
    p.setTransform(QTransform::fromScale(fontScale, fontScale) * toOutput);
    p.setFont(font);
    p.setPen(opaque(m_dc.textColor));
    const double glyphY = baseline / fontScale;
    if (!explicitAdvances && extra == 0) {
        p.drawText(QPointF(originX / fontScale, glyphY), run.text.left(count));
    } else {
        for (qsizetype i = 0; i < count; ++i) {
            QString glyph(run.text[i]);
            if (run.text[i].isHighSurrogate() && i + 1 < count) {
                glyph.append(run.text[i + 1]);
            } else if (run.text[i].isLowSurrogate()) {
                continue;
            }
            p.drawText(QPointF((originX + positions[i].x()) / fontScale,
                               glyphY + positions[i].y() / fontScale),
                       glyph);
        }
    }
}

// --- bitmaps --------------------------------------------------------------------------------

namespace {

// Maps image pixel coordinates of sourceRect onto the logical destination rectangle.
QTransform imageToLogical(const QRectF& dest, const QRectF& source) {
    const double sx = dest.width() / source.width();
    const double sy = dest.height() / source.height();
    return QTransform(sx, 0, 0, sy, dest.x() - source.x() * sx, dest.y() - source.y() * sy);
}

} // namespace

void GdiCanvas::bitBlt(const QRectF& dest, const QImage& image, const QRectF& sourceRectIn,
                       quint32 ropCode) {
    if (m_limitReached || dest.width() == 0 || dest.height() == 0)
        return;
    const quint8 rop = quint8((ropCode >> 16) & 0xff);
    const QTransform t = logicalToOutput();
    const QRectF outputRect = t.mapRect(dest.normalized());
    if (rop == 0xaa) // leaves the page as it is
        return;
    if (!spend(outputRect))
        return;
    noteDrawn(outputRect);
    if (measuring() || isFar(outputRect))
        return;

    const bool usesSource = !RasterOperation::ignoresSource(rop) && !image.isNull();
    QRectF sourceRect = sourceRectIn;
    QTransform placement;
    if (usesSource) {
        if (sourceRect.width() == 0 || sourceRect.height() == 0)
            return;
        placement = imageToLogical(dest, sourceRect) * t;
        sourceRect = sourceRect.normalized().intersected(QRectF(image.rect()));
        if (sourceRect.isEmpty())
            return;
    }
    const bool smooth = m_dc.stretchMode == 4 || (usesSource && transformScale(placement) < 0.999);

    if (rop == kSrcCopy && usesSource) {
        applyClip();
        m_painter->setTransform(placement);
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        m_painter->drawImage(sourceRect, image, sourceRect);
        return;
    }
    if (rop == kPatCopy || rop == 0x00 || rop == 0xff) {
        GdiBrush brush = m_dc.brush;
        if (rop == 0x00 || rop == 0xff) {
            brush = GdiBrush();
            brush.color = rop ? Qt::white : Qt::black;
        }
        QPainterPath path;
        path.addRect(dest.normalized());
        const int savedRop = m_dc.rop2;
        m_dc.rop2 = 13;
        applyClip();
        if (brush.style != GdiBrush::Null) {
            m_painter->setTransform(t);
            if (brushNeedsBackground(brush))
                m_painter->fillPath(path, opaque(m_dc.backgroundColor));
            m_painter->fillPath(path, makeBrush(brush, t));
        }
        m_dc.rop2 = savedRop;
        return;
    }

    QRect area = toPixelRect(outputRect).intersected(canvasRect());
    if (m_dc.hasClip)
        area &= m_dc.clip.boundingRect();
    auto cover = [&](QPainter& lp) {
        lp.setTransform(t, true);
        lp.fillRect(dest.normalized(), Qt::black);
    };
    std::function<void(QPainter&)> pattern;
    if (!RasterOperation::ignoresPattern(rop)) {
        pattern = [&](QPainter& lp) {
            QPainterPath path;
            path.addRect(dest.normalized());
            lp.setTransform(t, true);
            if (m_dc.brush.style != GdiBrush::Null)
                lp.fillPath(path, makeBrush(m_dc.brush, lp.transform()));
        };
    }
    std::function<void(QPainter&)> source;
    if (usesSource) {
        source = [&](QPainter& lp) {
            lp.setTransform(placement, true);
            lp.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            lp.drawImage(sourceRect, image, sourceRect);
        };
    }
    ropLayer(area, cover, pattern, source, rop);
}

void GdiCanvas::alphaBlend(const QRectF& dest, const QImage& image, const QRectF& sourceRectIn,
                           int constantAlpha, bool perPixelAlpha) {
    if (m_limitReached || image.isNull() || dest.width() == 0 || dest.height() == 0 ||
        sourceRectIn.width() == 0 || sourceRectIn.height() == 0)
        return;
    const QTransform t = logicalToOutput();
    const QRectF outputRect = t.mapRect(dest.normalized());
    if (!spend(outputRect))
        return;
    noteDrawn(outputRect);
    if (measuring() || isFar(outputRect))
        return;
    const QTransform placement = imageToLogical(dest, sourceRectIn) * t;
    const QRectF sourceRect = sourceRectIn.normalized().intersected(QRectF(image.rect()));
    if (sourceRect.isEmpty())
        return;
    QImage blended = image;
    if (perPixelAlpha) {
        // The source holds premultiplied colour; keep it valid for Qt by clamping to alpha.
        blended = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < blended.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(blended.scanLine(y));
            for (int x = 0; x < blended.width(); ++x) {
                const int a = qAlpha(line[x]);
                line[x] = qRgba(qMin(qRed(line[x]), a), qMin(qGreen(line[x]), a),
                                qMin(qBlue(line[x]), a), a);
            }
        }
        blended.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    }
    applyClip();
    m_painter->setTransform(placement);
    m_painter->setOpacity(qBound(0, constantAlpha, 255) / 255.0);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, transformScale(placement) < 0.999);
    m_painter->drawImage(sourceRect, blended, sourceRect);
    m_painter->setOpacity(1.0);
}

void GdiCanvas::transparentBlt(const QRectF& dest, const QImage& image, const QRectF& sourceRect,
                               QRgb transparent) {
    if (image.isNull())
        return;
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent & 0x00ffffff;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] & 0x00ffffff) == key)
                line[x] = 0;
    }
    alphaBlend(dest, keyed, sourceRect, 255, true);
}

void GdiCanvas::gradientFill(const QList<GradientVertex>& vertices,
                             const QList<QList<quint32>>& meshes, int mode) {
    if (m_limitReached)
        return;
    const QTransform t = logicalToOutput();
    for (const QList<quint32>& mesh : meshes) {
        if (mode == 2) {
            if (mesh.size() < 3 || mesh[0] >= quint32(vertices.size()) ||
                mesh[1] >= quint32(vertices.size()) || mesh[2] >= quint32(vertices.size()))
                continue;
            const GradientVertex* v[3] = {&vertices[mesh[0]], &vertices[mesh[1]],
                                          &vertices[mesh[2]]};
            QPointF o[3];
            for (int i = 0; i < 3; ++i)
                o[i] = t.map(v[i]->point);
            const QRectF bounds = QPolygonF({o[0], o[1], o[2]}).boundingRect();
            if (!spend(bounds))
                return;
            noteDrawn(bounds);
            if (measuring() || isFar(bounds))
                continue;
            const QRect area = toPixelRect(bounds).intersected(canvasRect());
            if (area.isEmpty())
                continue;
            const double det = (o[1].y() - o[2].y()) * (o[0].x() - o[2].x()) +
                               (o[2].x() - o[1].x()) * (o[0].y() - o[2].y());
            if (std::abs(det) < 1e-9)
                continue;
            // Shade the triangle pixel by pixel from its corners' colours.
            QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            for (int y = 0; y < area.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
                const double py = area.top() + y + 0.5;
                for (int x = 0; x < area.width(); ++x) {
                    const double px = area.left() + x + 0.5;
                    const double a = ((o[1].y() - o[2].y()) * (px - o[2].x()) +
                                      (o[2].x() - o[1].x()) * (py - o[2].y())) /
                                     det;
                    const double b = ((o[2].y() - o[0].y()) * (px - o[2].x()) +
                                      (o[0].x() - o[2].x()) * (py - o[2].y())) /
                                     det;
                    const double c = 1 - a - b;
                    if (a < -1e-9 || b < -1e-9 || c < -1e-9)
                        continue;
                    auto mix = [&](int (QColor::*channel)() const) {
                        const double value = a * (v[0]->color.*channel)() +
                                             b * (v[1]->color.*channel)() +
                                             c * (v[2]->color.*channel)();
                        return qBound(0, int(std::lround(value)), 255);
                    };
                    line[x] = qRgb(mix(&QColor::red), mix(&QColor::green), mix(&QColor::blue));
                }
            }
            applyClip();
            m_painter->resetTransform();
            m_painter->drawImage(area.topLeft(), layer);
        } else {
            if (mesh.size() < 2 || mesh[0] >= quint32(vertices.size()) ||
                mesh[1] >= quint32(vertices.size()))
                continue;
            const GradientVertex& a = vertices[mesh[0]];
            const GradientVertex& b = vertices[mesh[1]];
            const QRectF rect = QRectF(a.point, b.point).normalized();
            const QRectF outputRect = t.mapRect(rect);
            if (!spend(outputRect))
                return;
            noteDrawn(outputRect);
            if (measuring() || isFar(outputRect))
                continue;
            QLinearGradient gradient(a.point, mode == 0 ? QPointF(b.point.x(), a.point.y())
                                                        : QPointF(a.point.x(), b.point.y()));
            gradient.setColorAt(0, opaque(a.color));
            gradient.setColorAt(1, opaque(b.color));
            applyClip();
            m_painter->setTransform(t);
            m_painter->fillRect(rect, gradient);
        }
    }
}
