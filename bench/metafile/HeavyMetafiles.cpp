#include "HeavyMetafiles.h"

#include "MetafileBuilders.h"

#include <QImage>

using namespace MetafileBuilders;

namespace {

constexpr int kRecords = 2000;

// A placeable WMF of the given side with a hollow pen and a brush of this style selected.
WmfBuilder filling(int side, int brushStyle, int hatch = 0) {
    WmfBuilder wmf(QRect(0, 0, side, side), 96);
    wmf.createPen(5, 0, Qt::black).selectObject(0);
    wmf.createBrush(brushStyle, Qt::red, hatch).selectObject(1);
    return wmf;
}

QList<QPoint> covering(int side, int i) {
    return {{0, 0}, {side, 0}, {side, side}, {0, side}, {i % side, side / 2}};
}

QByteArray polygons(WmfBuilder wmf, int side) {
    for (int i = 0; i < kRecords; ++i)
        wmf.polygon(covering(side, i));
    return wmf.finish();
}

QByteArray strokes(int side, int width, int style) {
    WmfBuilder wmf(QRect(0, 0, side, side), 96);
    wmf.setBkMode(2).createPen(style, width, Qt::blue).selectObject(0);
    for (int i = 0; i < kRecords; ++i)
        wmf.polyline({{0, i % side}, {side, side - i % side}, {0, side}, {side, 0}});
    return wmf.finish();
}

QByteArray thinDiagonals(int side) {
    WmfBuilder wmf = filling(side, 0);
    for (int i = 0; i < kRecords; ++i) {
        const int x = i % side;
        wmf.polygon({{x, 0}, {x + 2, 0}, {side - x + 2, side}, {side - x, side}});
    }
    return wmf.finish();
}

QByteArray text(int side) {
    WmfBuilder wmf(QRect(0, 0, side, side), 96);
    wmf.setBkMode(1).createFont(-side / 10, "Arial").selectObject(0);
    for (int i = 0; i < kRecords * 10; ++i)
        wmf.textOut(0, (i * 37) % (side - side / 10), "The quick brown fox");
    return wmf.finish();
}

QByteArray bitmaps(int side, quint32 rop) {
    QImage image(1024, 1024, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QByteArray dib = packedDibRle8(image);
    WmfBuilder wmf(QRect(0, 0, side, side), 96);
    for (int i = 0; i < kRecords / 10; ++i)
        wmf.stretchDib(QRect(0, 0, side, side), dib, image.size(), rop);
    return wmf.finish();
}

// EMF GRADIENTFILL records of two triangles that shade the whole picture.
QByteArray gradients(int side) {
    const int frame = side * 2540 / 96; // 0.01 mm at 96 dpi
    EmfBuilder emf(QRect(0, 0, frame, frame));
    Bytes params;
    params.i32(0).i32(0).i32(side).i32(side).u32(4).u32(2).u32(2);
    const QPoint corners[4] = {{0, 0}, {side, 0}, {side, side}, {0, side}};
    for (int i = 0; i < 4; ++i)
        params.i32(corners[i].x())
            .i32(corners[i].y())
            .u16(quint16(i * 0x4000))
            .u16(0xff00)
            .u16(0)
            .u16(0);
    params.u32(0).u32(1).u32(2).u32(0).u32(2).u32(3);
    for (int i = 0; i < kRecords / 10; ++i)
        emf.record(118, params.data());
    return emf.finish();
}

} // namespace

QList<HeavyMetafile> heavyMetafiles(int side) {
    return {
        {"covering polygons", coveringPolygons(side, kRecords)},
        {"hatched polygons, opaque", polygons(filling(side, 2, 5).setBkMode(2), side)},
        {"xor polygons", polygons(filling(side, 0).setRop2(7), side)},
        {"wide strokes", strokes(side, side / 8, 0)},
        {"dashed one-pixel strokes", strokes(side, 0, 1)},
        {"thin diagonal polygons", thinDiagonals(side)},
        {"large text", text(side)},
        {"bitmaps", bitmaps(side, 0x00cc0020)},
        {"xor bitmaps", bitmaps(side, 0x00660046)},
        {"shaded triangles", gradients(side)},
    };
}
