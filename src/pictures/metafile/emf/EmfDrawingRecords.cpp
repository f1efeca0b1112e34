// EMF records that draw lines, curves, shapes, paths, regions and gradients.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"
#include "SharedRecords.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;

// Points stored as 32-bit or 16-bit pairs; false when they are not all inside the record.
bool readPoints(const ByteReader& r, qint64 at, qint64 count, bool small, QPolygonF& points) {
    const qint64 size = small ? 4 : 8;
    if (count < 0 || count > MetafileLimits::kMostPathPoints || !r.has(at, count * size))
        return false;
    points.clear();
    points.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 p = at + i * size;
        points.append(small ? QPointF(r.i16(p), r.i16(p + 2)) : QPointF(r.i32(p), r.i32(p + 4)));
    }
    return true;
}

// Béziers, polygons and polylines, with 32-bit or 16-bit points.
template <void (GdiCanvas::*draw)(const QPolygonF&), bool small>
bool poly(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    QPolygonF points;
    if (!readPoints(r, 20, r.u32(16), small, points))
        return false;
    (player.canvas().*draw)(points);
    return true;
}

template <void (GdiCanvas::*draw)(const QList<QPolygonF>&), bool small>
bool polyPoly(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const qint64 polys = r.u32(16);
    const qint64 total = r.u32(20);
    if (!r.has(24, polys * 4))
        return false;
    QPolygonF all;
    if (!readPoints(r, 24 + polys * 4, total, small, all))
        return false;
    QList<QPolygonF> list;
    qint64 used = 0;
    for (qint64 i = 0; i < polys; ++i) {
        const qint64 count = r.u32(24 + i * 4);
        if (count > total - used)
            return false;
        list.append(all.mid(used, count));
        used += count;
    }
    (player.canvas().*draw)(list);
    return true;
}

template <bool small> bool polyDraw(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const qint64 count = r.u32(16);
    QPolygonF points;
    if (!readPoints(r, 20, count, small, points))
        return false;
    const qint64 typesAt = 20 + count * (small ? 4 : 8);
    if (!r.has(typesAt, count))
        return false;
    player.canvas().polyDraw(points, r.slice(typesAt, count).toByteArray());
    return true;
}

bool setPixel(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().setPixel(pointL(r, 0), colorRef(r, 8));
    return true;
}

bool lineTo(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().lineTo(pointL(r, 0));
    return true;
}

bool angleArc(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().angleArc(pointL(r, 0), r.u32(8), r.f32(12), r.f32(16));
    return true;
}

bool roundRect(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().roundRect(boxL(r, 0), QSizeF(r.i32(16), r.i32(20)));
    return true;
}

template <GdiCanvas::ArcKind kind> bool arc(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().arc(boxL(r, 0), pointL(r, 16), pointL(r, 24), kind);
    return true;
}

// The path records: begin, end, abort, close a figure, and fill or stroke what was built.
template <void (GdiCanvas::*apply)()> bool path(EmfPlayer& player, const Record&) {
    (player.canvas().*apply)();
    return true;
}

// The region a record carries from `at` on (its size at 16); false when it does not fit.
bool carriedRegion(const ByteReader& r, qint64 at, GdiRegion& region) {
    const qint64 size = r.u32(16);
    return r.has(at, size) && readRegion(r.sub(at, size), region);
}

// Filling and framing a carried region with the brush object the record names (at 20); a
// handle that names no brush skips the record.
bool fillRgn(EmfPlayer& player, const Record& record) {
    GdiRegion region;
    if (!carriedRegion(record.params, 24, region))
        return false;
    const GdiObject brush = player.object(record.params.u32(20));
    if (const auto* b = std::get_if<GdiBrush>(&brush))
        player.canvas().fillRegion(region, *b);
    return true;
}

bool frameRgn(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiRegion region;
    if (!carriedRegion(r, 32, region))
        return false;
    const GdiObject brush = player.object(r.u32(20));
    if (const auto* b = std::get_if<GdiBrush>(&brush))
        player.canvas().frameRegion(region, *b, QSizeF(r.i32(24), r.i32(28)));
    return true;
}

// Painting a carried region with the selected brush.
bool paintRgn(EmfPlayer& player, const Record& record) {
    GdiRegion region;
    if (!carriedRegion(record.params, 20, region))
        return false;
    player.canvas().fillRegion(region, player.dc().brush);
    return true;
}

