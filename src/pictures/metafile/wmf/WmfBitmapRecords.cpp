// WMF records that draw bitmaps, or fill with the brush through a raster operation.
#include "GdiCanvas.h"
#include "MetafileBitmap.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;

bool patBlt(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const quint32 rop = record.params.u32(0);
    const QRectF dest(QPointF(p.s(5), p.s(4)), QSizeF(p.s(3), p.s(2)));
    player.canvas().bitBlt(dest, QImage(), QRectF(), rop);
    return true;
}

// BITBLT and STRETCHBLT with an old device-dependent bitmap, and their DIB forms.
bool blit(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    const bool stretch = record.type == StretchBlt || record.type == DibStretchBlt;
    const bool dib = record.type == DibBitBlt || record.type == DibStretchBlt;
    // Without a bitmap the record is exactly its fixed words long and holds a reserved word.
    const qint64 fixedWords = record.type >> 8;
    const bool noSource = record.whole.size() == (fixedWords + 3) * 2;
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
        const ByteReader bitmap = r.from(w * 2);
        // The source of these records is a bitmap selected into a device context, so its
        // rows count from the top whatever the bitmap's own order.
        if (dib) {
            MetafileBitmap::Options options;
            options.palette = &player.dc().palette;
            image = MetafileBitmap::decodePacked(bitmap, options);
        } else {
            image = MetafileBitmap::decodeDeviceDependent(bitmap);
        }
        if (image.isNull())
            return true; // a bitmap we cannot read is skipped, not fatal
    }
    player.canvas().bitBlt(QRectF(destAt, destSize), image, source, rop);
    return true;
}

// STRETCHDIB and SETDIBTODEV: a DIB drawn through a source rectangle.
bool dibToDevice(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    const bool toDevice = record.type == SetDibToDev;
    const qint64 words = toDevice ? 9 : 11;
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
    options.palette = &player.dc().palette;
    const ByteReader bitmap = r.from(words * 2);
    const QImage image = MetafileBitmap::decodePacked(bitmap, options);
    if (image.isNull())
        return true;
    // Here the source rectangle counts rows from the bottom of a bottom-up bitmap.
    if (MetafileBitmap::storedBottomUp(bitmap))
        source.moveTop(image.height() - source.bottom());
    player.canvas().bitBlt(dest, image, source, rop);
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {PatBlt, words(6), patBlt},           {BitBlt, words(8), blit},
    {StretchBlt, words(10), blit},        {DibBitBlt, words(8), blit},
    {DibStretchBlt, words(10), blit},     {StretchDib, words(11), dibToDevice},
    {SetDibToDev, words(9), dibToDevice},
};

} // namespace

Family bitmapRecords() {
    return kRecords;
}

} // namespace WmfRecords
