#include "EmfPlayer.h"

#include "GdiCanvas.h"
#include "MetafileBitmap.h"
#include "PictureLimits.h"
#include "RasterOperation.h"
#include "TextDecoder.h"

#include <cmath>
#include <cstring>

namespace {

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

constexpr quint32 kEmfPlusIdentifier = 0x2b464d45; // "EMF+"
constexpr quint16 kEmfPlusHeader = 0x4001;
constexpr quint32 kPublicIdentifier = 0x43494447; // "GDIC"
constexpr quint32 kWindowsMetafileComment = 0x80000001;
constexpr quint32 kSmallChars = 0x200;

QColor colorRef(const ByteReader& r, qint64 at) {
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}
QPointF pointL(const ByteReader& r, qint64 at) {
    return QPointF(r.i32(at), r.i32(at + 4));
}
QRectF boxL(const ByteReader& r, qint64 at) {
    return QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)));
}

QTransform xform(const ByteReader& r, qint64 at) {
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16),
                      r.f32(at + 20));
}

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

// A RegionData block: a 32-byte header and its rectangles. false when it does not fit.
bool readRegion(const ByteReader& r, GdiRegion& region) {
    if (!r.has(0, 32))
        return false;
    const qint64 count = r.u32(8);
    const qint64 headerSize = r.u32(0) >= 32 ? r.u32(0) : 32;
    if (!r.has(headerSize, count * 16))
        return false;
    region.rectangles.reserve(qMin<qint64>(count, 4096));
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = headerSize + i * 16;
        const qint64 left = r.i32(at), top = r.i32(at + 4), right = r.i32(at + 8),
                     bottom = r.i32(at + 12);
        if (right > left && bottom > top)
            region.rectangles.append(
                QRect(QPoint(int(left), int(top)), QPoint(int(right - 1), int(bottom - 1))));
    }
    return true;
}

// A bitmap carried in a record as header and bits at offsets from the record's start.
struct BitmapRef {
    quint32 infoOffset, infoSize, bitsOffset, bitsSize;
};

// false when the offsets point outside the record; image stays null when it holds no bitmap
// or one we cannot decode.
bool readBitmap(const ByteReader& whole, BitmapRef ref, const MetafileBitmap::Options& options,
                QImage& image, bool* bottomUp = nullptr) {
    if (ref.infoSize == 0)
        return true;
    if (!whole.has(ref.infoOffset, ref.infoSize) || !whole.has(ref.bitsOffset, ref.bitsSize))
        return false;
    const ByteReader info = whole.sub(ref.infoOffset, ref.infoSize);
    image = MetafileBitmap::decode(info, whole.sub(ref.bitsOffset, ref.bitsSize), options);
    if (bottomUp)
        *bottomUp = MetafileBitmap::storedBottomUp(info);
    return true;
}

} // namespace

EmfPlayer::EmfPlayer(GdiCanvas& canvas, quint32 handles) : m_canvas(canvas), m_objects(handles) {}

void EmfPlayer::play(QByteArrayView data, qint64 start) {
    RecordWalker walker(RecordWalker::Format::Emf, data, start);
    RecordWalker::Record record;
    while (!m_canvas.limitReached() && walker.next(record)) {
        if (record.type == Eof)
            break;
        if (!playRecord(record)) {
            m_malformed = true;
            return;
        }
    }
    if (walker.malformed())
        m_malformed = true;
    if (walker.hitRecordLimit())
        m_canvas.reachLimit();
}

void EmfPlayer::select(quint32 handle) {
    if (handle & GdiStockObjects::kStockFlag) {
        m_canvas.dc().select(GdiStockObjects::object(handle));
        return;
    }
    if (const GdiObject* object = m_objects.find(handle))
        m_canvas.dc().select(*object);
}

void EmfPlayer::readComment(const RecordWalker::Record& record) {
    const ByteReader& r = record.params;
    if (r.u32(4) == kPublicIdentifier && r.u32(8) == kWindowsMetafileComment) {
        // version, checksum, flags, then the size and bytes of the WMF
        const qint64 size = r.u32(24);
        if (m_embeddedWmf.isEmpty() && r.has(28, size))
            m_embeddedWmf = r.slice(28, size).toByteArray();
        return;
    }
    if (r.u32(4) != kEmfPlusIdentifier)
        return;
    m_sawEmfPlus = true;
    // The first EMF+ record of the first such comment is the EMF+ header; bit 0 of its flags
    // says the plain records draw the picture too.
    if (r.has(8, 12) && r.u16(8) == kEmfPlusHeader)
        m_emfPlusDual = r.u16(10) & 1;
}