bool invertRgn(EmfPlayer& player, const Record& record) {
    GdiRegion region;
    if (!carriedRegion(record.params, 20, region))
        return false;
    player.canvas().invertRegion(region);
    return true;
}

bool gradientFill(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const qint64 vertexCount = r.u32(16);
    const qint64 meshCount = r.u32(20);
    const int mode = int(r.u32(24));
    if (mode < 0 || mode > 2)
        return true;
    const qint64 meshSize = mode == 2 ? 12 : 8;
    if (!r.has(28, vertexCount * 16) || !r.has(28 + vertexCount * 16, meshCount * meshSize))
        return false;
    QList<GdiCanvas::GradientVertex> vertices;
    vertices.reserve(vertexCount);
    for (qint64 i = 0; i < vertexCount; ++i) {
        const qint64 at = 28 + i * 16;
        vertices.append(
            {pointL(r, at), QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8)});
    }
    QList<QList<quint32>> meshes;
    meshes.reserve(meshCount);
    for (qint64 i = 0; i < meshCount; ++i) {
        const qint64 at = 28 + vertexCount * 16 + i * meshSize;
        QList<quint32> mesh{r.u32(at), r.u32(at + 4)};
        if (mode == 2)
            mesh.append(r.u32(at + 8));
        meshes.append(mesh);
    }
    player.canvas().gradientFill(vertices, meshes, mode);
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {PolyBezier, 20, poly<&GdiCanvas::polyBezier, false>},
    {Polygon, 20, poly<&GdiCanvas::polygon, false>},
    {Polyline, 20, poly<&GdiCanvas::polyline, false>},
    {PolyBezierTo, 20, poly<&GdiCanvas::polyBezierTo, false>},
    {PolylineTo, 20, poly<&GdiCanvas::polylineTo, false>},
    {PolyBezier16, 20, poly<&GdiCanvas::polyBezier, true>},
    {Polygon16, 20, poly<&GdiCanvas::polygon, true>},
    {Polyline16, 20, poly<&GdiCanvas::polyline, true>},
    {PolyBezierTo16, 20, poly<&GdiCanvas::polyBezierTo, true>},
    {PolylineTo16, 20, poly<&GdiCanvas::polylineTo, true>},
    {PolyPolyline, 24, polyPoly<&GdiCanvas::polyPolyline, false>},
    {PolyPolygon, 24, polyPoly<&GdiCanvas::polyPolygon, false>},
    {PolyPolyline16, 24, polyPoly<&GdiCanvas::polyPolyline, true>},
    {PolyPolygon16, 24, polyPoly<&GdiCanvas::polyPolygon, true>},
    {PolyDraw, 20, polyDraw<false>},
    {PolyDraw16, 20, polyDraw<true>},
    {SetPixelV, 12, setPixel},
    {LineTo, 8, lineTo},
    {AngleArc, 20, angleArc},
    {Ellipse, Fields::kBoxSize, SharedRecords::canvasBox<Fields, &GdiCanvas::ellipse>},
    {Rectangle, Fields::kBoxSize, SharedRecords::canvasBox<Fields, &GdiCanvas::rectangle>},
    {RoundRect, 24, roundRect},
    {Arc, 32, arc<GdiCanvas::ArcKind::Arc>},
    {Chord, 32, arc<GdiCanvas::ArcKind::Chord>},
    {Pie, 32, arc<GdiCanvas::ArcKind::Pie>},
    {ArcTo, 32, arc<GdiCanvas::ArcKind::ArcTo>},
    {BeginPath, 0, path<&GdiCanvas::beginPath>},
    {EndPath, 0, path<&GdiCanvas::endPath>},
    {CloseFigure, 0, path<&GdiCanvas::closeFigure>},
    {FillPath, 0, path<&GdiCanvas::fillPath>},
    {StrokeAndFillPath, 0, path<&GdiCanvas::strokeAndFillPath>},
    {StrokePath, 0, path<&GdiCanvas::strokePath>},
    {AbortPath, 0, path<&GdiCanvas::abortPath>},
    {FillRgn, 24, fillRgn},
    {FrameRgn, 32, frameRgn},
    {InvertRgn, 20, invertRgn},
    {PaintRgn, 20, paintRgn},
    {GradientFill, 28, gradientFill},
};

} // namespace

Family drawingRecords() {
    return kRecords;
}

} // namespace EmfRecords
