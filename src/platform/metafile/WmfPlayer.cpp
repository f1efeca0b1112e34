#include "WmfPlayer.h"

#include "GdiCanvas.h"
#include "MetafileBitmap.h"
#include "TextDecoder.h"

namespace {

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

constexpr quint16 kMetafileComment = 0x000f;
constexpr quint32 kEmbeddedEmfIdentifier = 0x43464d57; // "WMFC"

QColor colorRef(const ByteReader& r, qint64 at) {
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}

bool isDrawing(quint32 function) {
    switch (function) {
    case LineTo:
    case Polygon:
    case Polyline:
    case PolyPolygon:
    case Ellipse:
    case Rectangle:
    case RoundRect:
    case Arc:
    case Pie:
    case Chord:
    case TextOut:
    case ExtTextOut:
    case PatBlt:
    case BitBlt:
    case StretchBlt:
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib:
    case SetDibToDev:
    case SetPixel:
    case FillRegion:
    case FrameRegion:
    case PaintRegion:
    case InvertRegion:
        return true;
    default:
        return false;
    }
}

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
};

GdiRegion readRegion(const ByteReader& r) {
    // nextInChain, objectType, objectCount, regionSize, scanCount, maxScan, bounding box, scans
    GdiRegion region;
    if (!r.has(0, 22))
        return region;
    const int scanCount = r.u16(10);
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
    return region;
}

} // namespace

WmfPlayer::WmfPlayer(GdiCanvas& canvas, quint16 declaredObjects)
    : m_canvas(canvas), m_objects(declaredObjects) {}

