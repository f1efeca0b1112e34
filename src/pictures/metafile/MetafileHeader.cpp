#include "MetafileHeader.h"

#include "ByteReader.h"

namespace {

constexpr quint32 kPlaceableKey = 0x9ac6cdd7u;
constexpr quint32 kEmfSignature = 0x464d4520u; // " EMF"
constexpr qint64 kPlaceableSize = 22;
constexpr qint64 kSmallestEmfHeader = 88;

QRect rectFrom(const ByteReader& r, qint64 at) {
    return QRect(QPoint(r.i32(at), r.i32(at + 4)), QPoint(r.i32(at + 8), r.i32(at + 12)));
}

bool readWmfHeader(const ByteReader& r, qint64 at, MetafileHeader& h) {
    if (!r.has(at, 18))
        return false;
    const quint16 type = r.u16(at);
    const quint16 headerWords = r.u16(at + 2);
    const quint16 version = r.u16(at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return false;
    h.objectCount = r.u16(at + 10);
    h.recordsStart = at + 18;
    h.format = MetafileHeader::Format::Wmf;
    return true;
}

} // namespace

MetafileHeader MetafileHeader::read(QByteArrayView data) {
    MetafileHeader h;
    const ByteReader r(data);
    if (r.u32(0) == kPlaceableKey) {
        if (!readWmfHeader(r, kPlaceableSize, h))
            return {};
        h.placeable = true;
        // Corner coordinates are signed 16-bit; the difference of two of them fits an int.
        h.boundingBox = QRect(QPoint(qMin(r.i16(6), r.i16(10)), qMin(r.i16(8), r.i16(12))),
                              QPoint(qMax(r.i16(6), r.i16(10)), qMax(r.i16(8), r.i16(12))));
        h.unitsPerInch = r.u16(14);
        return h;
    }
    if (readWmfHeader(r, 0, h))
        return h;

    if (r.u32(0) == 1 && r.u32(40) == kEmfSignature) {
        const quint32 size = r.u32(4);
        if (size < kSmallestEmfHeader || size % 4 != 0 || !r.has(0, size))
            return {};
        h.format = Format::Emf;
        h.recordsStart = size;
        h.bounds = rectFrom(r, 8);
        h.frame = rectFrom(r, 24);
        h.handles = r.u16(56);
        const quint32 descriptionChars = r.u32(60);
        const quint32 descriptionAt = r.u32(64);
        h.devicePixels = QSizeF(r.i32(72), r.i32(76));
        h.deviceMillimetres = QSizeF(r.i32(80), r.i32(84));
        // The optional fields end where the description starts, when there is one.
        qint64 fieldsEnd = size;
        if (descriptionChars > 0 && descriptionAt >= kSmallestEmfHeader && descriptionAt < size)
            fieldsEnd = descriptionAt;
        if (fieldsEnd >= 108) {
            const qint32 umX = r.i32(100);
            const qint32 umY = r.i32(104);
            if (umX > 0 && umY > 0)
                h.deviceMillimetres = QSizeF(umX / 1000.0, umY / 1000.0);
        }
        return h;
    }
    return {};
}

QPointF MetafileHeader::devicePixelsPerMm() const {
    const double fallback = 96 / 25.4;
    const bool usable = devicePixels.width() > 0 && devicePixels.height() > 0 &&
                        deviceMillimetres.width() > 0 && deviceMillimetres.height() > 0;
    if (!usable)
        return {fallback, fallback};
    const double x = devicePixels.width() / deviceMillimetres.width();
    const double y = devicePixels.height() / deviceMillimetres.height();
    // A reference device of less than about 1 or more than about 40000 dpi is not a real one.
    auto sane = [&](double v) { return v > 0.04 && v < 1600 ? v : fallback; };
    return {sane(x), sane(y)};
}
