// EMF records that draw lines, curves, shapes, paths, regions and gradients.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"

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
bool poly(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool small = record.type >= PolyBezier16;
    QPolygonF points;
    if (!readPoints(r, 20, r.u32(16), small, points))
        return false;
    GdiCanvas& canvas = player.canvas();
    switch (small ? record.type - PolyBezier16 + PolyBezier : record.type) {
    case PolyBezier:
        canvas.polyBezier(points);
        break;
    case Polygon:
        canvas.polygon(points);
        break;
    case Polyline:
        canvas.polyline(points);
        break;
    case PolyBezierTo:
        canvas.polyBezierTo(points);
        break;
    default:
        canvas.polylineTo(points);
        break;
    }
    return true;
}

bool polyPoly(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool small = record.type >= PolyPolyline16;
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
    if (record.type == PolyPolygon || record.type == PolyPolygon16)
        player.canvas().polyPolygon(list);
    else
        player.canvas().polyPolyline(list);
    return true;
}

bool polyDraw(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool small = record.type == PolyDraw16;
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

// Ellipses and rectangles, given by their bounding box.
bool box(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (record.type == Ellipse)
        player.canvas().ellipse(boxL(r, 0));
    else
        player.canvas().rectangle(boxL(r, 0));
    return true;
}

bool roundRect(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.canvas().roundRect(boxL(r, 0), QSizeF(r.i32(16), r.i32(20)));
    return true;
}

bool arc(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const GdiCanvas::ArcKind kind = record.type == Arc     ? GdiCanvas::ArcKind::Arc
                                    : record.type == Chord ? GdiCanvas::ArcKind::Chord
                                    : record.type == Pie   ? GdiCanvas::ArcKind::Pie
                                                           : GdiCanvas::ArcKind::ArcTo;
    player.canvas().arc(boxL(r, 0), pointL(r, 16), pointL(r, 24), kind);
    return true;
}

// The path records: begin, end, abort, close a figure, and fill or stroke what was built.
bool path(EmfPlayer& player, const Record& record) {
    GdiCanvas& canvas = player.canvas();
    switch (record.type) {
    case BeginPath:
        canvas.beginPath();
        break;
    case EndPath:
        canvas.endPath();
        break;
    case CloseFigure:
        canvas.closeFigure();
        break;
    case FillPath:
        canvas.fillPath();
        break;
    case StrokeAndFillPath:
        canvas.strokeAndFillPath();
        break;
    case StrokePath:
        canvas.strokePath();
        break;
    default: // AbortPath
        canvas.abortPath();
        break;
    }
    return true;
}

// Filling, framing, painting and inverting a region the record carries.
bool region(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool withBrush = record.type == FillRgn || record.type == FrameRgn;
    const qint64 dataAt = record.type == FrameRgn ? 32 : withBrush ? 24 : 20;
    const qint64 size = r.u32(16);
    GdiRegion region;
    if (!r.has(dataAt, size) || !readRegion(r.sub(dataAt, size), region))
        return false;
    GdiBrush brush = player.dc().brush;
    if (withBrush) {
        const GdiObject object = player.object(r.u32(20));
        if (!std::holds_alternative<GdiBrush>(object))
            return true;
        brush = std::get<GdiBrush>(object);
    }
    GdiCanvas& canvas = player.canvas();
    if (record.type == FrameRgn)
        canvas.frameRegion(region, brush, QSizeF(r.i32(24), r.i32(28)));
    else if (record.type == InvertRgn)
        canvas.invertRegion(region);
    else
        canvas.fillRegion(region, brush);
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
    {PolyBezier, 20, poly},
    {Polygon, 20, poly},
    {Polyline, 20, poly},
    {PolyBezierTo, 20, poly},
    {PolylineTo, 20, poly},
    {PolyBezier16, 20, poly},
    {Polygon16, 20, poly},
    {Polyline16, 20, poly},
    {PolyBezierTo16, 20, poly},
    {PolylineTo16, 20, poly},
    {PolyPolyline, 24, polyPoly},
    {PolyPolygon, 24, polyPoly},
    {PolyPolyline16, 24, polyPoly},
    {PolyPolygon16, 24, polyPoly},
    {PolyDraw, 20, polyDraw},
    {PolyDraw16, 20, polyDraw},
    {SetPixelV, 12, setPixel},
    {LineTo, 8, lineTo},
    {AngleArc, 20, angleArc},
    {Ellipse, 16, box},
    {Rectangle, 16, box},
    {RoundRect, 24, roundRect},
    {Arc, 32, arc},
    {Chord, 32, arc},
    {Pie, 32, arc},
    {ArcTo, 32, arc},
    {BeginPath, 0, path},
    {EndPath, 0, path},
    {CloseFigure, 0, path},
    {FillPath, 0, path},
    {StrokeAndFillPath, 0, path},
    {StrokePath, 0, path},
    {AbortPath, 0, path},
    {FillRgn, 24, region},
    {FrameRgn, 32, region},
    {InvertRgn, 20, region},
    {PaintRgn, 20, region},
    {GradientFill, 28, gradientFill},
};

} // namespace

Family drawingRecords() {
    return kRecords;
}

} // namespace EmfRecords
