#pragma once

#include <QByteArrayView>
#include <QtEndian>

// Reads the fields of a file held in memory: little-endian (and big-endian) integers, floats and
// sub-ranges, every offset checked. A read that would pass the end gives zero (or an empty
// range), so a missed check can never read outside the data; decoders still check sizes first,
// because a field cut short is damage rather than zero.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    qsizetype size() const { return m_data.size(); }
    QByteArrayView data() const { return m_data; }
    // The bytes themselves, for loops over pixel rows whose extent has been checked.
    const uchar* bytes() const { return reinterpret_cast<const uchar*>(m_data.data()); }

    // True when count bytes starting at offset lie inside the data (no overflow for any input).
    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= m_data.size() &&
               count <= m_data.size() - offset;
    }

    quint8 u8(qint64 offset) const { return has(offset, 1) ? bytes()[offset] : 0; }
    quint16 u16(qint64 offset) const {
        return has(offset, 2) ? qFromLittleEndian<quint16>(bytes() + offset) : 0;
    }
    qint16 i16(qint64 offset) const { return static_cast<qint16>(u16(offset)); }
    quint32 u32(qint64 offset) const {
        return has(offset, 4) ? qFromLittleEndian<quint32>(bytes() + offset) : 0;
    }
    qint32 i32(qint64 offset) const { return static_cast<qint32>(u32(offset)); }
    quint16 be16(qint64 offset) const {
        return has(offset, 2) ? qFromBigEndian<quint16>(bytes() + offset) : 0;
    }
    quint32 be32(qint64 offset) const {
        return has(offset, 4) ? qFromBigEndian<quint32>(bytes() + offset) : 0;
    }
    float f32(qint64 offset) const;

    // The bytes [offset, offset + count), or an empty span when they are not all there.
    QByteArrayView slice(qint64 offset, qint64 count) const;
    ByteReader sub(qint64 offset, qint64 count) const { return ByteReader(slice(offset, count)); }
    // Everything from offset on; empty when offset lies outside.
    ByteReader from(qint64 offset) const;

private:
    QByteArrayView m_data;
};
