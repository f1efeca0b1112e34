#pragma once

#include "RecordPlayback.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

class WmfPlayer;

// The WMF records, by family: each family's file plays its records and lists them.
namespace WmfRecords {

enum Function : quint32 {
    Eof = 0x0000,
    SaveDc = 0x001e,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00f7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDc = 0x0127,
    InvertRegion = 0x012a,
    PaintRegion = 0x012b,
    SelectClipRegion = 0x012c,
    SelectObject = 0x012d,
    SetTextAlign = 0x012e,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    SetLayout = 0x0149,
    DeleteObject = 0x01f0,
    CreatePatternBrush = 0x01f9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetTextJustification = 0x020a,
    SetWindowOrg = 0x020b,
    SetWindowExt = 0x020c,
    SetViewportOrg = 0x020d,
    SetViewportExt = 0x020e,
    OffsetWindowOrg = 0x020f,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRgn = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02fa,
    CreateFontIndirect = 0x02fb,
    CreateBrushIndirect = 0x02fc,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041b,
    SetPixel = 0x041f,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061c,
    PatBlt = 0x061d,
    Escape = 0x0626,
    CreateRegion = 0x06ff,
    Arc = 0x0817,
    Pie = 0x081a,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0a32,
    StretchBlt = 0x0b23,
    DibStretchBlt = 0x0b41,
    SetDibToDev = 0x0d33,
    StretchDib = 0x0f43,
};

// Parameter words of a WMF record, read by index; `has` checks that words exist.
struct Params {
    const ByteReader& r;
    bool has(qint64 words) const { return r.has(0, words * 2); }
    qint16 s(qint64 word) const { return r.i16(word * 2); }
    quint16 u(qint64 word) const { return r.u16(word * 2); }
    QPointF point(qint64 yWord) const { return QPointF(s(yWord + 1), s(yWord)); } // (y, x) order
    // (bottom, right, top, left) order, as rectangles are stored
    QRectF rect(qint64 bottomWord) const {
        return QRectF(QPointF(s(bottomWord + 3), s(bottomWord + 2)),
                      QPointF(s(bottomWord + 1), s(bottomWord)));
    }
    QColor colour(qint64 word) const {
        return QColor(r.u8(word * 2), r.u8(word * 2 + 1), r.u8(word * 2 + 2));
    }
};

// The size of `count` parameter words, for the least sizes of the record tables.
constexpr qint64 words(qint64 count) {
    return count * 2;
}

// How the records both formats play alike store their fields (SharedRecords.h).
struct Fields {
    static constexpr qint64 kValueSize = 2;
    static quint32 value(const ByteReader& r) { return r.u16(0); }
    static constexpr qint64 kPointSize = 4;
    static QPointF point(const ByteReader& r) { return Params{r}.point(0); }
    static constexpr qint64 kBoxSize = 8;
    static QRectF box(const ByteReader& r) { return Params{r}.rect(0); }
};

using Family = RecordPlayback::Family<WmfPlayer>;

// Mapping, modes, colours, the current position, saved states and clipping.
Family stateRecords();
// Creating, selecting and deleting objects.
Family objectRecords();
// Lines, shapes, pixels and regions.
Family drawingRecords();
Family textRecords();
// Bitmaps and blits.
Family bitmapRecords();

} // namespace WmfRecords
