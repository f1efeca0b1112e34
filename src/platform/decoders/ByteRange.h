#pragma once

#include <QByteArray>
#include <QtEndian>

#include <algorithm>

namespace PictureDecoders {

// Little-endian fields of a byte range; reads past its end give zero, so a caller checks the
// range's size once instead of before every field.
class ByteRange {
public:
    ByteRange() = default;
    ByteRange(const char* data, qsizetype size)
        : m_data(reinterpret_cast<const uchar*>(data)), m_size(size) {}
    explicit ByteRange(const QByteArray& bytes) : ByteRange(bytes.constData(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    const uchar* data() const { return m_data; }
    bool has(qint64 at, qint64 count) const {
        return at >= 0 && count >= 0 && at + count <= m_size;
    }
    quint8 u8(qint64 at) const { return has(at, 1) ? m_data[at] : 0; }
    quint16 le16(qint64 at) const {
        return has(at, 2) ? qFromLittleEndian<quint16>(m_data + at) : 0;
    }
    quint32 le32(qint64 at) const {
        return has(at, 4) ? qFromLittleEndian<quint32>(m_data + at) : 0;
    }
    quint32 be32(qint64 at) const { return has(at, 4) ? qFromBigEndian<quint32>(m_data + at) : 0; }
    // The part from at on (count bytes, or up to the end), empty when at lies outside.
    ByteRange mid(qint64 at, qint64 count = -1) const {
        if (at < 0 || at > m_size)
            return {};
        const qint64 rest = m_size - at;
        return {reinterpret_cast<const char*>(m_data + at),
                count < 0 ? rest : std::min(count, rest)};
    }
    QByteArray toByteArray() const {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(m_data), m_size);
    }

private:
    const uchar* m_data = nullptr;
    qsizetype m_size = 0;
};

} // namespace PictureDecoders
