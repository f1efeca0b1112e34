#pragma once

#include "Bytes.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QTransform>

// Builders that assemble WMF and EMF files record by record in memory, for the player's tests,
// the sample pictures and the benchmark. Each helper writes one record the way Windows lays it
// out; record(), words() and values() write any other.
namespace MetafileBuilders {

// A packed device-independent bitmap (header, colour table, pixels) of an image of at most 256
// colours, with 8-bit run-length coding (bottom-up, as the format requires).
QByteArray packedDibRle8(const QImage& image);

class WmfBuilder {
public:
    // A placeable WMF with this bounding box and units per inch; a null box makes a plain one.
    explicit WmfBuilder(QRect placeableBox = {}, quint16 unitsPerInch = 1440)
        : m_box(placeableBox), m_inch(unitsPerInch) {}

    WmfBuilder& record(quint16 function, const QByteArray& params);
    WmfBuilder& words(quint16 function, const QList<int>& params);

    WmfBuilder& setWindowOrg(int x, int y) { return words(0x020b, {y, x}); }
    WmfBuilder& setWindowExt(int x, int y) { return words(0x020c, {y, x}); }
    WmfBuilder& setMapMode(int mode) { return words(0x0103, {mode}); }
    WmfBuilder& setBkMode(int mode) { return words(0x0102, {mode}); }
    WmfBuilder& setRop2(int rop) { return words(0x0104, {rop}); }
    WmfBuilder& setTextColor(QColor c) { return record(0x0209, Bytes().colour(c).data()); }
    WmfBuilder& setBkColor(QColor c) { return record(0x0201, Bytes().colour(c).data()); }
    WmfBuilder& createPen(int style, int width, QColor c) {
        return record(0x02fa,
                      Bytes().u16(quint16(style)).i16(qint16(width)).i16(0).colour(c).data());
    }
    WmfBuilder& createBrush(int style, QColor c, int hatch = 0) {
        return record(0x02fc, Bytes().u16(quint16(style)).colour(c).u16(quint16(hatch)).data());
    }
    WmfBuilder& createFont(int height, const char* face, int weight = 400);
    WmfBuilder& selectObject(int index) { return words(0x012d, {index}); }
    WmfBuilder& moveTo(int x, int y) { return words(0x0214, {y, x}); }
    WmfBuilder& lineTo(int x, int y) { return words(0x0213, {y, x}); }
    // Boxes are written bottom, right, top, left (exclusive).
    WmfBuilder& rectangle(QRect r) { return words(0x041b, box(r)); }
    WmfBuilder& ellipse(QRect r) { return words(0x0418, box(r)); }
    WmfBuilder& excludeClipRect(QRect r) { return words(0x0415, box(r)); }
    WmfBuilder& polygon(const QList<QPoint>& points) { return poly(0x0324, points); }
    WmfBuilder& polyline(const QList<QPoint>& points) { return poly(0x0325, points); }
    WmfBuilder& textOut(int x, int y, const QByteArray& text);
    // STRETCHDIB: the whole bitmap onto dest with a raster operation.
    WmfBuilder& stretchDib(QRect dest, const QByteArray& dib, QSize source,
                           quint32 rop = 0x00cc0020);

    QByteArray finish() const;

private:
    static QList<int> box(QRect r) { return {r.bottom() + 1, r.right() + 1, r.top(), r.left()}; }
    // The number of points, then the points.
    WmfBuilder& poly(quint16 function, const QList<QPoint>& points);

    QRect m_box;
    quint16 m_inch;
    Bytes m_records;
    int m_objects = 0;
    int m_largest = 0;
};

class EmfBuilder {
public:
    // frame in 0.01 mm; the reference device has pixelsPerMm pixels per millimetre.
    explicit EmfBuilder(QRect frame, double pixelsPerMm = 96 / 25.4)
        : m_frame(frame), m_pixelsPerMm(pixelsPerMm) {}

    EmfBuilder& record(quint32 type, const QByteArray& params);
    EmfBuilder& values(quint32 type, const QList<qint32>& params);

    EmfBuilder& setMapMode(int mode) { return values(17, {mode}); }
    EmfBuilder& setWindowExt(int x, int y) { return values(9, {x, y}); }
    EmfBuilder& setViewportExt(int x, int y) { return values(11, {x, y}); }
    EmfBuilder& setBkMode(int mode) { return values(18, {mode}); }
    EmfBuilder& setTextColor(QColor c) { return record(24, Bytes().colour(c).data()); }
    EmfBuilder& setWorldTransform(const QTransform& t) { return modifyWorldTransform(t, 0); }
    // MODIFYWORLDTRANSFORM with the mode; mode 0 writes SETWORLDTRANSFORM instead.
    EmfBuilder& modifyWorldTransform(const QTransform& t, int mode);
    EmfBuilder& createPen(int index, int style, int width, QColor c) {
        return record(
            38, Bytes().u32(quint32(index)).u32(quint32(style)).i32(width).i32(0).colour(c).data());
    }
    EmfBuilder& createBrush(int index, int style, QColor c, int hatch = 0) {
        return record(
            39,
            Bytes().u32(quint32(index)).u32(quint32(style)).colour(c).u32(quint32(hatch)).data());
    }
    EmfBuilder& createFont(int index, int height, const QString& face);
    EmfBuilder& selectObject(quint32 index) { return values(37, {qint32(index)}); }
    EmfBuilder& moveTo(int x, int y) { return values(27, {x, y}); }
    EmfBuilder& lineTo(int x, int y) { return values(54, {x, y}); }
    // Boxes are written left, top, right, bottom (exclusive).
    EmfBuilder& rectangle(QRect r) { return values(43, box(r)); }
    EmfBuilder& ellipse(QRect r) { return values(42, box(r)); }
    EmfBuilder& polygon(const QList<QPoint>& points);
    EmfBuilder& beginPath() { return values(59, {}); }
    EmfBuilder& endPath() { return values(60, {}); }
    EmfBuilder& closeFigure() { return values(61, {}); }
    EmfBuilder& extTextOutW(int x, int y, const QString& text);

    QByteArray finish() const;

private:
    static QList<qint32> box(QRect r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

    QRect m_frame;
    double m_pixelsPerMm;
    Bytes m_records;
    int m_count = 0;
};

// A placeable WMF whose picture is side x side pixels, holding `count` polygons that each cover
// all of it: a few bytes a record, a whole picture of filling each (the kind of file fuzzing
// finds).
QByteArray coveringPolygons(int side, int count);

} // namespace MetafileBuilders
