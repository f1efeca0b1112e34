#include "EmfRecords.h"

#include "GdiObjects.h"

namespace EmfRecords {

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

bool readBitmap(const ByteReader& whole, BitmapRef ref, const MetafileBitmap::Options& options,
                QImage& image, bool* bottomUp) {
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

} // namespace EmfRecords
