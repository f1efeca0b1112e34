#include "MetafileBuilders.h"
#include "MetafileRenderer.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

using namespace MetafileBuilders;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kClear; // nothing drawn

// Points of the picture and the colours they must show there.
using Probes = QList<std::pair<QPoint, QColor>>;

// A plain WMF whose window is 100 x 100 logical units: drawn at 100 x 100, a unit is a pixel.
WmfBuilder plainWmf() {
    return WmfBuilder().setWindowExt(100, 100);
}

// An EMF whose frame is 100 x 100 reference-device pixels (1 pixel per millimetre).
EmfBuilder plainEmf() {
    return EmfBuilder(QRect(0, 0, 10000, 10000), 1.0);
}

QImage render(const QByteArray& file) {
    return MetafileRenderer(file).render(QSize(100, 100));
}

// Whether the pixel shows the colour, or is transparent for kClear.
bool shows(const QImage& image, QPoint at, QColor c) {
    const QColor p = image.pixelColor(at);
    return c.isValid() ? TestPictures::near(p, c, 40) && p.alpha() > 200 : p.alpha() == 0;
}

// The rectangle of pixels that are mostly opaque.
QRect ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// No outline and a solid brush of the colour (WMF objects 0 and 1, EMF object 1), so that
// shapes fill exactly their box.
WmfBuilder& solidBrush(WmfBuilder& wmf, QColor c) {
    return wmf.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, c).selectObject(1);
}
EmfBuilder& solidBrush(EmfBuilder& emf, QColor c) {
    return emf.selectObject(0x80000008).createBrush(1, 0, c).selectObject(1);
}

// The file with a solid brush of the colour filling the rectangle, by default all the picture.
template <typename Builder>
QByteArray filled(Builder file, QColor c, QRect r = QRect(0, 0, 100, 100)) {
    return solidBrush(file, c).rectangle(r).finish();
}

} // namespace

// Declared before the first use of the type in a test column, as the meta-type system requires.
Q_DECLARE_METATYPE(Probes)

