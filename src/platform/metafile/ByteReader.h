#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Little-endian reads from a span of bytes with every offset checked. A read that would pass the
// end returns zero (or an empty span), so a missed check can never read outside the data; the
// players still check sizes first, because a short record is malformed rather than zero.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    qsizetype size() const { return m_data.size(); }
    QByteArrayView data() const { return m_data; }

    // True when count bytes starting at offset lie inside the data (no overflow for any input).
    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= m_data.size() &&
               count <= m_data.size() - offset;
    }

    quint8 u8(qint64 offset) const;
    quint16 u16(qint64 offset) const;
    qint16 i16(qint64 offset) const { return static_cast<qint16>(u16(offset)); }
    quint32 u32(qint64 offset) const;
    qint32 i32(qint64 offset) const { return static_cast<qint32>(u32(offset)); }
    float f32(qint64 offset) const;

    // The bytes [offset, offset + count), or an empty span when they are not all there.
    QByteArrayView slice(qint64 offset, qint64 count) const;
    ByteReader sub(qint64 offset, qint64 count) const { return ByteReader(slice(offset, count)); }

private:
    QByteArrayView m_data;
};