void WmfPlayer::play(QByteArrayView data, qint64 start) {
    RecordWalker walker(RecordWalker::Format::Wmf, data, start);
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

bool WmfPlayer::findWindow(QByteArrayView data, qint64 start, QRectF* window) {
    RecordWalker walker(RecordWalker::Format::Wmf, data, start);
    RecordWalker::Record record;
    QPointF origin(0, 0);
    QPointF extent;
    bool extentSet = false;
    while (walker.next(record)) {
        const Params p{record.params};
        if (record.type == SetWindowOrg && p.has(2)) {
            origin = p.point(0);
        } else if (record.type == SetWindowExt && p.has(2)) {
            const QPointF e = p.point(0);
            if (e.x() != 0 && e.y() != 0) {
                extent = e;
                extentSet = true;
            }
        } else if (isDrawing(record.type) && extentSet) {
            break;
        }
    }
    if (!extentSet)
        return false;
    *window = QRectF(origin, QSizeF(extent.x(), extent.y()));
    return true;
}

QByteArray WmfPlayer::embeddedEmf(QByteArrayView data, qint64 start) {
    RecordWalker walker(RecordWalker::Format::Wmf, data, start);
    RecordWalker::Record record;
    QByteArray emf;
    qint64 expected = -1;
    while (walker.next(record)) {
        if (record.type != Escape)
            continue;
        const ByteReader& r = record.params;
        if (r.u16(0) != kMetafileComment || r.u32(4) != kEmbeddedEmfIdentifier)
            continue;
        const qint64 byteCount = r.u16(2);
        const ByteReader comment = r.sub(4, byteCount);
        // identifier, type, version, checksum, flags, record count, chunk size, remaining, total
        if (comment.size() < 34 || comment.u32(4) != 1)
            continue;
        const qint64 chunk = comment.u32(22);
        const qint64 total = comment.u32(30);
        if (expected < 0)
            expected = total;
        if (total != expected || total > data.size() || !comment.has(34, chunk))
            return {};
        emf.append(comment.slice(34, chunk));
        if (emf.size() > expected)
            return {};
    }
    return emf.size() == expected ? emf : QByteArray();
}

void WmfPlayer::create(GdiObject object) {
    // A slot is taken even when the table is full of objects we could not use, so that later
    // indices keep pointing where the file means.
    m_objects.addToLowestFree(std::move(object));
}

void WmfPlayer::select(quint32 index) {
    const GdiObject* object = m_objects.find(index);
    if (!object)
        return;
    if (const auto* region = std::get_if<GdiRegion>(object)) {
        m_canvas.selectLogicalClip(region);
        return;
    }
    m_canvas.dc().select(*object);
}

bool WmfPlayer::playRecord(const RecordWalker::Record& record) {
    const ByteReader& r = record.params;
    const Params p{r};
    DeviceContext& dc = m_canvas.dc();
    GdiCanvas& c = m_canvas;

    switch (record.type) {
    case SetBkColor:
        if (!p.has(2))
            return false;
        dc.backgroundColor = colorRef(r, 0);
        return true;
    case SetBkMode:
        if (!p.has(1))
            return false;
        dc.backgroundMode = p.u(0) == DeviceContext::Transparent ? DeviceContext::Transparent
                                                                 : DeviceContext::Opaque;
        return true;
    case SetMapMode:
        if (!p.has(1))
            return false;
        // The player maps the window onto the output; only the isotropic mode changes how.
        dc.setMapMode(p.u(0) == DeviceContext::Isotropic ? DeviceContext::Isotropic
                                                         : DeviceContext::Anisotropic);
        return true;
    case SetRop2:
        if (!p.has(1))
            return false;
        dc.rop2 = p.u(0);
        return true;
    case SetPolyFillMode:
        if (!p.has(1))
            return false;
        dc.fillMode =
            p.u(0) == DeviceContext::Winding ? DeviceContext::Winding : DeviceContext::Alternate;
        return true;
    case SetStretchBltMode:
        if (!p.has(1))
            return false;
        dc.stretchMode = p.u(0);
        return true;
    case SetTextCharExtra:
        if (!p.has(1))
            return false;
        dc.textCharExtra = p.s(0);
        return true;
    case SetTextColor:
        if (!p.has(2))
            return false;
        dc.textColor = colorRef(r, 0);
        return true;
    case SetTextAlign:
        if (!p.has(1))
            return false;
        dc.textAlign = p.u(0);
        return true;
    case SetWindowOrg:
        if (!p.has(2))
            return false;
        dc.setWindowOrg(p.point(0));
        return true;
    case SetWindowExt:
        if (!p.has(2))
            return false;
        dc.setWindowExt(p.point(0));
        return true;
    case OffsetWindowOrg:
        if (!p.has(2))
            return false;
        dc.offsetWindowOrg(p.point(0));
        return true;
    case ScaleWindowExt:
        if (!p.has(4))
            return false;
        dc.scaleWindowExt(p.s(3), p.s(2), p.s(1), p.s(0));
        return true;
    case SetViewportOrg:
    case SetViewportExt:
    case OffsetViewportOrg:
    case ScaleViewportExt:
        return true; // the player owns the viewport
    case MoveTo:
        if (!p.has(2))
            return false;
        c.moveTo(p.point(0));
        return true;
    case LineTo:
        if (!p.has(2))
            return false;
        c.lineTo(p.point(0));
        return true;
    case ExcludeClipRect:
        if (!p.has(4))
            return false;
        c.excludeClipRect(p.rect(0));
        return true;
    case IntersectClipRect:
        if (!p.has(4))
            return false;
        c.intersectClipRect(p.rect(0));
        return true;
    case OffsetClipRgn:
        if (!p.has(2))
            return false;
        c.offsetClip(p.point(0));
        return true;
    case Arc:
    case Pie:
    case Chord: {
        if (!p.has(8))
            return false;
        const GdiCanvas::ArcKind kind = record.type == Arc   ? GdiCanvas::ArcKind::Arc
                                        : record.type == Pie ? GdiCanvas::ArcKind::Pie
                                                             : GdiCanvas::ArcKind::Chord;
        c.arc(p.rect(4), p.point(2), p.point(0), kind);
        return true;
    }
    case Ellipse:
        if (!p.has(4))
            return false;
        c.ellipse(p.rect(0));
        return true;
    case Rectangle:
        if (!p.has(4))
            return false;
        c.rectangle(p.rect(0));
        return true;
    case RoundRect:
        if (!p.has(6))
            return false;
        c.roundRect(p.rect(2), QSizeF(p.s(1), p.s(0)));
        return true;
    case SetPixel:
        if (!p.has(4))
            return false;
        c.setPixel(p.point(2), colorRef(r, 0));
        return true;
    case Polygon:
    case Polyline: {
        if (!p.has(1))
            return false;
        const qint64 count = p.u(0);
        if (!p.has(1 + 2 * count))
            return false;
        QPolygonF points;
        points.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            points.append(QPointF(p.s(1 + 2 * i), p.s(2 + 2 * i)));
        if (record.type == Polygon)
            c.polygon(points);
        else
            c.polyline(points);
        return true;
    }
    case PolyPolygon: {
        if (!p.has(1))
            return false;
        const qint64 polygons = p.u(0);
        if (!p.has(1 + polygons))
            return false;
        qint64 at = 1 + polygons;
        QList<QPolygonF> list;
        list.reserve(polygons);
        for (qint64 k = 0; k < polygons; ++k) {
            const qint64 count = p.u(1 + k);
            if (!p.has(at + 2 * count))
                return false;
            QPolygonF points;
            points.reserve(count);
            for (qint64 i = 0; i < count; ++i)
                points.append(QPointF(p.s(at + 2 * i), p.s(at + 2 * i + 1)));
            at += 2 * count;
            list.append(points);
        }
        c.polyPolygon(list);
        return true;
    }
    case SaveDc:
        c.saveState();
        return true;
    case RestoreDc:
        if (!p.has(1))
            return false;
        c.restoreState(p.s(0));
        return true;
    case TextOut: {
        if (!p.has(1))
            return false;
        const qint64 length = p.u(0);
        const qint64 padded = (length + 1) & ~qint64(1);
        if (!r.has(2, padded + 4))
            return false;
        GdiCanvas::TextRun run;
        run.text = TextDecoder::decode(r.slice(2, length), dc.font.charSet, dc.font.face, nullptr);
        run.reference = QPointF(r.i16(2 + padded + 2), r.i16(2 + padded));
        c.text(run);
        return true;
    }
    case ExtTextOut: {
        if (!p.has(4))
            return false;
        GdiCanvas::TextRun run;
        run.reference = p.point(0);
        const qint64 length = p.u(2);
        run.options = p.u(3);
        qint64 at = 8;
        if (run.options & (GdiCanvas::TextRun::Opaque | GdiCanvas::TextRun::Clipped)) {
            if (!r.has(at, 8))
                return false;
            run.rectangle =
                QRectF(QPointF(r.i16(at), r.i16(at + 2)), QPointF(r.i16(at + 4), r.i16(at + 6)));
            at += 8;
        } else {
            run.options |= GdiCanvas::TextRun::NoRect;
        }
        if (!r.has(at, length))
            return false;
        QList<int> bytesPerChar;
        run.text =
            TextDecoder::decode(r.slice(at, length), dc.font.charSet, dc.font.face, &bytesPerChar);
        at += (length + 1) & ~qint64(1);
        // The advances (one per byte) are optional; use them only when all are there.
        const bool pdy = run.options & GdiCanvas::TextRun::PdY;
        const qint64 perByte = pdy ? 4 : 2;
        if (length > 0 && r.has(at, length * perByte) && bytesPerChar.size() == run.text.size()) {
            run.takeAdvances(bytesPerChar, [&](qint64 byte, bool rising) {
                return r.i16(at + byte * perByte + (rising ? 2 : 0));
            });
        }
        c.text(run);
        return true;
    }
    case PatBlt: {
        if (!p.has(6))
            return false;
        const quint32 rop = r.u32(0);
        const QRectF dest(QPointF(p.s(5), p.s(4)), QSizeF(p.s(3), p.s(2)));
        c.bitBlt(dest, QImage(), QRectF(), rop);
        return true;
    }
    case BitBlt:
    case StretchBlt:
    case DibBitBlt:
    case DibStretchBlt: {
        const bool stretch = record.type == StretchBlt || record.type == DibStretchBlt;
        const bool dib = record.type == DibBitBlt || record.type == DibStretchBlt;
        // Without a bitmap the record is exactly its fixed words long and holds a reserved word.
        const qint64 fixedWords = record.type >> 8;
        const bool noSource = record.whole.size() == (fixedWords + 3) * 2;
        const qint64 words = stretch ? 10 : 8; // including the two of the raster operation
        if (!p.has(words + (noSource ? 1 : 0)))
            return false;
        const quint32 rop = r.u32(0);
        qint64 w = 2; // word index after the raster operation
        QRectF source;
        if (stretch) {
            source = QRectF(p.s(w + 3), p.s(w + 2), p.s(w + 1), p.s(w));
            w += 4;
        } else {
            source = QRectF(p.s(w + 1), p.s(w), 0, 0);
            w += 2;
        }
        if (noSource)
            ++w;
        const QSizeF destSize(p.s(w + 1), p.s(w));
        const QPointF destAt(p.s(w + 3), p.s(w + 2));
        w += 4;
        if (!stretch)
            source.setSize(destSize);
        QImage image;
        if (!noSource) {
            const ByteReader bitmap = r.sub(w * 2, r.size() - w * 2);
            // The source of these records is a bitmap selected into a device context, so its
            // rows count from the top whatever the bitmap's own order.
            if (dib) {
                MetafileBitmap::Options options;
                options.palette = &dc.palette;
                image = MetafileBitmap::decodePacked(bitmap, options);
            } else {
                image = MetafileBitmap::decodeDeviceDependent(bitmap);
            }
            if (image.isNull())
                return true; // a bitmap we cannot read is skipped, not fatal
        }
        c.bitBlt(QRectF(destAt, destSize), image, source, rop);
        return true;
    }
    case StretchDib:
    case SetDibToDev: {
        const bool toDevice = record.type == SetDibToDev;
        const qint64 words = toDevice ? 9 : 11;
        if (!p.has(words))
            return false;
        QRectF source;
        QRectF dest;
        quint32 rop = 0x00cc0020;
        int usage;
        if (toDevice) {
            usage = p.u(0);
            // scan count and start scan (1, 2) select rows; the whole bitmap is drawn.
            source = QRectF(p.s(4), p.s(3), p.s(6), p.s(5));
            dest = QRectF(QPointF(p.s(8), p.s(7)), QSizeF(p.s(6), p.s(5)));
        } else {
            rop = r.u32(0);
            usage = p.u(2);
            source = QRectF(p.s(6), p.s(5), p.s(4), p.s(3));
            dest = QRectF(QPointF(p.s(10), p.s(9)), QSizeF(p.s(8), p.s(7)));
        }
        MetafileBitmap::Options options;
        options.usage = usage;
        options.palette = &dc.palette;
        const ByteReader bitmap = r.sub(words * 2, r.size() - words * 2);
        const QImage image = MetafileBitmap::decodePacked(bitmap, options);
        if (image.isNull())
            return true;
        // Here the source rectangle counts rows from the bottom of a bottom-up bitmap.
        if (MetafileBitmap::storedBottomUp(bitmap))
            source.moveTop(image.height() - source.bottom());
        c.bitBlt(dest, image, source, rop);
        return true;
    }
    case FillRegion:
    case FrameRegion: {
        const bool frame = record.type == FrameRegion;
        if (!p.has(frame ? 4 : 2))
            return false;
        const GdiObject* region = m_objects.find(p.u(0));
        const GdiObject* brush = m_objects.find(p.u(1));
        if (!region || !brush || !std::holds_alternative<GdiRegion>(*region) ||
            !std::holds_alternative<GdiBrush>(*brush))
            return true;
        if (frame)
            c.frameRegion(std::get<GdiRegion>(*region), std::get<GdiBrush>(*brush),
                          QSizeF(p.s(3), p.s(2)));
        else
            c.fillRegion(std::get<GdiRegion>(*region), std::get<GdiBrush>(*brush));
        return true;
    }
    case PaintRegion:
    case InvertRegion: {
        if (!p.has(1))
            return false;
        const GdiObject* region = m_objects.find(p.u(0));
        if (!region || !std::holds_alternative<GdiRegion>(*region))
            return true;
        if (record.type == PaintRegion)
            c.fillRegion(std::get<GdiRegion>(*region), dc.brush);
        else
            c.invertRegion(std::get<GdiRegion>(*region));
        return true;
    }
    case SelectClipRegion: {
        if (!p.has(1))
            return false;
        const GdiObject* region = m_objects.find(p.u(0));
        c.selectLogicalClip(region ? std::get_if<GdiRegion>(region) : nullptr);
        return true;
    }
    case SelectObject:
        if (!p.has(1))
            return false;
        select(p.u(0));
        return true;
    case SelectPalette:
        if (!p.has(1))
            return false;
        if (const GdiObject* palette = m_objects.find(p.u(0)))
            dc.select(*palette);
        return true;
    case DeleteObject:
        if (!p.has(1))
            return false;
        m_objects.remove(p.u(0));
        return true;
    case CreatePenIndirect: {
        if (!p.has(5))
            return false;
        GdiPen pen;
        const quint16 style = p.u(0);
        pen.style = style & 0x0f;
        pen.cap = GdiPen::Cap((style >> 8) & 0x0f) <= GdiPen::CapFlat
                      ? GdiPen::Cap((style >> 8) & 0x0f)
                      : GdiPen::CapRound;
        pen.join = GdiPen::Join((style >> 12) & 0x0f) <= GdiPen::JoinMiter
                       ? GdiPen::Join((style >> 12) & 0x0f)
                       : GdiPen::JoinRound;
        pen.width = std::abs(p.s(1));
        pen.color = colorRef(r, 6);
        if (pen.style > GdiPen::Alternate)
            pen.style = GdiPen::Solid;
        create(pen);
        return true;
    }
    case CreateBrushIndirect: {
        if (!p.has(4))
            return false;
        GdiBrush brush;
        brush.style = p.u(0);
        brush.color = colorRef(r, 2);
        brush.hatch = p.u(3);
        if (brush.style != GdiBrush::Solid && brush.style != GdiBrush::Null &&
            brush.style != GdiBrush::Hatched)
            brush.style = GdiBrush::Solid; // patterns need a bitmap, which this record lacks
        create(brush);
        return true;
    }
    case CreateFontIndirect: {
        if (!p.has(9))
            return false;
        GdiFont font;
        font.height = p.s(0);
        font.width = p.s(1);
        font.escapement = p.s(2);
        font.weight = p.s(4);
        font.italic = r.u8(10);
        font.underline = r.u8(11);
        font.strikeOut = r.u8(12);
        font.charSet = r.u8(13);
        const QByteArrayView face = r.slice(18, qMin<qint64>(32, r.size() - 18));
        const qsizetype end = face.indexOf('\0');
        font.face = QString::fromLatin1(end >= 0 ? face.first(end) : face).trimmed();
        create(font);
        return true;
    }
    case CreatePalette: {
        if (!p.has(2))
            return false;
        const qint64 count = p.u(1);
        if (!r.has(4, count * 4))
            return false;
        GdiPalette palette;
        palette.entries.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            palette.entries.append(qRgb(r.u8(4 + 4 * i), r.u8(5 + 4 * i), r.u8(6 + 4 * i)));
        create(palette);
        return true;
    }
    case CreatePatternBrush: {
        GdiBrush brush;
        brush.style = GdiBrush::Pattern;
        brush.pattern = MetafileBitmap::decodeDeviceDependent(r, 28);
        brush.monochrome = r.u8(9) == 1;
        if (brush.pattern.isNull()) {
            brush.style = GdiBrush::Solid;
            brush.color = Qt::black;
        }
        create(brush);
        return true;
    }
    case DibCreatePatternBrush: {
        if (!p.has(2))
            return false;
        GdiBrush brush;
        brush.style = GdiBrush::DibPattern;
        MetafileBitmap::Options options;
        options.usage = p.u(1);
        options.palette = &dc.palette;
        brush.pattern = MetafileBitmap::decodePacked(r.sub(4, r.size() - 4), options);
        if (brush.pattern.isNull()) {
            brush.style = GdiBrush::Solid;
            brush.color = Qt::black;
        }
        create(brush);
        return true;
    }
    case CreateRegion:
        create(readRegion(r));
        return true;
    case Escape:
    case RealizePalette:
    case SetPalEntries:
    case AnimatePalette:
    case ResizePalette:
    case SetRelAbs:
    case SetTextJustification:
    case SetMapperFlags:
    case SetLayout:
    case FloodFill:
    case ExtFloodFill:
        return true; // nothing to draw, or flood fills, which need the page read back
    default:
        return true; // unknown records are skipped
    }
}
