#include "JpegSegments.h"

#include "ByteReader.h"
#include "PictureLimits.h"
#include "TiffReader.h"

#include <QIODevice>

#include <cstring>
#include <map>
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
    // The bytes [at, at + count), read from the device past the piece in hand.
    QByteArray slice(qint64 at, qint64 count) {
        if (!has(at, count) || !m_device.seek(m_start + at))
            return {};
        return m_device.read(count);
    }

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

// Walks the segments after the start-of-image marker and calls visit(marker, start, end, surplus)
// for each segment that has a length, `surplus` telling an application or comment segment past
// the limit; returns the scans walked. Where a marker should stand and other bytes do, the walk
// goes on at the next marker, as the JPEG library does: it skips such bytes with a warning and
// keeps every segment that follows them.
template <typename Bytes, typename Visit> int walkSegments(Bytes& bytes, Visit&& visit) {
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
        visit(marker, at, end,
              isApplicationOrComment(marker) && ++kept > PictureLimits::kMostJpegExtraSegments);
        if (marker == kStartOfScan) {
            ++scans;
            at = bytes.endOfCodedData(end);
        } else {
            at = end;
        }
    }
    return scans;
}

// The chunks of an ICC profile, each in an APP2 segment that starts "ICC_PROFILE\0", then its
// sequence number (from 1) and the number of chunks. The profile counts only when every chunk
// came exactly once with the same count; chunks may come in any order.
class IccChunks {
public:
    static bool isChunk(QByteArrayView payload) { return payload.startsWith(kSignature); }

    void add(QByteArrayView payload) {
        const int sequence = payload.size() > 13 ? quint8(payload[12]) : 0;
        const int count = payload.size() > 13 ? quint8(payload[13]) : 0;
        const QByteArrayView data = payload.sliced(qMin<qsizetype>(14, payload.size()));
        m_bytes += data.size();
        if (sequence == 0 || sequence > count || (m_count && count != m_count) ||
            m_chunks.count(sequence) || m_bytes > PictureLimits::kLargestColourProfileBytes) {
            m_broken = true;
            return;
        }
        m_count = count;
        m_chunks.emplace(sequence, data.toByteArray());
    }

    QByteArray joined() const {
        QByteArray profile;
        if (m_broken || int(m_chunks.size()) != m_count)
            return profile;
        for (const auto& chunk : m_chunks)
            profile += chunk.second;
        return profile;
    }

private:
    static constexpr QByteArrayView kSignature{"ICC_PROFILE\0", 12};
    std::map<int, QByteArray> m_chunks;
    int m_count = 0;
    qint64 m_bytes = 0;
    bool m_broken = false;
};

// Reads the orientation and whether the EXIF data says Adobe RGB by the camera makers'
// convention: colour space "uncalibrated" (0xffff) in the EXIF directory, interoperability
// index "R03".
void readExif(QByteArrayView payload, Census& census) {
    constexpr quint32 kExifDirectoryTag = 0x8769;
    constexpr quint32 kColourSpaceTag = 0xa001;
    constexpr quint32 kInteroperabilityTag = 0xa005;
    constexpr quint32 kInteroperabilityIndexTag = 0x0001;
    constexpr quint32 kUncalibrated = 0xffff;
    const TiffReader tiff(payload.sliced(6)); // after "Exif\0\0"
    if (!tiff.valid())
        return;
    const auto main = tiff.directoryAt(tiff.firstDirectory());
    census.orientation = TiffReader::orientationIn(main);
    const auto exifAt = main.find(kExifDirectoryTag);
    if (exifAt == main.end())
        return;
    const auto exif = tiff.directoryAt(exifAt->second);
    const auto space = exif.find(kColourSpaceTag);
    const auto interopAt = exif.find(kInteroperabilityTag);
    census.colour.adobeRgbByExif =
        space != exif.end() && space->second == kUncalibrated && interopAt != exif.end() &&
        tiff.inlineText(interopAt->second, kInteroperabilityIndexTag) == "R03";
}

// Reads what the segments before the first scan say of the frame and its colours into the
// census.
class FrameFacts {
public:
    template <typename Bytes>
    void read(Bytes& bytes, quint8 marker, qint64 start, qint64 end, Census& census) {
        if (marker == kStartOfScan)
            m_scanSeen = true;
        if (m_scanSeen)
            return;
        if (isFrameHeader(marker)) {
            census.storedSize = QSize((bytes.u8(start + 7) << 8) | bytes.u8(start + 8),
                                      (bytes.u8(start + 5) << 8) | bytes.u8(start + 6));
            census.components = bytes.u8(start + 9);
        }
        const bool wanted = marker == kApp2 || marker == kApp14 || (marker == kApp1 && !m_exifSeen);
        if (!wanted)
            return;
        const QByteArray payload = bytes.slice(start + 4, end - start - 4);
        if (marker == kApp2 && IccChunks::isChunk(payload)) {
            m_icc.add(payload);
        } else if (marker == kApp1 && !m_exifSeen && payload.startsWith(kExifSignature)) {
            m_exifSeen = true;
            readExif(payload, census);
        } else if (marker == kApp14 && payload.startsWith("Adobe")) {
            census.adobe = true;
        }
    }

    QByteArray profile() const { return m_icc.joined(); }

private:
    static constexpr quint8 kApp1 = 0xe1;
    static constexpr quint8 kApp2 = 0xe2;
    static constexpr quint8 kApp14 = 0xee;

    IccChunks m_icc;
    bool m_exifSeen = false;
    bool m_scanSeen = false;
};

} // namespace

bool standsAlone(quint8 marker) {
    return (marker >= 0xd0 && marker <= 0xd7) || marker == 0x01;
}

bool isFrameHeader(quint8 marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

Census census(QIODevice& device) {
    DeviceBytes bytes(device);
    Census found;
    FrameFacts facts;
    found.scans = walkSegments(bytes, [&](quint8 marker, qint64 start, qint64 end, bool surplus) {
        found.surplusSegments |= surplus;
        if (!surplus)
            facts.read(bytes, marker, start, end, found);
    });
    found.colour.iccProfile = facts.profile();
    return found;
}

QByteArray withoutSurplusSegments(const QByteArray& jpeg) {
    MemoryBytes bytes{ByteReader(jpeg)};
    std::vector<std::pair<qint64, qint64>> surplus;
    walkSegments(bytes, [&](quint8, qint64 start, qint64 end, bool isSurplus) {
        if (isSurplus)
            surplus.emplace_back(start, end);
    });
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
