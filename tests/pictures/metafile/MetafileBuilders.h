#pragma once

#include "Bytes.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

// Builders that assemble WMF and EMF files record by record in memory, for the player's tests
// and for the sample pictures. Each helper writes one record the way Windows lays it out.
namespace MetafileBuilders {

// A packed device-independent bitmap (header, colour table, pixels) of an image: 24 bits per
// pixel, or 1, 4 or 8 bits with a palette of the image's colours (at most 2, 16 or 256).
QByteArray packedDib(const QImage& image, int bitsPerPixel = 24, bool topDown = false);
// The same with 8-bit run-length coding (bottom-up, as the format requires).
QByteArray packedDibRle8(const QImage& image);

class WmfBuilder {
public:
    // A placeable WMF with this bounding box and units per inch; a null box makes a plain one.
    explicit WmfBuilder(QRect placeableBox = {}, quint16 unitsPerInch = 1440);

    WmfBuilder& record(quint16 function, const QByteArray& params);
    WmfBuilder& words(quint16 function, std::initializer_list<int> params);

    WmfBuilder& setWindowOrg(int x, int y) { return words(0x020b, {y, x}); }
    WmfBuilder& setWindowExt(int x, int y) { return words(0x020c, {y, x}); }
    WmfBuilder& setMapMode(int mode) { return words(0x0103, {mode}); }
    WmfBuilder& setBkMode(int mode) { return words(0x0102, {mode}); }
    WmfBuilder& setRop2(int rop) { return words(0x0104, {rop}); }
    WmfBuilder& setPolyFillMode(int mode) { return words(0x0106, {mode}); }
    WmfBuilder& setTextColor(QColor c);
    WmfBuilder& setBkColor(QColor c);
    WmfBuilder& createPen(int style, int width, QColor c);
    WmfBuilder& createBrush(int style, QColor c, int hatch = 0);
    WmfBuilder& createFont(int height, const char* face, int escapement = 0, int weight = 400);
    WmfBuilder& createRegion(const QList<QRect>& rects); // one scan per rectangle
    WmfBuilder& selectObject(int index) { return words(0x012d, {index}); }
    WmfBuilder& deleteObject(int index) { return words(0x01f0, {index}); }
    WmfBuilder& selectClipRegion(int index) { return words(0x012c, {index}); }
    WmfBuilder& moveTo(int x, int y) { return words(0x0214, {y, x}); }
    WmfBuilder& lineTo(int x, int y) { return words(0x0213, {y, x}); }
    WmfBuilder& rectangle(QRect r) { return box(0x041b, r); }
    WmfBuilder& ellipse(QRect r) { return box(0x0418, r); }
    WmfBuilder& polygon(const QList<QPoint>& points) { return poly(0x0324, points); }
    WmfBuilder& polyline(const QList<QPoint>& points) { return poly(0x0325, points); }
    WmfBuilder& polyPolygon(const QList<QList<QPoint>>& polygons);
    WmfBuilder& intersectClipRect(QRect r) { return box(0x0416, r); }
    WmfBuilder& excludeClipRect(QRect r) { return box(0x0415, r); }
    WmfBuilder& saveDc() { return words(0x001e, {}); }
    WmfBuilder& restoreDc(int which) { return words(0x0127, {which}); }
    WmfBuilder& textOut(int x, int y, const QByteArray& text);
    WmfBuilder& extTextOut(int x, int y, const QByteArray& text, const QList<int>& dx);
    // STRETCHDIB: the whole bitmap onto dest with a raster operation.
    WmfBuilder& stretchDib(QRect dest, const QByteArray& dib, QSize source,
                           quint32 rop = 0x00cc0020);
    // An EMF carried in comment escapes, in chunks of at most chunkSize bytes.
    WmfBuilder& embedEmf(const QByteArray& emf, int chunkSize = 8192);

    QByteArray finish() const;

private:
    WmfBuilder& poly(quint16 function, const QList<QPoint>& points);
    WmfBuilder& box(quint16 function, QRect r); // bottom, right, top, left

    QRect m_box;
    quint16 m_inch;
    Bytes m_records;
    int m_objects = 0;
    int m_largest = 0;
};

class EmfBuilder {
public:
    // frame in 0.01 mm; the reference device has pixelsPerMm pixels per millimetre.
    explicit EmfBuilder(QRect frame, double pixelsPerMm = 96 / 25.4);

    EmfBuilder& record(quint32 type, const QByteArray& params);
    EmfBuilder& values(quint32 type, std::initializer_list<qint32> params);

    EmfBuilder& setMapMode(int mode) { return values(17, {mode}); }
    EmfBuilder& setWindowExt(int x, int y) { return values(9, {x, y}); }
    EmfBuilder& setViewportExt(int x, int y) { return values(11, {x, y}); }
    EmfBuilder& setViewportOrg(int x, int y) { return values(12, {x, y}); }
    EmfBuilder& setBkMode(int mode) { return values(18, {mode}); }
    EmfBuilder& setTextAlign(int align) { return values(22, {align}); }
    EmfBuilder& setTextColor(QColor c);
    EmfBuilder& setWorldTransform(double m11, double m12, double m21, double m22, double dx,
                                  double dy);
    EmfBuilder& modifyWorldTransform(double m11, double m12, double m21, double m22, double dx,
                                     double dy, int mode);
    EmfBuilder& createPen(int index, int style, int width, QColor c);
    EmfBuilder& createBrush(int index, int style, QColor c, int hatch = 0);
    EmfBuilder& createFont(int index, int height, const QString& face, int escapement = 0);
    EmfBuilder& selectObject(quint32 index) { return values(37, {qint32(index)}); }
    EmfBuilder& deleteObject(quint32 index) { return values(40, {qint32(index)}); }
    EmfBuilder& moveTo(int x, int y) { return values(27, {x, y}); }
    EmfBuilder& lineTo(int x, int y) { return values(54, {x, y}); }
    EmfBuilder& rectangle(QRect r) { return box(43, r); }
    EmfBuilder& ellipse(QRect r) { return box(42, r); }
    EmfBuilder& polyline16(const QList<QPoint>& points);
    EmfBuilder& polygon(const QList<QPoint>& points);
    // EXTSELECTCLIPRGN with rectangles in device units; no rectangles and mode 5 resets.
    EmfBuilder& selectClipRegion(const QList<QRect>& rects, int mode);
    EmfBuilder& beginPath() { return values(59, {}); }
    EmfBuilder& endPath() { return values(60, {}); }
    EmfBuilder& closeFigure() { return values(61, {}); }
    EmfBuilder& fillPath() { return values(62, {0, 0, -1, -1}); }
    EmfBuilder& strokePath() { return values(64, {0, 0, -1, -1}); }
    EmfBuilder& selectClipPath(int mode) { return values(67, {mode}); }
    EmfBuilder& extTextOutW(int x, int y, const QString& text);
    EmfBuilder& stretchDiBits(QRect dest, const QByteArray& dib, QSize source,
                              quint32 rop = 0x00cc0020);
    // A comment holding EMF+ records: a header record (dual or not) and an end record.
    EmfBuilder& emfPlusHeader(bool dual);

    QByteArray finish() const;

private:
    EmfBuilder& box(quint32 type, QRect r); // left, top, right, bottom (exclusive)

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
