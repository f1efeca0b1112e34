#include "ByteReader.h"

#include <cmath>
#include <cstring>

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
