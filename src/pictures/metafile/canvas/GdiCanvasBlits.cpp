// The canvas's bitmaps, blits and gradients.
#include "CanvasGeometry.h"
#include "GdiCanvas.h"
#include "RasterOperation.h"

#include <QPainter>
#include <cmath>

using namespace CanvasGeometry;

namespace {

constexpr quint8 kSrcCopy = 0xcc;
constexpr quint8 kPatCopy = 0xf0;
constexpr quint8 kBlackness = 0x00;
constexpr quint8 kWhiteness = 0xff;

// Maps image pixel coordinates of sourceRect onto the logical destination rectangle.
QTransform imageToLogical(const QRectF& dest, const QRectF& source) {
    const double sx = dest.width() / source.width();
    const double sy = dest.height() / source.height();
    return QTransform(sx, 0, 0, sy, dest.x() - source.x() * sx, dest.y() - source.y() * sy);
}

// Whether the first `count` indices of a mesh name vertices that exist.
bool namesVertices(const QList<GdiCanvas::GradientVertex>& vertices, const QList<quint32>& mesh,
                   int count) {
    for (int i = 0; i < count; ++i)
        if (mesh[i] >= quint32(vertices.size()))
            return false;
    return true;
}

// A triangle's corners on the output and their colours.
struct ShadedCorners {
    QPointF at[3];
    QColor color[3];

    double determinant() const {
        return (at[1].y() - at[2].y()) * (at[0].x() - at[2].x()) +
               (at[2].x() - at[1].x()) * (at[0].y() - at[2].y());
    }
};

// The triangle over `area`, shaded pixel by pixel from its corners' colours (by barycentric
// weights); transparent outside it.
QImage shadedTriangle(const QRect& area, const ShadedCorners& corners) {
    const QPointF* o = corners.at;
    const double det = corners.determinant();
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
                const double value = a * (corners.color[0].*channel)() +
                                     b * (corners.color[1].*channel)() +
                                     c * (corners.color[2].*channel)();
                return qBound(0, int(std::lround(value)), 255);
            };
            line[x] = qRgb(mix(&QColor::red), mix(&QColor::green), mix(&QColor::blue));
        }
    }
    return layer;
}

} // namespace

void GdiCanvas::bitBlt(const QRectF& dest, const QImage& image, const QRectF& sourceRectIn,
                       quint32 ropCode) {
    if (limitReached() || dest.width() == 0 || dest.height() == 0)
        return;
    const quint8 rop = quint8((ropCode >> 16) & 0xff);
    const QTransform t = logicalToOutput();
    const QRectF outputRect = t.mapRect(dest.normalized());
    if (rop == 0xaa) // leaves the page as it is
        return;
    if (!affordBlit(outputRect, image, rop))
        return;
    noteDrawn(outputRect);
    if (measuring() || isFar(outputRect))
        return;
    if (rop == kPatCopy || rop == kBlackness || rop == kWhiteness) {
        fillBlit(dest, rop, t);
        return;
    }
    BlitSource source;
    if (!RasterOperation::ignoresSource(rop) && !image.isNull()) {
        if (sourceRectIn.width() == 0 || sourceRectIn.height() == 0)
            return;
        source.image = &image;
        source.placement = imageToLogical(dest, sourceRectIn) * t;
        source.rect = sourceRectIn.normalized().intersected(QRectF(image.rect()));
        if (source.rect.isEmpty())
            return;
    }
    source.smooth =
        m_dc.stretchMode == 4 || (source.image && transformScale(source.placement) < 0.999);
    if (rop == kSrcCopy && source.image) {
        applyClip();
        m_painter->resetTransform();
        drawSource(*m_painter, source);
        return;
    }
    blitThroughRop(dest, t, outputRect, source, rop);
}

void GdiCanvas::drawSource(QPainter& painter, const BlitSource& source) const {
    painter.setTransform(source.placement, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, source.smooth);
    painter.drawImage(source.rect, *source.image, source.rect);
}

// PATCOPY fills with the brush; BLACKNESS and WHITENESS with their colour.
void GdiCanvas::fillBlit(const QRectF& dest, quint8 rop, const QTransform& t) {
    GdiBrush brush = m_dc.brush;
    if (rop != kPatCopy) {
        brush = GdiBrush();
        brush.color = rop == kWhiteness ? Qt::white : Qt::black;
    }
    applyClip();
    if (brush.style == GdiBrush::Null)
        return;
    QPainterPath path;
    path.addRect(dest.normalized());
    m_painter->setTransform(t);
    if (brushNeedsBackground(brush))
        m_painter->fillPath(path, opaque(m_dc.backgroundColor));
    m_painter->fillPath(path, makeBrush(brush, t));
}

