#include "MetafileBuilders.h"
#include "MetafileRenderer.h"
#include "TestPictures.h"

#include <QtTest>

using namespace MetafileBuilders;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
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

// Whether the pixel shows the colour, or is transparent for kClear.
bool shows(const QImage& image, QPoint at, QColor c) {
    const QColor p = image.pixelColor(at);
    return c.isValid() ? TestPictures::near(p, c, 40) && p.alpha() > 200 : p.alpha() == 0;
}

// The file with no outline and a brush of the colour and style selected (WMF objects 0 and 1,
// EMF object 1), so that shapes fill exactly their box.
WmfBuilder brush(WmfBuilder wmf, QColor c, int style = 0) {
    return wmf.createPen(5, 0, Qt::black).selectObject(0).createBrush(style, c).selectObject(1);
}
EmfBuilder brush(EmfBuilder emf, QColor c) {
    return emf.selectObject(0x80000008).createBrush(1, 0, c).selectObject(1);
}

// The file with a solid brush of the colour filling the rectangle, by default all the picture.
template <typename Builder>
QByteArray filled(Builder file, QColor c, QRect r = QRect(0, 0, 100, 100)) {
    return brush(file, c).rectangle(r).finish();
}

} // namespace

class MetafilePlayerTest : public QObject {
    Q_OBJECT

private slots:
    void naturalSize() {
        // Placeable: the bounding box at its units per inch, in pixels at 96 dpi.
        const QByteArray placeable = WmfBuilder(QRect(-600, 0, 2400, 1200), 1200).finish();
        QCOMPARE(MetafileRenderer(placeable).naturalSize(), QSize(192, 96));
        // Plain: the window's extent, or else the bounds of what it draws.
        const QByteArray windowed = WmfBuilder().setWindowExt(300, -200).finish();
        QCOMPARE(MetafileRenderer(windowed).naturalSize(), QSize(300, 200));
        const QByteArray drawn = filled(WmfBuilder(), kRed, QRect(10, 20, 50, 30));
        QCOMPARE(MetafileRenderer(drawn).naturalSize(), QSize(50, 30));
    }

    // Files drawn at 100 x 100 and the colours they must show at some points.
    void drawing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Probes>("probes");

        // Shapes and text.
        WmfBuilder pie = brush(plainWmf(), kRed); // anticlockwise from the right to the top
        pie.words(0x081a, {10, 50, 50, 90, 90, 90, 10, 10}); // PIE: the top-right quarter
        QTest::newRow("wmf pie") << pie.finish() << Probes{{{65, 35}, kRed}, {{35, 65}, kClear}};
        // Transparent between its lines: a column of it crosses lines and gaps.
        WmfBuilder hatch = brush(plainWmf().setBkMode(1), kRed, 2);
        QTest::newRow("horizontal hatch, transparent")
            << hatch.rectangle(QRect(0, 0, 100, 100)).finish()
            << Probes{{{50, 3}, kRed}, {{50, 7}, kClear}};
        // Opaque mode fills the text's box with the background colour (here also the text's):
        // centred (SETTEXTALIGN 6), the box straddles its reference point.
        WmfBuilder text = plainWmf().setBkColor(kGreen).setTextColor(kGreen).words(0x012e, {6});
        text.createFont(-20, "Arial").selectObject(0).textOut(50, 10, "HH");
        QTest::newRow("centred text, opaque")
            << text.finish() << Probes{{{40, 20}, kGreen}, {{60, 20}, kGreen}, {{25, 20}, kClear}};

        // Mapping. Low English (4), a hundredth of an inch with y up, puts the logical rectangle
        // on device pixels 20..40 (1 pixel per mm).
        QTest::newRow("emf mapping mode low English")
            << filled(plainEmf().setMapMode(4), kRed, {79, -157, 78, 78})
            << Probes{{{30, 30}, kRed}, {{50, 30}, kClear}, {{30, 50}, kClear}};
        // Isotropic keeps units square, the smaller scale winning: here the window's width,
        // doubled by SCALEWINDOWEXT (2 / 1), gives 50 / 20 pixels a unit.
        EmfBuilder iso = plainEmf().setMapMode(7).setWindowExt(10, 10).setViewportExt(50, 100);
        QTest::newRow("emf isotropic, window extent scaled")
            << filled(iso.values(32, {2, 1, 1, 1}), kRed, {0, 0, 10, 10})
            << Probes{{{20, 20}, kRed}, {{30, 20}, kClear}, {{20, 30}, kClear}};
        // The world is a scale by 2; a move by 10 multiplied on the left (2) moves first.
        EmfBuilder world = plainEmf().setWorldTransform(QTransform::fromScale(2, 2));
        world.modifyWorldTransform(QTransform::fromTranslate(10, 0), 2);
        QTest::newRow("emf world transforms combined")
            << filled(world, kRed, {0, 0, 10, 10}) << Probes{{{35, 5}, kRed}, {{15, 5}, kClear}};
        EmfBuilder far = plainEmf();
        far.setWorldTransform(QTransform::fromScale(1e30, 1e30)); // refused: would overflow
        far.setMapMode(8).setWindowExt(1, 1).setViewportExt(2000000000, 2000000000);
        far.polygon({{-2000000000, -2000000000}, {2000000000, 0}, {0, 2000000000}});
        QTest::newRow("far coordinates and a broken transform")
            << filled(far.setMapMode(1), kRed, {0, 0, 50, 50}) << Probes{{{25, 25}, kRed}};