class MetafilePlayerTest : public QObject {
    Q_OBJECT

private slots:
    void naturalSize_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("placeable, 1200 per inch")
            << WmfBuilder(QRect(-600, 0, 2400, 1200), 1200).finish() << QSize(192, 96);
        QTest::newRow("plain, window extent")
            << WmfBuilder().setWindowExt(300, -200).rectangle(QRect(0, 0, 10, 10)).finish()
            << QSize(300, 200);
        QTest::newRow("plain, drawn bounds")
            << filled(WmfBuilder(), kRed, QRect(10, 20, 50, 30)) << QSize(50, 30);
        QTest::newRow("emf frame")
            << EmfBuilder(QRect(0, 0, 10000, 5000)).finish() << QSize(378, 189);
    }

    void naturalSize() {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        MetafileRenderer renderer(file);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.naturalSize(), size);
    }

    void handlerReadsByContentAtScaledSize() {
        QByteArray bytes = filled(plainWmf(), kRed, QRect(0, 0, 50, 50));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer); // opens the buffer
        QCOMPARE(reader.format(), QByteArray("wmf"));
        QCOMPARE(reader.size(), QSize(100, 100));
        reader.setScaledSize(QSize(40, 20));
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(40, 20));
        QVERIFY(shows(image, {10, 5}, kRed));
        QVERIFY(shows(image, {30, 15}, kClear)); // transparent where nothing is drawn
        QByteArray other("GIF89a not a metafile at all, just some bytes to fill the head");
        QBuffer otherBuffer(&other);
        QVERIFY(QImageReader(&otherBuffer, "wmf").read().isNull());
    }

    // Files drawn at 100 x 100 and the colours they must show at some points.
    void drawing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Probes>("probes");

        // Shapes.
        WmfBuilder lines = plainWmf();
        lines.createPen(0, 3, kRed).selectObject(0).moveTo(10, 50).lineTo(90, 50);
        lines.polyline({{50, 10}, {50, 30}});
        QTest::newRow("wmf lines")
            << lines.finish()
            << Probes{{{50, 50}, kRed}, {{50, 20}, kRed}, {{50, 40}, kClear}, {{95, 50}, kClear}};
        WmfBuilder fills = plainWmf();
        solidBrush(fills, kBlue).rectangle(QRect(10, 10, 30, 30)).ellipse(QRect(50, 50, 40, 40));
        QTest::newRow("rectangle and ellipse, which leaves its box's corners")
            << fills.finish()
            << Probes{{{25, 25}, kBlue}, {{45, 25}, kClear}, {{70, 70}, kBlue}, {{52, 52}, kClear}};
        for (const int mode : {1, 2}) { // two squares wound the same way, one inside the other
            WmfBuilder wmf = plainWmf();
            solidBrush(wmf.setPolyFillMode(mode), kGreen);
            wmf.polyPolygon({{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                             {{30, 30}, {70, 30}, {70, 70}, {30, 70}}});
            QTest::addRow("polygon fill mode %d", mode)
                << wmf.finish()
                << Probes{{{20, 20}, kGreen}, {{50, 50}, mode == 2 ? kGreen : kClear}};
        }
        WmfBuilder pie = plainWmf(); // anticlockwise from the right to the top: the top-right
        solidBrush(pie, kBlue).words(0x081a, {10, 50, 50, 90, 90, 90, 10, 10});
        QTest::newRow("wmf pie") << pie.finish() << Probes{{{65, 35}, kBlue}, {{35, 65}, kClear}};
        EmfBuilder paths = plainEmf();
        solidBrush(paths, kGreen).beginPath().moveTo(10, 10).lineTo(90, 10).lineTo(10, 90);
        paths.closeFigure().endPath().values(62, {0, 0, -1, -1}); // FILLPATH (bounds unused)
        paths.createPen(2, 0, 3, kRed).selectObject(2).beginPath().moveTo(50, 95).lineTo(95, 95);
        paths.endPath().values(64, {0, 0, -1, -1}); // STROKEPATH
        QTest::newRow("emf paths filled and stroked")
            << paths.finish() << Probes{{{20, 20}, kGreen}, {{80, 80}, kClear}, {{70, 95}, kRed}};

        // Mapping. Y grows upwards: the window's origin is its bottom-left corner, and logical y
        // 70..90 is near the top.
        QTest::newRow("wmf negative extent flips")
            << filled(WmfBuilder().setWindowOrg(0, 100).setWindowExt(100, -100), kRed,
                      QRect(10, 70, 20, 20))
            << Probes{{{20, 20}, kRed}, {{20, 80}, kClear}};
        // Each logical rectangle lands on device pixels 20..40 (1 pixel per mm), y up in every
        // mode but text (1): lometric (2), himetric (3), loenglish (4), twips (6).
        const QList<std::pair<int, QRect>> modes = {{2, {200, -400, 200, 200}},
                                                    {3, {2000, -4000, 2000, 2000}},
                                                    {4, {79, -157, 78, 78}},
                                                    {6, {1134, -2268, 1134, 1134}},
                                                    {1, {20, 20, 20, 20}}};
        for (const auto& [mode, logical] : modes)
            QTest::addRow("emf mapping mode %d", mode)
                << filled(plainEmf().setMapMode(mode), kRed, logical)
                << Probes{{{30, 30}, kRed}, {{50, 30}, kClear}, {{30, 50}, kClear}};
        // Window 10 x 10 onto a viewport of 100 x -50 whose origin (record 12) is at the bottom:
        // x stretched, y flipped and squeezed.
        EmfBuilder aniso = plainEmf().setMapMode(8).setWindowExt(10, 10);
        QTest::newRow("emf anisotropic")
            << filled(aniso.setViewportExt(100, -50).values(12, {0, 100}), kBlue, {0, 0, 5, 10})
            << Probes{{{25, 75}, kBlue}, {{75, 75}, kClear}, {{25, 25}, kClear}};
        EmfBuilder scaled =
            plainEmf().setMapMode(8).setWindowExt(100, 100).setViewportExt(100, 100);
        QTest::newRow("emf window extent scaled by 2 / 1")
            << filled(scaled.values(32, {2, 1, 1, 1}), kBlue)
            << Probes{{{25, 50}, kBlue}, {{75, 50}, kClear}};
        // Isotropic keeps units square: the smaller scale wins.
        QTest::newRow("emf isotropic")
            << filled(plainEmf().setMapMode(7).setWindowExt(10, 10).setViewportExt(100, 50), kBlue,
                      {0, 0, 10, 10})
            << Probes{{{25, 25}, kBlue}, {{75, 25}, kClear}, {{25, 75}, kClear}};
        // The world starts as a scale by 2; a move by 10 is multiplied on the left (2: it moves
        // first), on the right (3: it scales first) or set instead (4). A square of 10.
        const QList<std::tuple<int, QPoint, QPoint>> worlds = {
            {2, {35, 5}, {15, 5}}, {3, {25, 5}, {35, 5}}, {4, {15, 5}, {25, 5}}};
        for (const auto& [mode, full, empty] : worlds) {
            EmfBuilder emf = plainEmf().setWorldTransform(QTransform::fromScale(2, 2));
            QTest::addRow("world transform, mode %d", mode)
                << filled(emf.modifyWorldTransform(QTransform::fromTranslate(10, 0), mode), kRed,
                          {0, 0, 10, 10})
                << Probes{{full, kRed}, {empty, kClear}};
        }
        EmfBuilder far = plainEmf();
        far.setWorldTransform(QTransform::fromScale(1e30, 1e30)); // refused: would overflow
        far.setMapMode(8).setWindowExt(1, 1).setViewportExt(2000000000, 2000000000);
        far.polygon({{-2000000000, -2000000000}, {2000000000, 0}, {0, 2000000000}});
        QTest::newRow("far coordinates and a broken transform")
            << filled(far.setMapMode(1), kRed, {0, 0, 50, 50}) << Probes{{{25, 25}, kRed}};

        // Objects. The selected red brush is deleted (DELETEOBJECT) and keeps drawing, selecting
        // the empty slot 7 is ignored, and the freed slot 1 is taken again by the next brush.
        WmfBuilder objects = plainWmf();
        solidBrush(objects, kRed).createBrush(0, kGreen).words(0x01f0, {1}).selectObject(7);
        objects.rectangle(QRect(50, 50, 50, 50)).createBrush(0, kBlue).selectObject(1);
        QTest::newRow("wmf object slots: deleted, empty, reused")
            << objects.rectangle(QRect(0, 0, 50, 50)).finish()
            << Probes{{{75, 75}, kRed}, {{25, 25}, kBlue}};
        EmfBuilder stock = plainEmf();
        stock.selectObject(0x80000004).selectObject(0x80000008).rectangle(QRect(0, 0, 50, 50));
        stock.selectObject(0x80000005).selectObject(0x80000007).rectangle(QRect(60, 60, 30, 30));
        QTest::newRow("emf stock objects: black brush, hollow brush, black pen")
            << stock.finish()
            << Probes{{{25, 25}, Qt::black}, {{75, 75}, kClear}, {{60, 75}, Qt::black}};
        WmfBuilder xorPen = plainWmf(); // white on blue with the pen's xor: yellow
        solidBrush(xorPen, kBlue).rectangle(QRect(0, 0, 100, 100)).createBrush(0, Qt::white);
        QTest::newRow("raster operation xor pen")
            << xorPen.selectObject(2).setRop2(7).rectangle(QRect(20, 20, 60, 60)).finish()
            << Probes{{{50, 50}, QColor(255, 255, 0)}, {{10, 10}, kBlue}};
        // An old one-bit pattern brush: light bits (the left half) take the background colour,
        // dark ones the text colour.
        WmfBuilder mono = plainWmf().setTextColor(kRed).setBkColor(kGreen);
        mono.record(0x01f9, QByteArray::fromHex("00000800080002000101") + QByteArray(18, '\0') +
                                QByteArray::fromHex("f000").repeated(8));
        mono.selectObject(0).createPen(5, 0, Qt::black).selectObject(1);
        QTest::newRow("one-bit pattern brush")
            << mono.rectangle(QRect(0, 0, 100, 100)).finish()
            << Probes{{{1, 1}, kGreen}, {{5, 1}, kRed}, {{9, 50}, kGreen}, {{13, 50}, kRed}};

        // Clipping and saved states.
        QTest::newRow("wmf exclude")
            << filled(plainWmf().excludeClipRect(QRect(40, 40, 20, 20)), kRed)
            << Probes{{{20, 20}, kRed}, {{50, 50}, kClear}};
        EmfBuilder region = plainEmf().selectClipRegion(QRect(0, 50, 100, 50), 5);
        QTest::newRow("emf region")
            << filled(region, kRed) << Probes{{{50, 75}, kRed}, {{50, 25}, kClear}};
        QTest::newRow("emf region reset")
            << filled(region.selectClipRegion({}, 5), kRed) << Probes{{{50, 25}, kRed}};
        for (const int mode : {1, 2}) { // a triangle inside another: alternate leaves a hole
            EmfBuilder emf = plainEmf();
            emf.setPolyFillMode(mode).beginPath().moveTo(0, 0).lineTo(100, 0).lineTo(0, 100);
            emf.closeFigure().moveTo(10, 10).lineTo(50, 10).lineTo(10, 50).endPath();
            QTest::addRow("emf clip path, fill mode %d", mode)
                << filled(emf.values(67, {5}), kRed) // SELECTCLIPPATH, copying
                << Probes{
                       {{60, 20}, kRed}, {{20, 20}, mode == 2 ? kRed : kClear}, {{80, 80}, kClear}};
        }
        // States: red (saved as 1), green and clipped to the left half (saved as 2), then blue;
        // RESTOREDC back one (-1), to the first (1) or beyond the stack (-3: ignored).
        const QList<std::tuple<int, QColor, bool>> restores = {
            {-1, kGreen, true}, {1, kRed, false}, {-3, kBlue, true}};
        for (const auto& [which, expected, clipped] : restores) {
            WmfBuilder wmf = plainWmf();
            solidBrush(wmf, kRed).createBrush(0, kGreen).createBrush(0, kBlue).saveDc();
            wmf.selectObject(2).intersectClipRect(QRect(0, 0, 50, 100)).saveDc();
            wmf.selectObject(3).words(0x0127, {which}).rectangle(QRect(0, 0, 100, 100));
            QTest::addRow("restore %d", which)
                << wmf.finish()
                << Probes{{{25, 50}, expected}, {{75, 50}, clipped ? kClear : expected}};
        }

        // Bitmaps: each quadrant of the picture must land in its own place.
        const QImage q = TestPictures::quadrants(8, 8);
        const Probes up{{{30, 30}, kRed}, {{70, 30}, kGreen}, {{30, 70}, kBlue}, {{5, 5}, kClear}};
        const QRect dest(10, 10, 80, 80);
        // 24 bits, indexed top-down, run-length coded.
        for (const QByteArray& dib :
             {packedDib(q), packedDib(q, QImage::Format_Indexed8, true), packedDibRle8(q)}) {
            QTest::addRow("wmf bitmap of %d bytes", int(dib.size()))
                << plainWmf().stretchDib(dest, dib, QSize(8, 8)).finish() << up;
            QTest::addRow("emf bitmap of %d bytes", int(dib.size()))
                << plainEmf().stretchDiBits(dest, dib, QSize(8, 8)).finish() << up;
        }
        QTest::newRow("a negative height mirrors")
            << plainWmf().stretchDib(QRect(10, 90, 80, -80), packedDib(q), QSize(8, 8)).finish()
            << Probes{{{30, 70}, kRed}, {{30, 30}, kBlue}};
        // Clip art's trick: AND a mask (white background, black shape), then XOR the picture
        // (black background, coloured shape).
        QImage mask(8, 8, QImage::Format_RGB32);
        mask.fill(Qt::white);
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QPainter(&mask).fillRect(2, 2, 4, 4, Qt::black);
        QPainter(&picture).fillRect(2, 2, 4, 4, Qt::red);
        WmfBuilder pair = plainWmf();
        pair.stretchDib(QRect(0, 0, 80, 80), packedDib(mask), QSize(8, 8), 0x008800c6);
        pair.stretchDib(QRect(0, 0, 80, 80), packedDib(picture), QSize(8, 8), 0x00660046);
        QTest::newRow("a mask pair keeps the background clear")
            << pair.finish() << Probes{{{40, 40}, kRed}, {{5, 5}, kClear}};
        QByteArray huge = packedDib(q);
        qToLittleEndian<qint32>(100000, huge.data() + 4); // width
        qToLittleEndian<qint32>(100000, huge.data() + 8); // height
        QTest::newRow("a huge bitmap is skipped")
            << filled(plainWmf().stretchDib(QRect(0, 0, 100, 100), huge, QSize(8, 8)), kRed,
                      {0, 0, 50, 50})
            << Probes{{{25, 25}, kRed}, {{75, 75}, kClear}};
    }

    void drawing() {
        QFETCH(QByteArray, file);
        QFETCH(Probes, probes);
        const QImage image = render(file);
        for (const auto& [at, colour] : probes)
            QVERIFY2(shows(image, at, colour),
                     qPrintable(QString::asprintf("at (%d, %d) %s", at.x(), at.y(),
                                                  qPrintable(image.pixelColor(at).name()))));
    }

    // Where text lands for each alignment: 20-pixel characters ("HH"), cap height about 14,
    // ascent about 18.
    void textPlacement_data() {
        QTest::addColumn<int>("align");
        QTest::addColumn<QPoint>("reference");
        QTest::addColumn<QRect>("expected"); // bounds the ink must fall in
        QTest::newRow("top left") << 0 << QPoint(10, 10) << QRect(10, 11, 40, 18);
        QTest::newRow("baseline") << 0x18 << QPoint(10, 50) << QRect(10, 33, 40, 18);
        QTest::newRow("bottom") << 0x08 << QPoint(10, 80) << QRect(10, 56, 40, 20);
        QTest::newRow("right") << 0x02 << QPoint(90, 10) << QRect(50, 11, 41, 18);
        QTest::newRow("centre") << 0x06 << QPoint(50, 10) << QRect(30, 11, 41, 18);
    }

    void textPlacement() { // record 22 sets the alignment
        QFETCH(int, align);
        QFETCH(QPoint, reference);
        QFETCH(QRect, expected);
        EmfBuilder emf = plainEmf();
        emf.setBkMode(1).values(22, {align}).createFont(1, -20, "Arial").selectObject(1);
        const QRect drawn =
            ink(render(emf.extTextOutW(reference.x(), reference.y(), "HH").finish()));
        QCOMPARE(expected.united(drawn), expected); // the ink falls inside
        QVERIFY(drawn.height() >= 12);              // cap height of a 20-pixel font
    }

    // Opaque mode fills the gaps of text and of hatched brushes with the background colour.
    void backgroundFollowsBkMode_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("opaque") << 2;
        QTest::newRow("transparent") << 1;
    }

    void backgroundFollowsBkMode() {
        QFETCH(int, mode);
        const QColor gapColour = mode == 2 ? kGreen : kClear;
        WmfBuilder wmf = plainWmf();
        wmf.setBkMode(mode).setBkColor(kGreen).setTextColor(Qt::black);
        wmf.createFont(-20, "Arial").selectObject(0).textOut(10, 10, "I I");
        // Below the text, horizontal hatching: a vertical line through it meets red lines and
        // gaps.
        wmf.createPen(5, 0, Qt::black).selectObject(1).createBrush(2, kRed, 0).selectObject(2);
        const QImage image = render(wmf.rectangle(QRect(0, 50, 100, 50)).finish());
        QVERIFY(shows(image, ink(image.copy(0, 0, 100, 45)).center(), gapColour)); // between "I I"
        int red = 0, gaps = 0;
        for (int y = 55; y < 95; ++y) {
            red += shows(image, {50, y}, kRed);
            gaps += shows(image, {50, y}, gapColour);
        }
        QVERIFY(red >= 3 && gaps > 20);
    }

    void malformedRecordsEndPlayback_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("loads"); // keeps what was drawn before the bad record
        // The end record replaced by one of size 0: the walk cannot advance.
        QTest::newRow("wmf zero-size record after drawing")
            << filled(plainWmf(), kRed, QRect(0, 0, 50, 50)).chopped(6) +
                   QByteArray::fromHex("000000001b04030000000000")
            << true;
        EmfBuilder emf = plainEmf();
        // Text with offsets far outside the record.
        solidBrush(emf, kRed).rectangle(QRect(0, 0, 50, 50)).record(84, QByteArray(60, '\xff'));
        QTest::newRow("emf text offsets outside the record") << emf.finish() << true;
        QByteArray odd = plainEmf().record(43, QByteArray(16, '\0')).finish();
        odd[108 + 4] = 0x17; // a size that is not a multiple of 4
        QTest::newRow("emf size not a multiple of four") << odd << false;
        QTest::newRow("emf record too short, nothing drawn") // a rectangle needs 16 bytes
            << plainEmf().record(43, QByteArray(4, '\0')).finish() << false;
    }

    void malformedRecordsEndPlayback() {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        MetafileRenderer renderer(file);
        const QImage image = renderer.render(QSize(100, 100));
        QCOMPARE(!image.isNull(), loads);
        QVERIFY(loads ? shows(image, {25, 25}, kRed) && renderer.stoppedEarly()
                      : !renderer.errorString().isEmpty());
    }

    void hugeSizesFail() {
        // 65535 units at one unit per inch: far beyond the pixel limit.
        MetafileRenderer huge(WmfBuilder(QRect(0, 0, 32000, 32000), 1).finish());
        QVERIFY(huge.naturalSize().width() > 100000 && huge.render(QSize(100, 100)).isNull());
        QVERIFY(huge.errorString().contains("too large"));
        MetafileRenderer plain(plainWmf().finish());
        QVERIFY(plain.render(QSize(60000, 60000)).isNull() && plain.render(QSize(0, 10)).isNull());
    }

    // Limits end the playback and keep what was drawn before them. Drawing work counts the
    // pixels the painting goes over, whatever the size drawn at: polygons that each cover a
    // picture of 4000 pixels a side stop early at that size and draw whole as a thumbnail, and
    // long one-pixel lines count by their length, not by the box they span.
    void limitsEndPlayback_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("stops");
        // Excluding thousands of separate cells would make a region without bound.
        WmfBuilder clip = WmfBuilder().setWindowExt(1000, 1000);
        solidBrush(clip, kRed).rectangle(QRect(0, 0, 10, 10));
        for (int i = 0; i < 200 * 200; ++i)
            clip.excludeClipRect(QRect(i % 200 * 5, i / 200 * 5, 2, 2));
        QTest::newRow("clip growth") << clip.finish() << 1000 << true;
        WmfBuilder saves = plainWmf();
        solidBrush(saves, kRed).rectangle(QRect(0, 0, 50, 50));
        for (int i = 0; i < 10001; ++i)
            saves.saveDc();
        QTest::newRow("saved states") << saves.finish() << 100 << true;
        const QByteArray polygons = coveringPolygons(4000, 500);
        QTest::newRow("covering polygons at natural size") << polygons << 4000 << true;
        QTest::newRow("covering polygons as a thumbnail") << polygons << 100 << false;
        WmfBuilder lines(QRect(0, 0, 4000, 4000), 96);
        lines.createPen(0, 0, Qt::black).selectObject(0);
        for (int i = 0; i < 1000; ++i)
            lines.moveTo(i * 4, 0).lineTo(4000 - i * 4, 4000);
        QTest::newRow("long one-pixel lines at natural size") << lines.finish() << 4000 << false;
    }

    void limitsEndPlayback() {
        QFETCH(QByteArray, file);
        QFETCH(int, side);
        QFETCH(bool, stops);
        MetafileRenderer renderer(file);
        QVERIFY(!renderer.render(QSize(side, side)).isNull());
        QCOMPARE(renderer.stoppedEarly(), stops);
    }
};

QTEST_MAIN(MetafilePlayerTest)
#include "MetafilePlayerTest.moc"
