#include "ByteReader.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

quint8 ByteReader::u8(qint64 offset) const {
    return has(offset, 1) ? static_cast<quint8>(m_data[offset]) : 0;
}

quint16 ByteReader::u16(qint64 offset) const {
    return has(offset, 2) ? qFromLittleEndian<quint16>(m_data.data() + offset) : 0;
}

quint32 ByteReader::u32(qint64 offset) const {
    return has(offset, 4) ? qFromLittleEndian<quint32>(m_data.data() + offset) : 0;
}

quint32 ByteReader::be32(qint64 offset) const {
    return has(offset, 4) ? qFromBigEndian<quint32>(m_data.data() + offset) : 0;
}

float ByteReader::f32(qint64 offset) const {
    const quint32 bits = u32(offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    // Not-a-number and infinities would poison every transform they touch.
    return std::isfinite(value) ? value : 0.0f;
}

QByteArrayView ByteReader::slice(qint64 offset, qint64 count) const {
    return has(offset, count) ? m_data.sliced(offset, count) : QByteArrayView();
}

ByteReader ByteReader::from(qint64 offset) const {
    return has(offset, 0) ? ByteReader(m_data.sliced(offset)) : ByteReader();
}