        // Objects.
        QTest::newRow("emf stock black brush")
            << plainEmf().selectObject(0x80000004).rectangle(QRect(0, 0, 50, 50)).finish()
            << Probes{{{25, 25}, Qt::black}, {{75, 75}, kClear}};
        // An old one-bit pattern brush: light bits (the left half) take the background colour,
        // dark ones the text colour.
        WmfBuilder mono = plainWmf().setTextColor(kRed).setBkColor(kGreen);
        mono.record(0x01f9, QByteArray::fromHex("00000800080002000101") + QByteArray(18, '\0') +
                                QByteArray::fromHex("f000").repeated(8));
        mono.selectObject(0).createPen(5, 0, Qt::black).selectObject(1);
        QTest::newRow("one-bit pattern brush")
            << mono.rectangle(QRect(0, 0, 100, 100)).finish()
            << Probes{{{1, 1}, kGreen}, {{5, 1}, kRed}, {{9, 50}, kGreen}, {{13, 50}, kRed}};

        // Clipping.
        // A triangle inside another: alternate filling, the default, leaves a hole.
        EmfBuilder clipPath = plainEmf();
        clipPath.beginPath().moveTo(0, 0).lineTo(100, 0).lineTo(0, 100).closeFigure();
        clipPath.moveTo(10, 10).lineTo(50, 10).lineTo(10, 50).endPath();
        QTest::newRow("emf clip path")
            << filled(clipPath.values(67, {5}), kRed) // SELECTCLIPPATH, copying
            << Probes{{{60, 20}, kRed}, {{20, 20}, kClear}, {{80, 80}, kClear}};

        // Bitmaps: each quadrant of the picture must land in its own place.
        const QByteArray dib = TestPictures::headerlessDib(TestPictures::quadrants(8, 8));
        QTest::newRow("wmf bitmap")
            << plainWmf().stretchDib(QRect(10, 10, 80, 80), dib, QSize(8, 8)).finish()
            << Probes{{{30, 30}, kRed}, {{70, 30}, kGreen}, {{5, 5}, kClear}};
        QByteArray huge = dib;
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
        const QImage image = MetafileRenderer(file).render(QSize(100, 100));
        for (const auto& [at, colour] : probes)
            QVERIFY2(shows(image, at, colour),
                     qPrintable(QString::asprintf("at (%d, %d)", at.x(), at.y())));
    }

    // Malformed records and limits end the playback and keep what was drawn before them; with
    // nothing drawn yet, the render fails.
    void hostileFilesEndPlayback_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("side"); // drawn at side x side
        QTest::addColumn<bool>("loads");
        // The end record replaced by one of size 0: the walk cannot advance.
        QTest::newRow("wmf zero-size record after drawing")
            << filled(plainWmf(), kRed, QRect(0, 0, 50, 50)).chopped(6) +
                   QByteArray::fromHex("000000001b04030000000000")
            << 100 << true;
        EmfBuilder emf = brush(plainEmf(), kRed).rectangle(QRect(0, 0, 50, 50));
        emf.record(84, QByteArray(60, '\xff')); // text with offsets far outside the record
        QTest::newRow("emf text offsets outside the record") << emf.finish() << 100 << true;
        QTest::newRow("emf record too short, nothing drawn") // a rectangle needs 16 bytes
            << plainEmf().record(43, QByteArray(4, '\0')).finish() << 100 << false;
        // 65535 units at one unit per inch: far beyond the pixel limit.
        QTest::newRow("huge placeable size")
            << WmfBuilder(QRect(0, 0, 32000, 32000), 1).finish() << 100 << false;
        QTest::newRow("huge size asked for") << plainWmf().finish() << 60000 << false;
        // Excluding thousands of separate cells would make a region without bound.
        WmfBuilder clip =
            brush(WmfBuilder().setWindowExt(1000, 1000), kRed).rectangle({0, 0, 10, 10});
        for (int i = 0; i < 200 * 200; ++i)
            clip.excludeClipRect(QRect(i % 200 * 5, i / 200 * 5, 2, 2));
        QTest::newRow("clip growth") << clip.finish() << 1000 << true;
        WmfBuilder saves = brush(plainWmf(), kRed).rectangle(QRect(0, 0, 50, 50));
        for (int i = 0; i < 10001; ++i)
            saves.words(0x001e, {}); // SAVEDC
        QTest::newRow("saved states") << saves.finish() << 100 << true;
        // Drawing work counts the pixels the painting goes over: polygons that each cover a
        // picture of 4000 pixels a side stop early at that size.
        QTest::newRow("drawing work") << coveringPolygons(4000, 500) << 4000 << true;
    }

    void hostileFilesEndPlayback() {
        QFETCH(QByteArray, file);
        QFETCH(int, side);
        QFETCH(bool, loads);
        MetafileRenderer renderer(file);
        QCOMPARE(!renderer.render(QSize(side, side)).isNull(), loads);
        QVERIFY(loads ? renderer.stoppedEarly() : !renderer.errorString().isEmpty());
    }
};

QTEST_MAIN(MetafilePlayerTest)
#include "MetafilePlayerTest.moc"
