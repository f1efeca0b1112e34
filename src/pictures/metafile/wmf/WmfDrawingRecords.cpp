// WMF records that draw lines, shapes, pixels and regions.
#include "GdiCanvas.h"
#include "SharedRecords.h"
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

template <GdiCanvas::ArcKind kind> bool arc(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.canvas().arc(p.rect(4), p.point(2), p.point(0), kind);
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

template <void (GdiCanvas::*draw)(const QPolygonF&)>
bool poly(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    QPolygonF points;
    if (!readPoints(p, 1, p.u(0), points))
        return false;
    (player.canvas().*draw)(points);
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

// The region object a record names in its word `word`, or nullptr.
const GdiRegion* regionObject(WmfPlayer& player, const Params& p, qint64 word) {
    const GdiObject* object = player.object(p.u(word));
    return object ? std::get_if<GdiRegion>(object) : nullptr;
}

const GdiBrush* brushObject(WmfPlayer& player, const Params& p, qint64 word) {
    const GdiObject* object = player.object(p.u(word));
    return object ? std::get_if<GdiBrush>(object) : nullptr;
}

// Filling and framing a region object with a brush object; a record that names something else
// is skipped.
bool fillRegion(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiRegion* region = regionObject(player, p, 0);
    const GdiBrush* brush = brushObject(player, p, 1);
    if (region && brush)
        player.canvas().fillRegion(*region, *brush);
    return true;
}

bool frameRegion(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiRegion* region = regionObject(player, p, 0);
    const GdiBrush* brush = brushObject(player, p, 1);
    if (region && brush)
        player.canvas().frameRegion(*region, *brush, QSizeF(p.s(3), p.s(2)));
    return true;
}

// Painting a region object with the selected brush.
bool paintRegion(WmfPlayer& player, const Record& record) {
    if (const GdiRegion* region = regionObject(player, Params{record.params}, 0))
        player.canvas().fillRegion(*region, player.dc().brush);
    return true;
}

bool invertRegion(WmfPlayer& player, const Record& record) {
    if (const GdiRegion* region = regionObject(player, Params{record.params}, 0))
        player.canvas().invertRegion(*region);
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {LineTo, words(2), lineTo},
    {Arc, words(8), arc<GdiCanvas::ArcKind::Arc>},
    {Pie, words(8), arc<GdiCanvas::ArcKind::Pie>},
    {Chord, words(8), arc<GdiCanvas::ArcKind::Chord>},
    {Ellipse, Fields::kBoxSize, SharedRecords::canvasBox<Fields, &GdiCanvas::ellipse>},
    {Rectangle, Fields::kBoxSize, SharedRecords::canvasBox<Fields, &GdiCanvas::rectangle>},
    {RoundRect, words(6), roundRect},
    {SetPixel, words(4), setPixel},
    {Polygon, words(1), poly<&GdiCanvas::polygon>},
    {Polyline, words(1), poly<&GdiCanvas::polyline>},
    {PolyPolygon, words(1), polyPolygon},
    {FillRegion, words(2), fillRegion},
    {FrameRegion, words(4), frameRegion},
    {PaintRegion, words(1), paintRegion},
    {InvertRegion, words(1), invertRegion},
};

} // namespace

Family drawingRecords() {
    return kRecords;
}

} // namespace WmfRecords
