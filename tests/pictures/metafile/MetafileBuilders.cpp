#include "MetafileBuilders.h"

#include "TestPictures.h"

#include <QtEndian>
#include <cmath>

namespace MetafileBuilders {

QByteArray packedDibRle8(const QImage& image) {
    return TestPictures::rle8(image).mid(14); // without the file header
}

// --- WMF ------------------------------------------------------------------------------------

WmfBuilder& WmfBuilder::record(quint16 function, const QByteArray& params) {
    Bytes body;
    body.raw(params).pad(2);
    const int words = 3 + int(body.size() / 2);
    m_records.u32(quint32(words)).u16(function).raw(body.data());
    m_largest = qMax(m_largest, words);
    // Creation records take an object slot.
    if (function == 0x02fa || function == 0x02fc || function == 0x02fb || function == 0x06ff ||
        function == 0x00f7 || function == 0x01f9 || function == 0x0142)
        ++m_objects;
    return *this;
}

WmfBuilder& WmfBuilder::words(quint16 function, const QList<int>& params) {
    Bytes b;
    for (int v : params)
        b.i16(qint16(v));
    return record(function, b.data());
}

WmfBuilder& WmfBuilder::createFont(int height, const char* face, int weight) {
    Bytes b;
    // No escapement; italic to quality (8 bytes) zero; the face padded to 32 bytes.
    b.i16(qint16(height)).i16(0).i16(0).i16(0).i16(qint16(weight)).raw(QByteArray(8, '\0'));
    return record(0x02fb, b.raw(QByteArray(face).leftJustified(32, '\0', true)).data());
}

WmfBuilder& WmfBuilder::poly(quint16 function, const QList<QPoint>& points) {
    Bytes b;
    b.u16(quint16(points.size()));
    for (const QPoint& p : points)
        b.i16(qint16(p.x())).i16(qint16(p.y()));
    return record(function, b.data());
}

WmfBuilder& WmfBuilder::textOut(int x, int y, const QByteArray& text) {
    Bytes b;
    b.u16(quint16(text.size())).raw(text).pad(2).i16(qint16(y)).i16(qint16(x));
    return record(0x0521, b.data());
}

WmfBuilder& WmfBuilder::stretchDib(QRect dest, const QByteArray& dib, QSize source, quint32 rop) {
    Bytes b;
    b.u32(rop).u16(0).i16(qint16(source.height())).i16(qint16(source.width())).i16(0).i16(0);
    for (int v : {dest.height(), dest.width(), dest.y(), dest.x()})
        b.i16(qint16(v));
    return record(0x0f43, b.raw(dib).data());
}

QByteArray WmfBuilder::finish() const {
    Bytes body = m_records;
    body.u32(3).u16(0); // end record
    Bytes out;
    if (!m_box.isNull()) {
        Bytes head;
        head.u32(0x9ac6cdd7).u16(0).i16(qint16(m_box.left())).i16(qint16(m_box.top()));
        head.i16(qint16(m_box.right() + 1)).i16(qint16(m_box.bottom() + 1)).u16(m_inch).u32(0);
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= qFromLittleEndian<quint16>(head.data().constData() + 2 * i);
        out.raw(head.data()).u16(sum);
    }
    out.u16(1).u16(9).u16(0x0300).u32(quint32(9 + body.size() / 2)).u16(quint16(m_objects));
    out.u32(quint32(qMax(m_largest, 3))).u16(0);
    return out.raw(body.data()).data();
}

QByteArray coveringPolygons(int side, int count) {
    WmfBuilder wmf(QRect(0, 0, side, side), 96);
    wmf.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, Qt::red).selectObject(1);
    for (int i = 0; i < count; ++i)
        wmf.polygon({{0, 0}, {side, 0}, {side, side}, {0, side}, {i % side, side / 2}});
    return wmf.finish();
}

// --- EMF ------------------------------------------------------------------------------------

EmfBuilder& EmfBuilder::record(quint32 type, const QByteArray& params) {
    Bytes body;
    body.raw(params).pad(4);
    m_records.u32(type).u32(quint32(8 + body.size())).raw(body.data());
    ++m_count;
    return *this;
}

EmfBuilder& EmfBuilder::values(quint32 type, const QList<qint32>& params) {
    Bytes b;
    for (qint32 v : params)
        b.i32(v);
    return record(type, b.data());
}

EmfBuilder& EmfBuilder::modifyWorldTransform(const QTransform& t, int mode) {
    Bytes b;
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        b.f32(float(v));
    return mode ? record(36, b.u32(quint32(mode)).data()) : record(35, b.data());
}

EmfBuilder& EmfBuilder::createFont(int index, int height, const QString& face) {
    Bytes b;
    // No escapement; italic to quality (8 bytes) zero; the face in 32 UTF-16 units.
    b.u32(quint32(index)).i32(height).i32(0).i32(0).i32(0).i32(400).raw(QByteArray(8, '\0'));
    for (int i = 0; i < 32; ++i)
        b.u16(i < face.size() ? face[i].unicode() : 0);
    return record(82, b.data());
}

EmfBuilder& EmfBuilder::polygon(const QList<QPoint>& points) {
    QList<qint32> v{0, 0, -1, -1, qint32(points.size())}; // bounds, count
    for (const QPoint& p : points)
        v << p.x() << p.y();
    return values(3, v);
}

EmfBuilder& EmfBuilder::extTextOutW(int x, int y, const QString& text) {
    // bounds, graphics mode, scales, then the text block with no rectangle (options 0x100) and
    // no advances
    Bytes b;
    b.i32(0).i32(0).i32(-1).i32(-1).u32(1).f32(1).f32(1);
    b.i32(x).i32(y).u32(quint32(text.size())).u32(8 + 28 + 24).u32(0x100).u32(0); // text at
    for (QChar ch : text)
        b.u16(ch.unicode());
    return record(84, b.data());
}

QByteArray EmfBuilder::finish() const {
    Bytes body = m_records;
    body.u32(14).u32(20).u32(0).u32(16).u32(20); // end record
    const double ppm = m_pixelsPerMm;
    const int deviceW = int(std::lround(320 * ppm));
    const int deviceH = int(std::lround(240 * ppm));
    Bytes head;
    head.u32(1).u32(108); // the header's size
    // bounds: the frame in device pixels
    head.i32(int(m_frame.left() * ppm / 100)).i32(int(m_frame.top() * ppm / 100));
    head.i32(int(m_frame.right() * ppm / 100)).i32(int(m_frame.bottom() * ppm / 100));
    head.i32(m_frame.left()).i32(m_frame.top()).i32(m_frame.right()).i32(m_frame.bottom());
    head.u32(0x464d4520).u32(0x00010000);
    head.u32(quint32(108 + body.size())).u32(quint32(m_count + 2)).u16(64).u16(0);
    head.u32(0).u32(0).u32(0).i32(deviceW).i32(deviceH).i32(320).i32(240);
    head.u32(0).u32(0).u32(0); // no description, no palette, then the device in micrometres
    head.i32(int(std::lround(deviceW / ppm * 1000))).i32(int(std::lround(deviceH / ppm * 1000)));
    return head.raw(body.data()).data();
}

} // namespace MetafileBuilders
