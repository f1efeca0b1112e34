#include "JpegSegments.h"

#include "ByteReader.h"
#include "PictureLimits.h"

#include <cstring>
#include <utility>
#include <vector>

namespace JpegSegments {
namespace {

constexpr quint8 kStartOfScan = 0xda;
constexpr quint8 kEndOfImage = 0xd9;
constexpr quint8 kComment = 0xfe;

bool isApplicationOrComment(quint8 marker) {
    return (marker >= 0xe0 && marker <= 0xef) || marker == kComment;
}

// Markers that stand alone, without a length: restarts and the temporary marker.
bool standsAlone(quint8 marker) {
    return (marker >= 0xd0 && marker <= 0xd7) || marker == 0x01;
}

// The position of the marker that ends the coded data starting at `at`: a 0xff that is neither
// a stuffed zero nor a restart.
qint64 endOfCodedData(const ByteReader& bytes, qint64 at) {
    const uchar* data = bytes.bytes();
    const qint64 size = bytes.size();
    while (at + 1 < size) {
        const void* found = std::memchr(data + at, 0xff, size_t(size - at - 1));
        if (!found)
            return size;
        at = static_cast<const uchar*>(found) - data;
        const quint8 next = data[at + 1];
        if (next != 0 && next != 0xff && !standsAlone(next))
            return at;
        at += next == 0xff ? 1 : 2;
    }
    return size;
}

// The byte ranges of the application and comment segments past the limit.
std::vector<std::pair<qint64, qint64>> surplusSegments(const ByteReader& bytes) {
    std::vector<std::pair<qint64, qint64>> surplus;
    int kept = 0;
    qint64 at = 2; // after the start-of-image marker
    while (bytes.has(at, 2) && bytes.u8(at) == 0xff) {
        const quint8 marker = bytes.u8(at + 1);
        if (marker == 0xff) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == kEndOfImage)
            break;
        if (standsAlone(marker)) {
            at += 2;
            continue;
        }
        const qint64 length = (qint64(bytes.u8(at + 2)) << 8) | bytes.u8(at + 3);
        if (length < 2 || !bytes.has(at + 2, length))
            break;
        const qint64 end = at + 2 + length;
        if (isApplicationOrComment(marker) && ++kept > PictureLimits::kMostJpegExtraSegments)
            surplus.emplace_back(at, end);
        at = marker == kStartOfScan ? endOfCodedData(bytes, end) : end;
    }
    return surplus;
}

} // namespace

QByteArray withoutSurplusSegments(const QByteArray& jpeg) {
    const ByteReader bytes(jpeg);
    if (bytes.u8(0) != 0xff || bytes.u8(1) != 0xd8)
        return jpeg;
    const auto surplus = surplusSegments(bytes);
    if (surplus.empty())
        return jpeg;
    QByteArray kept;
    kept.reserve(jpeg.size());
    qint64 from = 0;
    for (const auto& [start, end] : surplus) {
        kept.append(jpeg.constData() + from, start - from);
        from = end;
    }
    kept.append(jpeg.constData() + from, jpeg.size() - from);
    return kept;
}

} // namespace JpegSegments
