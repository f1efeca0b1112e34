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

} // namespace

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

bool GdiCanvas::affordBlit(const QRectF& outputRect, const QImage& image, quint8 rop) {
    using Pixels = DrawingBudget::Pixels;
    const bool fromImage = !image.isNull() && !RasterOperation::ignoresSource(rop);
    if (!m_budget.bitmap(qint64(image.width()) * image.height()))
        return false;
    if (rop == kSrcCopy || rop == kPatCopy || rop == 0x00 || rop == 0xff)
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
            if (!m_budget.area(bounds, DrawingBudget::Pixels::Shaded))
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
            if (!m_budget.area(outputRect, DrawingBudget::Pixels::Plain))
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
