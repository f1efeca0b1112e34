// WMF records that create, select and delete objects. Objects take the lowest free slot of the
// table in the order they are created.
#include "GdiCanvas.h"
#include "MetafileBitmap.h"
#include "SharedRecords.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;

bool selectObject(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiObject* object = player.object(p.u(0));
    if (!object)
        return true;
    // Selecting a region clips to it.
    if (const auto* region = std::get_if<GdiRegion>(object))
        player.canvas().selectLogicalClip(region);
    else
        player.dc().select(*object);
    return true;
}

bool selectPalette(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    if (const GdiObject* palette = player.object(p.u(0)))
        player.dc().select(*palette);
    return true;
}

bool deleteObject(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.deleteObject(p.u(0));
    return true;
}

bool createPen(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    GdiPen pen;
    const quint16 style = p.u(0);
    const int cap = (style >> 8) & 0x0f;
    const int join = (style >> 12) & 0x0f;
    pen.style = style & 0x0f;
    pen.cap = cap <= GdiPen::CapFlat ? GdiPen::Cap(cap) : GdiPen::CapRound;
    pen.join = join <= GdiPen::JoinMiter ? GdiPen::Join(join) : GdiPen::JoinRound;
    pen.width = std::abs(p.s(1));
    pen.color = p.colour(3);
    if (pen.style > GdiPen::Alternate)
        pen.style = GdiPen::Solid;
    player.create(pen);
    return true;
}

bool createBrush(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    GdiBrush brush;
    brush.style = p.u(0);
    brush.color = p.colour(1);
    brush.hatch = p.u(3);
    if (brush.style != GdiBrush::Solid && brush.style != GdiBrush::Null &&
        brush.style != GdiBrush::Hatched)
        brush.style = GdiBrush::Solid; // patterns need a bitmap, which this record lacks
    player.create(brush);
    return true;
}

bool createFont(WmfPlayer& player, const Record& record) {
    player.create(SharedRecords::logFont(record.params, 2));
    return true;
}

bool createPalette(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    const qint64 count = p.u(1);
    if (!r.has(4, count * 4))
        return false;
    GdiPalette palette;
    palette.entries.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        palette.entries.append(qRgb(r.u8(4 + 4 * i), r.u8(5 + 4 * i), r.u8(6 + 4 * i)));
    player.create(palette);
    return true;
}

// A pattern brush whose bitmap could not be read paints black.
GdiBrush patternBrush(int style, QImage pattern) {
    GdiBrush brush;
    brush.style = style;
    brush.pattern = std::move(pattern);
    if (brush.pattern.isNull()) {
        brush.style = GdiBrush::Solid;
        brush.color = Qt::black;
    }
    return brush;
}

bool createPatternBrush(WmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiBrush brush = patternBrush(GdiBrush::Pattern, MetafileBitmap::decodeDeviceDependent(r, 28));
    brush.monochrome = r.u8(9) == 1;
    player.create(brush);
    return true;
}

bool createDibPatternBrush(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    MetafileBitmap::Options options;
    options.usage = p.u(1);
    options.palette = &player.dc().palette;
    player.create(
        patternBrush(GdiBrush::DibPattern, MetafileBitmap::decodePacked(r.from(4), options)));
    return true;
}

// nextInChain, objectType, objectCount, regionSize, scanCount, maxScan, bounding box, scans
bool createRegion(WmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiRegion region;
    const int scanCount = r.has(0, 22) ? r.u16(10) : 0;
    qint64 at = 22;
    for (int scan = 0; scan < scanCount && r.has(at, 6); ++scan) {
        const int count = r.u16(at);
        const int top = r.i16(at + 2);
        const int bottom = r.i16(at + 4);
        at += 6;
        if (!r.has(at, qint64(count) * 2 + 2))
            break;
        for (int i = 0; i + 1 < count; i += 2) {
            const int left = r.i16(at + 2 * i);
            const int right = r.i16(at + 2 * i + 2);
            if (right > left && bottom > top)
                region.rectangles.append(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
        }
        at += qint64(count) * 2 + 2; // the points and the closing count
    }
    player.create(region);
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {SelectObject, words(1), selectObject},
    {SelectPalette, words(1), selectPalette},
    {DeleteObject, words(1), deleteObject},
    {CreatePenIndirect, words(5), createPen},
    {CreateBrushIndirect, words(4), createBrush},
    {CreateFontIndirect, words(9), createFont},
    {CreatePalette, words(2), createPalette},
    {CreatePatternBrush, 0, createPatternBrush},
    {DibCreatePatternBrush, words(2), createDibPatternBrush},
    {CreateRegion, 0, createRegion},
};

} // namespace

Family objectRecords() {
    return kRecords;
}

} // namespace WmfRecords
