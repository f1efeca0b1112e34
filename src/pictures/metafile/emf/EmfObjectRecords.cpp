// EMF records that create, select and delete objects. Each creation names its slot of the table.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "SharedRecords.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;

// Selecting an object or a palette by its handle.
bool selectObject(EmfPlayer& player, const Record& record) {
    player.select(record.params.u32(0));
    return true;
}

bool deleteObject(EmfPlayer& player, const Record& record) {
    player.objects().remove(record.params.u32(0));
    return true;
}

int penStyle(quint32 style) {
    const int kind = int(style & 0x0f);
    return kind > GdiPen::Alternate ? GdiPen::Solid : kind;
}

bool createPen(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiPen pen;
    pen.style = penStyle(r.u32(4));
    pen.width = std::abs(double(r.i32(8)));
    pen.color = colorRef(r, 16);
    player.objects().putAt(r.u32(0), pen);
    return true;
}

bool extCreatePen(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiPen pen;
    const quint32 style = r.u32(20);
    pen.style = penStyle(style);
    const quint32 cap = (style >> 8) & 0x0f;
    const quint32 join = (style >> 12) & 0x0f;
    pen.cap = cap <= GdiPen::CapFlat ? GdiPen::Cap(cap) : GdiPen::CapRound;
    pen.join = join <= GdiPen::JoinMiter ? GdiPen::Join(join) : GdiPen::JoinRound;
    pen.geometric = style & 0x00010000;
    pen.width = pen.geometric ? double(r.u32(24)) : 0.0;
    if (r.u32(28) == 1) // a hollow brush draws nothing
        pen.style = GdiPen::Null;
    pen.color = colorRef(r, 32);
    const qint64 entries = r.u32(40);
    if (pen.style == GdiPen::UserStyle) {
        if (entries > 64 || !r.has(44, entries * 4))
            return false;
        for (qint64 i = 0; i < entries; ++i)
            pen.dashes.append(r.u32(44 + 4 * i));
    }
    player.objects().putAt(r.u32(0), pen);
    return true;
}

bool createBrush(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiBrush brush;
    brush.style = int(r.u32(4));
    brush.color = colorRef(r, 8);
    brush.hatch = int(r.u32(12));
    if (brush.style != GdiBrush::Solid && brush.style != GdiBrush::Null &&
        brush.style != GdiBrush::Hatched)
        brush.style = GdiBrush::Solid;
    player.objects().putAt(r.u32(0), brush);
    return true;
}

bool createPatternBrush(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    GdiBrush brush;
    brush.style = GdiBrush::DibPattern;
    MetafileBitmap::Options options;
    options.usage = int(r.u32(4));
    options.palette = &player.dc().palette;
    if (!readBitmap(record.whole, {r.u32(8), r.u32(12), r.u32(16), r.u32(20)}, options,
                    brush.pattern))
        return false;
    brush.monochrome = record.type == CreateMonoBrush;
    if (brush.pattern.isNull()) {
        brush.style = GdiBrush::Solid;
        brush.color = Qt::black;
    }
    player.objects().putAt(r.u32(0), brush);
    return true;
}

bool createFont(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    player.objects().putAt(r.u32(0), SharedRecords::logFont(r.from(4), 4));
    return true;
}

bool createPalette(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const qint64 count = r.u16(6);
    if (!r.has(8, count * 4))
        return false;
    GdiPalette palette;
    for (qint64 i = 0; i < count; ++i)
        palette.entries.append(qRgb(r.u8(8 + 4 * i), r.u8(9 + 4 * i), r.u8(10 + 4 * i)));
    player.objects().putAt(r.u32(0), palette);
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {SelectObject, 4, selectObject},
    {SelectPalette, 4, selectObject},
    {DeleteObject, 4, deleteObject},
    {CreatePen, 20, createPen},
    {ExtCreatePen, 44, extCreatePen},
    {CreateBrushIndirect, 16, createBrush},
    {CreateMonoBrush, 24, createPatternBrush},
    {CreateDibPatternBrushPt, 24, createPatternBrush},
    {ExtCreateFontIndirectW, 4 + 92, createFont},
    {CreatePalette, 8, createPalette},
};

} // namespace

Family objectRecords() {
    return kRecords;
}

} // namespace EmfRecords
