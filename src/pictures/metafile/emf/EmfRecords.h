#pragma once

#include "MetafileBitmap.h"
#include "RecordPlayback.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

class EmfPlayer;
struct GdiRegion;

// The EMF records, by family: each family's file plays its records and lists them.
namespace EmfRecords {

enum Type : quint32 {
    PolyBezier = 2,
    Polygon = 3,
    Polyline = 4,
    PolyBezierTo = 5,
    PolylineTo = 6,
    PolyPolyline = 7,
    PolyPolygon = 8,
    SetWindowExtEx = 9,
    SetWindowOrgEx = 10,
    SetViewportExtEx = 11,
    SetViewportOrgEx = 12,
    Eof = 14,
    SetPixelV = 15,
    SetMapMode = 17,
    SetBkMode = 18,
    SetPolyFillMode = 19,
    SetRop2 = 20,
    SetStretchBltMode = 21,
    SetTextAlign = 22,
    SetTextColor = 24,
    SetBkColor = 25,
    OffsetClipRgn = 26,
    MoveToEx = 27,
    ExcludeClipRect = 29,
    IntersectClipRect = 30,
    ScaleViewportExtEx = 31,
    ScaleWindowExtEx = 32,
    SaveDc = 33,
    RestoreDc = 34,
    SetWorldTransform = 35,
    ModifyWorldTransform = 36,
    SelectObject = 37,
    CreatePen = 38,
    CreateBrushIndirect = 39,
    DeleteObject = 40,
    AngleArc = 41,
    Ellipse = 42,
    Rectangle = 43,
    RoundRect = 44,
    Arc = 45,
    Chord = 46,
    Pie = 47,
    SelectPalette = 48,
    CreatePalette = 49,
    LineTo = 54,
    ArcTo = 55,
    PolyDraw = 56,
    SetArcDirection = 57,
    SetMiterLimit = 58,
    BeginPath = 59,
    EndPath = 60,
    CloseFigure = 61,
    FillPath = 62,
    StrokeAndFillPath = 63,
    StrokePath = 64,
    SelectClipPath = 67,
    AbortPath = 68,
    GdiComment = 70,
    FillRgn = 71,
    FrameRgn = 72,
    InvertRgn = 73,
    PaintRgn = 74,
    ExtSelectClipRgn = 75,
    BitBlt = 76,
    StretchBlt = 77,
    SetDiBitsToDevice = 80,
    StretchDiBits = 81,
    ExtCreateFontIndirectW = 82,
    ExtTextOutA = 83,
    ExtTextOutW = 84,
    PolyBezier16 = 85,
    Polygon16 = 86,
    Polyline16 = 87,
    PolyBezierTo16 = 88,
    PolylineTo16 = 89,
    PolyPolyline16 = 90,
    PolyPolygon16 = 91,
    PolyDraw16 = 92,
    CreateMonoBrush = 93,
    CreateDibPatternBrushPt = 94,
    ExtCreatePen = 95,
    PolyTextOutA = 96,
    PolyTextOutW = 97,
    SmallTextOut = 108,
    AlphaBlend = 114,
    TransparentBlt = 116,
    GradientFill = 118,
};

// Fields the families share.
inline QColor colorRef(const ByteReader& r, qint64 at) {
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}
inline QPointF pointL(const ByteReader& r, qint64 at) {
    return QPointF(r.i32(at), r.i32(at + 4));
}
inline QRectF boxL(const ByteReader& r, qint64 at) {
    return QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)));
}
inline QTransform xform(const ByteReader& r, qint64 at) {
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16),
                      r.f32(at + 20));
}

// How the records both formats play alike store their fields (SharedRecords.h).
struct Fields {
    static constexpr qint64 kValueSize = 4;
    static quint32 value(const ByteReader& r) { return r.u32(0); }
    static constexpr qint64 kPointSize = 8;
    static QPointF point(const ByteReader& r) { return pointL(r, 0); }
    static constexpr qint64 kBoxSize = 16;
    static QRectF box(const ByteReader& r) { return boxL(r, 0); }
};

// A RegionData block: a 32-byte header and its rectangles. false when it does not fit.
bool readRegion(const ByteReader& r, GdiRegion& region);

// A bitmap carried in a record as header and bits at offsets from the record's start.
struct BitmapRef {
    quint32 infoOffset, infoSize, bitsOffset, bitsSize;
};

// The bitmap a record carries; false when the offsets point outside the record. image stays
// null when the record holds no bitmap or one that cannot be decoded.
bool readBitmap(const ByteReader& whole, BitmapRef ref, const MetafileBitmap::Options& options,
                QImage& image, bool* bottomUp = nullptr);

using Family = RecordPlayback::Family<EmfPlayer>;

// Mapping, the world transform, modes, colours, the current position, saved states, clipping.
Family stateRecords();
// Creating, selecting and deleting objects.
Family objectRecords();
// Lines, curves, shapes, paths, regions and gradients.
Family drawingRecords();
Family textRecords();
// Bitmaps and blits.
Family bitmapRecords();

} // namespace EmfRecords
