#include "JpegSegments.h"

#include "ByteReader.h"
#include "PictureLimits.h"

#include <QIODevice>

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

// In coded data, the 0xff at `at` starts a marker unless a stuffed zero, a restart or a fill
// byte follows it.
bool endsCodedData(quint8 next) {
    return next != 0 && next != 0xff && !standsAlone(next);
}

// The bytes of a JPEG held in memory.
class MemoryBytes {
public:
    explicit MemoryBytes(const ByteReader& bytes) : m_bytes(bytes) {}
    bool has(qint64 at, qint64 count) const { return m_bytes.has(at, count); }
    quint8 u8(qint64 at) const { return m_bytes.u8(at); }

    // The position of the marker that ends the coded data starting at `at`, or the end.
    qint64 endOfCodedData(qint64 at) const {
        const uchar* data = m_bytes.bytes();
        const qint64 size = m_bytes.size();
        while (at + 1 < size) {
            const void* found = std::memchr(data + at, 0xff, size_t(size - at - 1));
            if (!found)
                return size;
            at = static_cast<const uchar*>(found) - data;
            if (endsCodedData(data[at + 1]))
                return at;
            at += data[at + 1] == 0xff ? 1 : 2;
        }
        return size;
    }

private:
    ByteReader m_bytes;
};

// The bytes of a JPEG on a device, read forwards a piece at a time; positions count from where
// the device stood.
class DeviceBytes {
public:
    explicit DeviceBytes(QIODevice& device)
        : m_device(device), m_start(device.pos()), m_size(device.size() - m_start) {}

    bool has(qint64 at, qint64 count) const {
        return at >= 0 && count >= 0 && at + count <= m_size;
    }
    quint8 u8(qint64 at) { return load(at) ? quint8(m_piece[at - m_pieceAt]) : 0; }

    qint64 endOfCodedData(qint64 at) {
        while (at + 1 < m_size && load(at)) {
            const char* data = m_piece.constData();
            const qint64 offset = at - m_pieceAt;
            const void* found = std::memchr(data + offset, 0xff, size_t(m_piece.size() - offset));
            if (!found) {
                at = m_pieceAt + m_piece.size();
                continue;
            }
            at = m_pieceAt + (static_cast<const char*>(found) - data);
            const quint8 next = u8(at + 1);
            if (endsCodedData(next))
                return at;
            at += next == 0xff ? 1 : 2;
        }
        return m_size;
    }

private:
    // Makes the byte at `at` part of the piece in hand; false when it cannot be read.
    bool load(qint64 at) {
        constexpr qint64 kPiece = qint64(1) << 16;
        if (at >= m_pieceAt && at < m_pieceAt + m_piece.size())
            return true;
        if (!has(at, 1) || !m_device.seek(m_start + at))
            return false;
        m_piece = m_device.read(kPiece);
        m_pieceAt = at;
        return !m_piece.isEmpty();
    }

    QIODevice& m_device;
    qint64 m_start;
    qint64 m_size;
    QByteArray m_piece;
    qint64 m_pieceAt = 0;
};

// Walks the segments after the start-of-image marker and calls surplus(start, end) for each
// application or comment segment past the limit; returns the scans walked. Where a marker should
// stand and other bytes do, the walk goes on at the next marker, as the JPEG library does: it
// skips such bytes with a warning and keeps every segment that follows them.
template <typename Bytes, typename Surplus> int walkSegments(Bytes& bytes, Surplus&& surplus) {
    int kept = 0;
    int scans = 0;
    qint64 at = 2;
    while (bytes.has(at, 2)) {
        if (bytes.u8(at) != 0xff) {
            at = bytes.endOfCodedData(at);
            continue;
        }
        const quint8 marker = bytes.u8(at + 1);
        if (marker == 0xff) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == kEndOfImage)
            return scans;
        if (standsAlone(marker)) {
            at += 2;
            continue;
        }
        const qint64 length = (qint64(bytes.u8(at + 2)) << 8) | bytes.u8(at + 3);
        if (length < 2 || !bytes.has(at + 2, length))
            return scans;
        const qint64 end = at + 2 + length;
        if (isApplicationOrComment(marker) && ++kept > PictureLimits::kMostJpegExtraSegments)
            surplus(at, end);
        if (marker == kStartOfScan) {
            ++scans;
            at = bytes.endOfCodedData(end);
        } else {
            at = end;
        }
    }
    return scans;
}

} // namespace

Census census(QIODevice& device) {
    DeviceBytes bytes(device);
    Census found;
    found.scans = walkSegments(bytes, [&](qint64, qint64) { found.surplusSegments = true; });
    return found;
}

QByteArray withoutSurplusSegments(const QByteArray& jpeg) {
    MemoryBytes bytes{ByteReader(jpeg)};
    std::vector<std::pair<qint64, qint64>> surplus;
    walkSegments(bytes, [&](qint64 start, qint64 end) { surplus.emplace_back(start, end); });
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
