#include "RasterOperation.h"

namespace RasterOperation {

quint8 fromBinary(int rop2) {
    if (rop2 < 1 || rop2 > 16)
        rop2 = 13;
    // ROP2 codes are 1 + a 4-bit table indexed by P*2 + D; spread it over the ternary table,
    // where S does not matter.
    const int table = rop2 - 1;
    quint8 index = 0;
    for (int p = 0; p < 2; ++p)
        for (int s = 0; s < 2; ++s)
            for (int d = 0; d < 2; ++d)
                if (table & (1 << (p * 2 + d)))
                    index |= quint8(1 << (p * 4 + s * 2 + d));
    return index;
}

quint32 combine(quint8 index, quint32 p, quint32 s, quint32 d) {
    quint32 result = 0;
    for (int term = 0; term < 8; ++term) {
        if (!(index & (1 << term)))
            continue;
        const quint32 pp = (term & 4) ? p : ~p;
        const quint32 ss = (term & 2) ? s : ~s;
        const quint32 dd = (term & 1) ? d : ~d;
        result |= pp & ss & dd;
    }
    return result;
}

namespace {

bool independentOf(quint8 index, int bit) {
    for (int term = 0; term < 8; ++term)
        if (bool(index & (1 << term)) != bool(index & (1 << (term ^ bit))))
            return false;
    return true;
}

// The page colour under a pixel: transparent parts are white paper; partly covered ones are
// seen as if laid on white.
quint32 pageColour(QRgb premultiplied) {
    const int a = qAlpha(premultiplied);
    const int inv = 255 - a;
    return (quint32(qMin(255, qRed(premultiplied) + inv)) << 16) |
           (quint32(qMin(255, qGreen(premultiplied) + inv)) << 8) |
           quint32(qMin(255, qBlue(premultiplied) + inv));
}

} // namespace

bool ignoresDestination(quint8 index) {
    return independentOf(index, 1);
}
bool ignoresSource(quint8 index) {
    return independentOf(index, 2);
}
bool ignoresPattern(quint8 index) {
    return independentOf(index, 4);
}

void apply(QImage& target, QPoint at, const QImage& coverage, const QImage& pattern,
           const QImage& source, quint8 index) {
    if (target.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QRect area = QRect(at, coverage.size()).intersected(target.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int ly = y - at.y();
        const auto* cov = reinterpret_cast<const QRgb*>(coverage.constScanLine(ly));
        const auto* pat = pattern.isNull() || ly >= pattern.height()
                              ? nullptr
                              : reinterpret_cast<const QRgb*>(pattern.constScanLine(ly));
        const auto* src = source.isNull() || ly >= source.height()
                              ? nullptr
                              : reinterpret_cast<const QRgb*>(source.constScanLine(ly));
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const int lx = x - at.x();
            if (qAlpha(cov[lx]) == 0)
                continue;
            const quint32 p = pat && lx < pattern.width() ? pageColour(pat[lx]) : 0;
            const quint32 s = src && lx < source.width() ? pageColour(src[lx]) : 0;
            const bool wasClear = qAlpha(dst[x]) == 0;
            const quint32 d = pageColour(dst[x]);
            const quint32 result = combine(index, p, s, d) & 0x00ffffff;
            dst[x] = (wasClear && result == 0x00ffffff) ? 0u : (0xff000000u | result);
        }
    }
}

} // namespace RasterOperation
