// EMF records that draw bitmaps, or fill with the brush through a raster operation.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "RasterOperation.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;

constexpr quint32 kSourceCopy = 0x00cc0020;

MetafileBitmap::Options bitmapOptions(EmfPlayer& player, quint32 usage) {
    MetafileBitmap::Options options;
    options.usage = int(usage);
    options.palette = &player.dc().palette;
    return options;
}

bool blit(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool stretch = record.type == StretchBlt;
    const QRectF dest(r.i32(16), r.i32(20), r.i32(24), r.i32(28));
    const quint32 rop = r.u32(32);
    QRectF source(r.i32(36), r.i32(40), dest.width(), dest.height());
    if (stretch)
        source.setSize(QSizeF(r.i32(92), r.i32(96)));
    QImage image;
    if (!readBitmap(record.whole, {r.u32(76), r.u32(80), r.u32(84), r.u32(88)},
                    bitmapOptions(player, r.u32(72)), image))
        return false;
    if (r.u32(80) != 0 && image.isNull())
        return true; // a bitmap we cannot read is skipped
    // The source transform (at 44) places the source in its device context; ignored, as
    // writers leave it the identity.
    player.canvas().bitBlt(dest, image, source, rop);
    return true;
}

bool dibits(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool stretch = record.type == StretchDiBits;
    QRectF source(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
    QRectF dest(r.i32(16), r.i32(20), source.width(), source.height());
    quint32 rop = kSourceCopy;
    if (stretch) {
        rop = r.u32(60);
        dest.setSize(QSizeF(r.i32(64), r.i32(68)));
    }
    QImage image;
    bool bottomUp = false;
    if (!readBitmap(record.whole, {r.u32(40), r.u32(44), r.u32(48), r.u32(52)},
                    bitmapOptions(player, r.u32(56)), image, &bottomUp))
        return false;
    if (image.isNull() && !RasterOperation::ignoresSource(quint8((rop >> 16) & 0xff)))
        return true;
    // The source rectangle counts rows from the bottom of a bottom-up bitmap.
    if (!image.isNull() && bottomUp)
        source.moveTop(image.height() - source.bottom());
    player.canvas().bitBlt(dest, image, source, rop);
    return true;
}

bool blend(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const QRectF dest(r.i32(16), r.i32(20), r.i32(24), r.i32(28));
    const QRectF source(r.i32(36), r.i32(40), r.i32(92), r.i32(96));
    const bool alpha = record.type == AlphaBlend;
    const bool perPixel = alpha && (r.u8(35) & 0x01);
    MetafileBitmap::Options options = bitmapOptions(player, r.u32(72));
    options.keepAlpha = perPixel;
    QImage image;
    if (!readBitmap(record.whole, {r.u32(76), r.u32(80), r.u32(84), r.u32(88)}, options, image))
        return false;
    if (image.isNull())
        return true;
    if (alpha)
        player.canvas().alphaBlend(dest, image, source, r.u8(34), perPixel);
    else
        player.canvas().transparentBlt(dest, image, source, qRgb(r.u8(32), r.u8(33), r.u8(34)));
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {BitBlt, 92, blit},          {StretchBlt, 100, blit},
    {StretchDiBits, 72, dibits}, {SetDiBitsToDevice, 68, dibits},
    {AlphaBlend, 100, blend},    {TransparentBlt, 100, blend},
};

} // namespace

Family bitmapRecords() {
    return kRecords;
}

} // namespace EmfRecords
