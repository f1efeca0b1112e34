#pragma once

#include "ByteReader.h"

#include <map>

// The TIFF structure inside an EXIF segment, read in its own byte order. Reads outside it give
// zero, which no offset or tag read through it takes as valid.
class TiffReader {
public:
    // The TIFF data that follows "Exif\0\0" in an EXIF segment's payload.
    explicit TiffReader(QByteArrayView tiff) : m_bytes(tiff), m_bigEndian(tiff.startsWith("MM")) {}

    bool valid() const { return (m_bytes.data().startsWith("II") || m_bigEndian) && u16(2) == 42; }
    quint32 u16(qint64 at) const { return m_bigEndian ? m_bytes.be16(at) : m_bytes.u16(at); }
    quint32 u32(qint64 at) const { return m_bigEndian ? m_bytes.be32(at) : m_bytes.u32(at); }
    QByteArrayView slice(qint64 at, qint64 length) const { return m_bytes.slice(at, length); }

    // The offset of the first image directory.
    qint64 firstDirectory() const { return u32(4); }

    // The values of the entries of the image directory at `offset` that hold one short or one
    // long, by tag; nothing when the directory runs past the data.
    std::map<quint32, quint32> directoryAt(qint64 offset) const {
        std::map<quint32, quint32> values;
        forEachEntry(offset, [&](quint32 tag, quint32 type, quint32 count, qint64 value) {
            if (count == 1 && type == kShortType)
                values[tag] = u16(value);
            else if (count == 1 && type == kLongType)
                values[tag] = u32(value);
        });
        return values;
    }

    // The text of an ASCII entry short enough to be held in the entry itself (three characters
    // and the closing zero at most), without the zero; empty when there is none.
    QByteArray inlineText(qint64 offset, quint32 wanted) const {
        QByteArray text;
        forEachEntry(offset, [&](quint32 tag, quint32 type, quint32 count, qint64 value) {
            if (tag == wanted && type == kAsciiType && count >= 1 && count <= 4)
                text = slice(value, count).toByteArray();
        });
        const qsizetype zero = text.indexOf('\0');
        return zero < 0 ? text : text.left(zero);
    }

    // The EXIF orientation among a first image directory's values: 1 to 8, and 1 when it is
    // absent or out of range.
    static int orientationIn(const std::map<quint32, quint32>& firstDirectory) {
        constexpr quint32 kOrientationTag = 0x0112;
        const auto found = firstDirectory.find(kOrientationTag);
        return found != firstDirectory.end() && found->second >= 1 && found->second <= 8
                   ? static_cast<int>(found->second)
                   : 1;
    }

    // The offset of the directory after the one at `offset`; 0 for none.
    qint64 nextAfter(qint64 offset) const { return u32(offset + 2 + qint64(u16(offset)) * 12); }

private:
    static constexpr quint32 kAsciiType = 2;
    static constexpr quint32 kShortType = 3;
    static constexpr quint32 kLongType = 4;

    // Calls visit(tag, type, count, value field offset) for each entry of the directory at
    // `offset`; nothing when the directory runs past the data.
    template <typename Visit> void forEachEntry(qint64 offset, Visit&& visit) const {
        const qint64 count = u16(offset);
        if (offset == 0 || !m_bytes.has(offset + 2, count * 12 + 4))
            return;
        for (qint64 at = offset + 2; at < offset + 2 + count * 12; at += 12)
            visit(u16(at), u16(at + 2), u32(at + 4), at + 8);
    }

    ByteReader m_bytes;
    bool m_bigEndian;
};