// Any other operation combines layers of the brush and the source with the page.
void GdiCanvas::blitThroughRop(const QRectF& dest, const QTransform& t, const QRectF& outputRect,
                               const BlitSource& source, quint8 rop) {
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
    std::function<void(QPainter&)> drawn;
    if (source.image)
        drawn = [&](QPainter& lp) { drawSource(lp, source); };
    ropLayer(area, cover, pattern, drawn, rop);
}

bool GdiCanvas::affordBlit(const QRectF& outputRect, const QImage& image, quint8 rop) {
    using Pixels = DrawingBudget::Pixels;
    const bool fromImage = !image.isNull() && !RasterOperation::ignoresSource(rop);
    if (!m_budget.bitmap(qint64(image.width()) * image.height()))
        return false;
    if (rop == kSrcCopy || rop == kPatCopy || rop == kBlackness || rop == kWhiteness)
        return m_budget.area(outputRect, fromImage ? Pixels::Drawn : Pixels::Plain);
    // Layers of the pattern and of the source, combined with the page.
    const bool withPattern = !RasterOperation::ignoresPattern(rop);
    return m_budget.area(outputRect, Pixels::Layered) &&
           (!withPattern || m_budget.area(outputRect, Pixels::Plain)) &&
           (!fromImage || m_budget.area(outputRect, Pixels::Drawn));
}

void GdiCanvas::alphaBlend(const QRectF& dest, const QImage& image, const QRectF& sourceRectIn,
                           int constantAlpha, bool perPixelAlpha) {
    if (limitReached() || image.isNull() || dest.width() == 0 || dest.height() == 0 ||
        sourceRectIn.width() == 0 || sourceRectIn.height() == 0)
        return;
    const QTransform t = logicalToOutput();
    const QRectF outputRect = t.mapRect(dest.normalized());
    if (!m_budget.bitmap(qint64(image.width()) * image.height()) ||
        !m_budget.area(outputRect, DrawingBudget::Pixels::Drawn))
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
    if (limitReached())
        return;
    const QTransform t = logicalToOutput();
    for (const QList<quint32>& mesh : meshes) {
        const bool withinBudget = mode == 2 ? shadeTriangle(vertices, mesh, t)
                                            : shadeRectangle(vertices, mesh, mode == 0, t);
        if (!withinBudget)
            return;
    }
}

bool GdiCanvas::shadeTriangle(const QList<GradientVertex>& vertices, const QList<quint32>& mesh,
                              const QTransform& t) {
    if (mesh.size() < 3 || !namesVertices(vertices, mesh, 3))
        return true;
    const GradientVertex* v[3] = {&vertices[mesh[0]], &vertices[mesh[1]], &vertices[mesh[2]]};
    ShadedCorners corners;
    for (int i = 0; i < 3; ++i) {
        corners.at[i] = t.map(v[i]->point);
        corners.color[i] = v[i]->color;
    }
    const QRectF bounds = QPolygonF({corners.at[0], corners.at[1], corners.at[2]}).boundingRect();
    if (!m_budget.area(bounds, DrawingBudget::Pixels::Shaded))
        return false;
    noteDrawn(bounds);
    if (measuring() || isFar(bounds))
        return true;
    const QRect area = toPixelRect(bounds).intersected(canvasRect());
    if (area.isEmpty() || std::abs(corners.determinant()) < 1e-9)
        return true;
    const QImage layer = shadedTriangle(area, corners);
    applyClip();
    m_painter->resetTransform();
    m_painter->drawImage(area.topLeft(), layer);
    return true;
}

bool GdiCanvas::shadeRectangle(const QList<GradientVertex>& vertices, const QList<quint32>& mesh,
                               bool horizontal, const QTransform& t) {
    if (mesh.size() < 2 || !namesVertices(vertices, mesh, 2))
        return true;
    const GradientVertex& a = vertices[mesh[0]];
    const GradientVertex& b = vertices[mesh[1]];
    const QRectF rect = QRectF(a.point, b.point).normalized();
    const QRectF outputRect = t.mapRect(rect);
    if (!m_budget.area(outputRect, DrawingBudget::Pixels::Plain))
        return false;
    noteDrawn(outputRect);
    if (measuring() || isFar(outputRect))
        return true;
    QLinearGradient gradient(a.point, horizontal ? QPointF(b.point.x(), a.point.y())
                                                 : QPointF(a.point.x(), b.point.y()));
    gradient.setColorAt(0, opaque(a.color));
    gradient.setColorAt(1, opaque(b.color));
    applyClip();
    m_painter->setTransform(t);
    m_painter->fillRect(rect, gradient);
    return true;
}
