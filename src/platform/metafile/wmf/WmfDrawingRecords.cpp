// WMF records that draw lines, shapes, pixels and regions.
#include "GdiCanvas.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;

bool lineTo(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.canvas().lineTo(p.point(0));
    return true;
}

bool arc(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiCanvas::ArcKind kind = record.type == Arc   ? GdiCanvas::ArcKind::Arc
                                    : record.type == Pie ? GdiCanvas::ArcKind::Pie
                                                         : GdiCanvas::ArcKind::Chord;
    player.canvas().arc(p.rect(4), p.point(2), p.point(0), kind);
    return true;
}

// Ellipses and rectangles, given by their bounding box.
bool box(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    if (record.type == Ellipse)
        player.canvas().ellipse(p.rect(0));
    else
        player.canvas().rectangle(p.rect(0));
    return true;
}

bool roundRect(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.canvas().roundRect(p.rect(2), QSizeF(p.s(1), p.s(0)));
    return true;
}

bool setPixel(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.canvas().setPixel(p.point(2), p.colour(0));
    return true;
}

// `count` points of (x, y) words from word `at` on; false when they are not all there.
bool readPoints(const Params& p, qint64 at, qint64 count, QPolygonF& points) {
    if (!p.has(at + 2 * count))
        return false;
    points.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        points.append(QPointF(p.s(at + 2 * i), p.s(at + 2 * i + 1)));
    return true;
}

bool poly(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    QPolygonF points;
    if (!readPoints(p, 1, p.u(0), points))
        return false;
    if (record.type == Polygon)
        player.canvas().polygon(points);
    else
        player.canvas().polyline(points);
    return true;
}

bool polyPolygon(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const qint64 polygons = p.u(0);
    if (!p.has(1 + polygons))
        return false;
    qint64 at = 1 + polygons;
    QList<QPolygonF> list;
    list.reserve(polygons);
    for (qint64 k = 0; k < polygons; ++k) {
        const qint64 count = p.u(1 + k);
        QPolygonF points;
        if (!readPoints(p, at, count, points))
            return false;
        at += 2 * count;
        list.append(points);
    }
    player.canvas().polyPolygon(list);
    return true;
}

// Filling and framing a region object with a brush object.
bool regionWithBrush(WmfPlayer& player, const Record& record) {
    const bool frame = record.type == FrameRegion;
    const Params p{record.params};
    const GdiObject* region = player.object(p.u(0));
    const GdiObject* brush = player.object(p.u(1));
    if (!region || !brush || !std::holds_alternative<GdiRegion>(*region) ||
        !std::holds_alternative<GdiBrush>(*brush))
        return true;
    if (frame)
        player.canvas().frameRegion(std::get<GdiRegion>(*region), std::get<GdiBrush>(*brush),
                                    QSizeF(p.s(3), p.s(2)));
    else
        player.canvas().fillRegion(std::get<GdiRegion>(*region), std::get<GdiBrush>(*brush));
    return true;
}

// Painting a region object with the selected brush, or inverting it.
bool region(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiObject* region = player.object(p.u(0));
    if (!region || !std::holds_alternative<GdiRegion>(*region))
        return true;
    if (record.type == PaintRegion)
        player.canvas().fillRegion(std::get<GdiRegion>(*region), player.dc().brush);
    else
        player.canvas().invertRegion(std::get<GdiRegion>(*region));
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {LineTo, words(2), lineTo},
    {Arc, words(8), arc},
    {Pie, words(8), arc},
    {Chord, words(8), arc},
    {Ellipse, words(4), box},
    {Rectangle, words(4), box},
    {RoundRect, words(6), roundRect},
    {SetPixel, words(4), setPixel},
    {Polygon, words(1), poly},
    {Polyline, words(1), poly},
    {PolyPolygon, words(1), polyPolygon},
    {FillRegion, words(2), regionWithBrush},
    {FrameRegion, words(4), regionWithBrush},
    {PaintRegion, words(1), region},
    {InvertRegion, words(1), region},
};

} // namespace

Family drawingRecords() {
    return kRecords;
}

} // namespace WmfRecords
