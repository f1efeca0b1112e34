#pragma once

#include <QByteArray>
#include <QColor>
#include <QtEndian>
#include <cstring>

// Little-endian byte output for the makers of test files: Windows bitmaps, icons, metafiles.
class Bytes {
public:
    Bytes& u8(quint8 v) {
        m_data.append(char(v));
        return *this;
    }
    Bytes& u16(quint16 v) { return put(v); }
    Bytes& i16(qint16 v) { return put(v); }
    Bytes& u32(quint32 v) { return put(v); }
    Bytes& i32(qint32 v) { return put(v); }
    Bytes& f32(float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Bytes& colour(QColor c) { return u8(c.red()).u8(c.green()).u8(c.blue()).u8(0); } // COLORREF
    Bytes& raw(const QByteArray& bytes) {
        m_data.append(bytes);
        return *this;
    }
    Bytes& pad(int multiple) { // zero bytes up to a multiple of `multiple`
        while (m_data.size() % multiple)
            m_data.append('\0');
        return *this;
    }
    // A bitmap information header of 40 bytes; a negative height makes a top-down bitmap.
    Bytes& dibInfo(int width, int height, int bits, quint32 compression, quint32 imageSize,
                   quint32 colours) {
        u32(40).i32(width).i32(height).u16(1).u16(quint16(bits)).u32(compression).u32(imageSize);
        return i32(2835).i32(2835).u32(colours).u32(0);
    }

    const QByteArray& data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }

private:
    template <typename T> Bytes& put(T v) {
        char b[sizeof(T)];
        qToLittleEndian(v, b);
        m_data.append(b, sizeof(T));
        return *this;
    }

    QByteArray m_data;
};