bool EmfPlayer::playRecord(const RecordWalker::Record& record) {
    const ByteReader& r = record.params;
    const ByteReader& whole = record.whole;
    DeviceContext& dc = m_canvas.dc();
    GdiCanvas& c = m_canvas;
    auto need = [&](qint64 bytes) { return r.has(0, bytes); };

    switch (record.type) {
    case PolyBezier:
    case Polygon:
    case Polyline:
    case PolyBezierTo:
    case PolylineTo:
    case PolyBezier16:
    case Polygon16:
    case Polyline16:
    case PolyBezierTo16:
    case PolylineTo16: {
        if (!need(20))
            return false;
        const bool small = record.type >= PolyBezier16;
        QPolygonF points;
        if (!readPoints(r, 20, r.u32(16), small, points))
            return false;
        switch (small ? record.type - PolyBezier16 + PolyBezier : record.type) {
        case PolyBezier:
            c.polyBezier(points);
            break;
        case Polygon:
            c.polygon(points);
            break;
        case Polyline:
            c.polyline(points);
            break;
        case PolyBezierTo:
            c.polyBezierTo(points);
            break;
        default:
            c.polylineTo(points);
            break;
        }
        return true;
    }
    case PolyPolyline:
    case PolyPolygon:
    case PolyPolyline16:
    case PolyPolygon16: {
        if (!need(24))
            return false;
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
            c.polyPolygon(list);
        else
            c.polyPolyline(list);
        return true;
    }
    case PolyDraw:
    case PolyDraw16: {
        if (!need(20))
            return false;
        const bool small = record.type == PolyDraw16;
        const qint64 count = r.u32(16);
        QPolygonF points;
        if (!readPoints(r, 20, count, small, points))
            return false;
        const qint64 typesAt = 20 + count * (small ? 4 : 8);
        if (!r.has(typesAt, count))
            return false;
        c.polyDraw(points, r.slice(typesAt, count).toByteArray());
        return true;
    }
    case SetWindowExtEx:
        if (!need(8))
            return false;
        dc.setWindowExt(pointL(r, 0));
        return true;
    case SetWindowOrgEx:
        if (!need(8))
            return false;
        dc.setWindowOrg(pointL(r, 0));
        return true;
    case SetViewportExtEx:
        if (!need(8))
            return false;
        dc.setViewportExt(pointL(r, 0));
        return true;
    case SetViewportOrgEx:
        if (!need(8))
            return false;
        dc.setViewportOrg(pointL(r, 0));
        return true;
    case ScaleViewportExtEx:
    case ScaleWindowExtEx:
        if (!need(16))
            return false;
        if (record.type == ScaleViewportExtEx)
            dc.scaleViewportExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
        else
            dc.scaleWindowExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
        return true;
    case SetPixelV:
        if (!need(12))
            return false;
        c.setPixel(pointL(r, 0), colorRef(r, 8));
        return true;
    case SetMapMode:
        if (!need(4))
            return false;
        dc.setMapMode(int(r.u32(0)));
        return true;
    case SetBkMode:
        if (!need(4))
            return false;
        dc.backgroundMode = r.u32(0) == DeviceContext::Transparent ? DeviceContext::Transparent
                                                                   : DeviceContext::Opaque;
        return true;
    case SetPolyFillMode:
        if (!need(4))
            return false;
        dc.fillMode =
            r.u32(0) == DeviceContext::Winding ? DeviceContext::Winding : DeviceContext::Alternate;
        return true;
    case SetRop2:
        if (!need(4))
            return false;
        dc.rop2 = int(r.u32(0) & 0xff);
        return true;
    case SetStretchBltMode:
        if (!need(4))
            return false;
        dc.stretchMode = int(r.u32(0) & 0xff);
        return true;
    case SetTextAlign:
        if (!need(4))
            return false;
        dc.textAlign = r.u32(0);
        return true;
    case SetTextColor:
        if (!need(4))
            return false;
        dc.textColor = colorRef(r, 0);
        return true;
    case SetBkColor:
        if (!need(4))
            return false;
        dc.backgroundColor = colorRef(r, 0);
        return true;
    case OffsetClipRgn:
        if (!need(8))
            return false;
        c.offsetClip(pointL(r, 0));
        return true;
    case MoveToEx:
        if (!need(8))
            return false;
        c.moveTo(pointL(r, 0));
        return true;
    case LineTo:
        if (!need(8))
            return false;
        c.lineTo(pointL(r, 0));
        return true;
    case ExcludeClipRect:
    case IntersectClipRect:
        if (!need(16))
            return false;
        if (record.type == ExcludeClipRect)
            c.excludeClipRect(boxL(r, 0));
        else
            c.intersectClipRect(boxL(r, 0));
        return true;
    case SaveDc:
        c.saveState();
        return true;
    case RestoreDc:
        if (!need(4))
            return false;
        // EMF names only earlier states, counting back from the latest.
        if (r.i32(0) < 0)
            c.restoreState(r.i32(0));
        return true;
    case SetWorldTransform:
        if (!need(24))
            return false;
        dc.setWorld(xform(r, 0));
        return true;
    case ModifyWorldTransform:
        if (!need(28))
            return false;
        dc.modifyWorld(xform(r, 0), r.u32(24));
        return true;
    case SelectObject:
        if (!need(4))
            return false;
        select(r.u32(0));
        return true;
    case DeleteObject:
        if (!need(4))
            return false;
        m_objects.remove(r.u32(0));
        return true;
    case CreatePen: {
        if (!need(20))
            return false;
        GdiPen pen;
        const quint32 style = r.u32(4);
        pen.style = int(style & 0x0f);
        if (pen.style > GdiPen::Alternate)
            pen.style = GdiPen::Solid;
        pen.width = std::abs(double(r.i32(8)));
        pen.color = colorRef(r, 16);
        m_objects.putAt(r.u32(0), pen);
        return true;
    }
    case ExtCreatePen: {
        if (!need(44))
            return false;
        GdiPen pen;
        const quint32 style = r.u32(20);
        pen.style = int(style & 0x0f);
        if (pen.style > GdiPen::Alternate)
            pen.style = GdiPen::Solid;
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
        m_objects.putAt(r.u32(0), pen);
        return true;
    }
    case CreateBrushIndirect: {
        if (!need(16))
            return false;
        GdiBrush brush;
        brush.style = int(r.u32(4));
        brush.color = colorRef(r, 8);
        brush.hatch = int(r.u32(12));
        if (brush.style != GdiBrush::Solid && brush.style != GdiBrush::Null &&
            brush.style != GdiBrush::Hatched)
            brush.style = GdiBrush::Solid;
        m_objects.putAt(r.u32(0), brush);
        return true;
    }
    case CreateMonoBrush:
    case CreateDibPatternBrushPt: {
        if (!need(24))
            return false;
        GdiBrush brush;
        brush.style = GdiBrush::DibPattern;
        MetafileBitmap::Options options;
        options.usage = int(r.u32(4));
        options.palette = &dc.palette;
        if (!readBitmap(whole, {r.u32(8), r.u32(12), r.u32(16), r.u32(20)}, options, brush.pattern))
            return false;
        brush.monochrome = record.type == CreateMonoBrush;
        if (brush.pattern.isNull()) {
            brush.style = GdiBrush::Solid;
            brush.color = Qt::black;
        }
        m_objects.putAt(r.u32(0), brush);
        return true;
    }
    case ExtCreateFontIndirectW: {
        if (!need(4 + 92))
            return false;
        GdiFont font;
        font.height = r.i32(4);
        font.width = r.i32(8);
        font.escapement = r.i32(12);
        font.weight = r.i32(20);
        font.italic = r.u8(24);
        font.underline = r.u8(25);
        font.strikeOut = r.u8(26);
        font.charSet = r.u8(27);
        QString face;
        for (int i = 0; i < 32; ++i) {
            const char16_t ch = r.u16(32 + 2 * i);
            if (ch == 0)
                break;
            face.append(QChar(ch));
        }
        font.face = face.trimmed();
        m_objects.putAt(r.u32(0), font);
        return true;
    }
    case CreatePalette: {
        if (!need(8))
            return false;
        const qint64 count = r.u16(6);
        if (!r.has(8, count * 4))
            return false;
        GdiPalette palette;
        for (qint64 i = 0; i < count; ++i)
            palette.entries.append(qRgb(r.u8(8 + 4 * i), r.u8(9 + 4 * i), r.u8(10 + 4 * i)));
        m_objects.putAt(r.u32(0), palette);
        return true;
    }
    case SelectPalette:
        if (!need(4))
            return false;
        select(r.u32(0));
        return true;
    case AngleArc:
        if (!need(20))
            return false;
        c.angleArc(pointL(r, 0), r.u32(8), r.f32(12), r.f32(16));
        return true;
    case Ellipse:
        if (!need(16))
            return false;
        c.ellipse(boxL(r, 0));
        return true;
    case Rectangle:
        if (!need(16))
            return false;
        c.rectangle(boxL(r, 0));
        return true;
    case RoundRect:
        if (!need(24))
            return false;
        c.roundRect(boxL(r, 0), QSizeF(r.i32(16), r.i32(20)));
        return true;
    case Arc:
    case Chord:
    case Pie:
    case ArcTo: {
        if (!need(32))
            return false;
        const GdiCanvas::ArcKind kind = record.type == Arc     ? GdiCanvas::ArcKind::Arc
                                        : record.type == Chord ? GdiCanvas::ArcKind::Chord
                                        : record.type == Pie   ? GdiCanvas::ArcKind::Pie
                                                               : GdiCanvas::ArcKind::ArcTo;
        c.arc(boxL(r, 0), pointL(r, 16), pointL(r, 24), kind);
        return true;
    }
    case SetArcDirection:
        if (!need(4))
            return false;
        dc.arcDirection = r.u32(0) == DeviceContext::Clockwise ? DeviceContext::Clockwise
                                                               : DeviceContext::CounterClockwise;
        return true;
    case SetMiterLimit: {
        if (!need(4))
            return false;
        // Written as an integer by GDI and as a float by some other writers.
        const quint32 raw = r.u32(0);
        double limit = raw;
        if (raw > 0xffff)
            limit = r.f32(0);
        if (limit >= 1 && limit < 1000)
            dc.miterLimit = limit;
        return true;
    }
    case BeginPath:
        c.beginPath();
        return true;
    case EndPath:
        c.endPath();
        return true;
    case CloseFigure:
        c.closeFigure();
        return true;
    case FillPath:
        c.fillPath();
        return true;
    case StrokeAndFillPath:
        c.strokeAndFillPath();
        return true;
    case StrokePath:
        c.strokePath();
        return true;
    case AbortPath:
        c.abortPath();
        return true;
    case SelectClipPath:
        if (!need(4))
            return false;
        c.selectClipPath(int(r.u32(0)));
        return true;
    case GdiComment:
        readComment(record);
        return true;
    case FillRgn:
    case FrameRgn:
    case InvertRgn:
    case PaintRgn: {
        const bool withBrush = record.type == FillRgn || record.type == FrameRgn;
        const qint64 dataAt = record.type == FrameRgn ? 32 : withBrush ? 24 : 20;
        if (!need(dataAt))
            return false;
        const qint64 size = r.u32(16);
        GdiRegion region;
        if (!r.has(dataAt, size) || !readRegion(r.sub(dataAt, size), region))
            return false;
        GdiBrush brush = dc.brush;
        if (withBrush) {
            const quint32 handle = r.u32(20);
            const GdiObject object =
                (handle & GdiStockObjects::kStockFlag)
                    ? GdiStockObjects::object(handle)
                    : (m_objects.find(handle) ? *m_objects.find(handle) : GdiObject());
            if (!std::holds_alternative<GdiBrush>(object))
                return true;
            brush = std::get<GdiBrush>(object);
        }
        if (record.type == FrameRgn)
            c.frameRegion(region, brush, QSizeF(r.i32(24), r.i32(28)));
        else if (record.type == InvertRgn)
            c.invertRegion(region);
        else
            c.fillRegion(region, brush);
        return true;
    }
    case ExtSelectClipRgn: {
        if (!need(8))
            return false;
        const qint64 size = r.u32(0);
        const int mode = int(r.u32(4));
        if (size == 0) {
            c.combineDeviceClip(nullptr, mode);
            return true;
        }
        GdiRegion region;
        if (!r.has(8, size) || !readRegion(r.sub(8, size), region))
            return false;
        c.combineDeviceClip(&region, mode);
        return true;
    }
    case BitBlt:
    case StretchBlt: {
        const bool stretch = record.type == StretchBlt;
        if (!need(stretch ? 100 : 92))
            return false;
        const QRectF dest(r.i32(16), r.i32(20), r.i32(24), r.i32(28));
        const quint32 rop = r.u32(32);
        QRectF source(r.i32(36), r.i32(40), dest.width(), dest.height());
        if (stretch)
            source.setSize(QSizeF(r.i32(92), r.i32(96)));
        MetafileBitmap::Options options;
        options.usage = int(r.u32(72));
        options.palette = &dc.palette;
        QImage image;
        if (!readBitmap(whole, {r.u32(76), r.u32(80), r.u32(84), r.u32(88)}, options, image))
            return false;
        if (r.u32(80) != 0 && image.isNull())
            return true; // a bitmap we cannot read is skipped
        // The source transform (at 44) places the source in its device context; ignored, as
        // writers leave it the identity.
        c.bitBlt(dest, image, source, rop);
        return true;
    }
    case StretchDiBits:
    case SetDiBitsToDevice: {
        const bool stretch = record.type == StretchDiBits;
        if (!need(stretch ? 72 : 68))
            return false;
        QRectF source(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
        QRectF dest(r.i32(16), r.i32(20), source.width(), source.height());
        quint32 rop = 0x00cc0020;
        if (stretch) {
            rop = r.u32(60);
            dest.setSize(QSizeF(r.i32(64), r.i32(68)));
        }
        MetafileBitmap::Options options;
        options.usage = int(r.u32(56));
        options.palette = &dc.palette;
        QImage image;
        bool bottomUp = false;
        if (!readBitmap(whole, {r.u32(40), r.u32(44), r.u32(48), r.u32(52)}, options, image,
                        &bottomUp))
            return false;
        if (image.isNull() && !RasterOperation::ignoresSource(quint8((rop >> 16) & 0xff)))
            return true;
        // The source rectangle counts rows from the bottom of a bottom-up bitmap.
        if (!image.isNull() && bottomUp)
            source.moveTop(image.height() - source.bottom());
        c.bitBlt(dest, image, source, rop);
        return true;
    }
    case AlphaBlend:
    case TransparentBlt: {
        if (!need(100))
            return false;
        const QRectF dest(r.i32(16), r.i32(20), r.i32(24), r.i32(28));
        const QRectF source(r.i32(36), r.i32(40), r.i32(92), r.i32(96));
        const bool alpha = record.type == AlphaBlend;
        const bool perPixel = alpha && (r.u8(35) & 0x01);
        MetafileBitmap::Options options;
        options.usage = int(r.u32(72));
        options.palette = &dc.palette;
        options.keepAlpha = perPixel;
        QImage image;
        if (!readBitmap(whole, {r.u32(76), r.u32(80), r.u32(84), r.u32(88)}, options, image))
            return false;
        if (image.isNull())
            return true;
        if (alpha)
            c.alphaBlend(dest, image, source, r.u8(34), perPixel);
        else
            c.transparentBlt(dest, image, source, qRgb(r.u8(32), r.u8(33), r.u8(34)));
        return true;
    }
    case GradientFill: {
        if (!need(28))
            return false;
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
            vertices.append({pointL(r, at),
                             QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8)});
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
        c.gradientFill(vertices, meshes, mode);
        return true;
    }
    case ExtTextOutA:
    case ExtTextOutW: {
        if (!need(48))
            return false;
        GdiCanvas::TextRun run;
        run.advancedMode = r.u32(16) == 2;
        run.reference = pointL(r, 28);
        const qint64 chars = r.u32(36);
        const qint64 stringAt = r.u32(40);
        run.options = r.u32(44);
        qint64 dxField = 48;
        if (!(run.options & GdiCanvas::TextRun::NoRect)) {
            if (!need(68))
                return false;
            run.rectangle = boxL(r, 48);
            dxField = 64;
        }
        if (!r.has(dxField, 4))
            return false;
        const bool wide = record.type == ExtTextOutW;
        const qint64 bytes = chars * (wide ? 2 : 1);
        if (chars > MetafileLimits::kLongestText || (chars > 0 && !whole.has(stringAt, bytes)))
            return false;
        QList<int> bytesPerChar;
        if (wide) {
            run.text.resize(chars);
            for (qint64 i = 0; i < chars; ++i)
                run.text[i] = QChar(char16_t(whole.u16(stringAt + 2 * i)));
            bytesPerChar = QList<int>(chars, 1);
        } else {
            run.text = TextDecoder::decode(whole.slice(stringAt, bytes), dc.font.charSet,
                                           dc.font.face, &bytesPerChar);
        }
        // Advances: one 32-bit value per character (two with PDY); optional.
        const qint64 dxAt = r.u32(dxField);
        const bool pdy = run.options & GdiCanvas::TextRun::PdY;
        const qint64 per = pdy ? 8 : 4;
        if (dxAt != 0 && chars > 0 && whole.has(dxAt, chars * per) &&
            bytesPerChar.size() == run.text.size()) {
            run.takeAdvances(bytesPerChar, [&](qint64 byte, bool rising) {
                return whole.i32(dxAt + byte * per + (rising ? 4 : 0));
            });
        }
        c.text(run);
        return true;
    }
    case PolyTextOutA:
    case PolyTextOutW: {
        if (!need(32))
            return false;
        const bool advanced = r.u32(16) == 2;
        const qint64 strings = r.u32(28);
        if (!r.has(32, strings * 40))
            return false;
        const bool wide = record.type == PolyTextOutW;
        for (qint64 s = 0; s < strings; ++s) {
            const qint64 at = 32 + s * 40;
            GdiCanvas::TextRun run;
            run.advancedMode = advanced;
            run.reference = pointL(r, at);
            const qint64 chars = r.u32(at + 8);
            const qint64 stringAt = r.u32(at + 12);
            run.options = r.u32(at + 16) | GdiCanvas::TextRun::NoRect;
            const qint64 bytes = chars * (wide ? 2 : 1);
            if (chars > MetafileLimits::kLongestText || !whole.has(stringAt, bytes))
                return false;
            if (wide) {
                for (qint64 i = 0; i < chars; ++i)
                    run.text.append(QChar(char16_t(whole.u16(stringAt + 2 * i))));
            } else {
                run.text = TextDecoder::decode(whole.slice(stringAt, bytes), dc.font.charSet,
                                               dc.font.face, nullptr);
            }
            const qint64 dxAt = r.u32(at + 36);
            if (dxAt != 0 && whole.has(dxAt, chars * 4) && run.text.size() == chars)
                for (qint64 i = 0; i < chars; ++i)
                    run.advances.append(whole.i32(dxAt + 4 * i));
            c.text(run);
        }
        return true;
    }
    case SmallTextOut: {
        if (!need(28))
            return false;
        GdiCanvas::TextRun run;
        run.reference = pointL(r, 0);
        const qint64 chars = r.u32(8);
        const quint32 options = r.u32(12);
        run.options = options & ~kSmallChars;
        run.advancedMode = r.u32(16) == 2;
        qint64 at = 28;
        if (!(options & GdiCanvas::TextRun::NoRect)) {
            if (!need(44))
                return false;
            run.rectangle = boxL(r, 28);
            at = 44;
        }
        const bool narrow = options & kSmallChars;
        const qint64 bytes = chars * (narrow ? 1 : 2);
        if (chars > MetafileLimits::kLongestText || !r.has(at, bytes))
            return false;
        if (narrow) {
            run.text =
                TextDecoder::decode(r.slice(at, bytes), dc.font.charSet, dc.font.face, nullptr);
        } else {
            for (qint64 i = 0; i < chars; ++i)
                run.text.append(QChar(char16_t(r.u16(at + 2 * i))));
        }
        c.text(run);
        return true;
    }
    default:
        return true; // skipped: palettes, colour management, layout, flood fills, masks...
    }
}
