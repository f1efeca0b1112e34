// The canvas's paths (BEGINPATH ... ENDPATH) and shapes.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"

#include <QPainter>
#include <QtMath>
#include <cmath>

using namespace CanvasGeometry;

// --- paths (BEGINPATH ... ENDPATH) ----------------------------------------------------------

void GdiCanvas::appendToOpenPath(const QPainterPath& logicalPath, bool continueFigure) {
    m_path.append(logicalToOutput().map(logicalPath), continueFigure);
}

void GdiCanvas::continueFigure(const QPainterPath& path) {
    if (m_path.isOpen())
        appendToOpenPath(path, true);
    else
        paintPath(path, false, true);
}

void GdiCanvas::beginPath() {
    m_path.begin();
}

void GdiCanvas::endPath() {
    m_path.end();
}

void GdiCanvas::abortPath() {
    m_path.abort();
}

void GdiCanvas::closeFigure() {
    m_path.closeFigure();
}

void GdiCanvas::paintOpenPath(bool fill, bool stroke) {
    std::optional<QPainterPath> path = m_path.take();
    if (!path)
        return;
    const QTransform transform = logicalToOutput();
    if (fill) {
        // Filling (and stroking with filling) closes every open figure.
        QPainterPath closed;
        for (const QPolygonF& figure : path->toSubpathPolygons()) {
            closed.addPolygon(figure);
            closed.closeSubpath();
        }
        path = closed;
    }
    if (!transform.isInvertible())
        return;
    // The path was kept in output units; paint it back through the current mapping so pen
    // widths scale as they should.
    paintOutput(transform.inverted().map(*path), transform, fill, stroke, m_dc.brush);
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

// --- shapes ---------------------------------------------------------------------------------

void GdiCanvas::moveTo(QPointF point) {
    m_dc.currentPosition = point;
    if (m_path.isOpen()) {
        QPainterPath move;
        move.moveTo(point);
        appendToOpenPath(move, false);
    }
}

void GdiCanvas::lineTo(QPointF point) {
    QPainterPath path(m_dc.currentPosition);
    path.lineTo(point);
    m_dc.currentPosition = point;
    continueFigure(path);
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
    continueFigure(path);
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
    continueFigure(path);
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
    continueFigure(path);
}

QRectF GdiCanvas::insideFrame(const QRectF& box) const {
    QRectF r = box.normalized();
    if (m_dc.pen.style == GdiPen::InsideFrame && m_dc.pen.width > 1) {
        const double half = m_dc.pen.width / 2;
        r.adjust(half, half, -half, -half);
    }
    return r;
}

void GdiCanvas::rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(insideFrame(box));
    paintPath(path, true, true);
}

void GdiCanvas::roundRect(const QRectF& box, QSizeF corner) {
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2,
                        std::abs(corner.height()) / 2);
    paintPath(path, true, true);
}

void GdiCanvas::ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(insideFrame(box));
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
        if (m_path.isOpen()) {
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
    continueFigure(path);
}

void GdiCanvas::setPixel(QPointF point, const QColor& color) {
    const QTransform t = logicalToOutput();
    const QPointF out = t.map(point);
    const QRectF r(out.x() - 0.5, out.y() - 0.5, 1, 1);
    if (!m_budget.area(r, DrawingBudget::Pixels::Plain))
        return;
    noteDrawn(r);
    if (measuring())
        return;
    applyClip();
    m_painter->resetTransform();
    m_painter->fillRect(QRectF(std::floor(out.x()), std::floor(out.y()), 1, 1), opaque(color));
}
