#include "MetafileBuilders.h"
#include "MetafileRenderer.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

using namespace MetafileBuilders;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kClear; // nothing drawn

// A point of the picture and the colour it must show there.
struct Probe {
    QPoint at;
    QColor colour;
};
using Probes = QList<Probe>;

} // namespace

// Declared before the first use of the type in a test column, as the meta-type system requires.
Q_DECLARE_METATYPE(Probes)

namespace {

// A plain WMF whose window is 100 x 100 logical units, drawn at 100 x 100 pixels: one logical
// unit is one pixel.
WmfBuilder plainWmf() {
    WmfBuilder wmf;
    wmf.setWindowOrg(0, 0).setWindowExt(100, 100);
    return wmf;
}

// An EMF whose frame is 100 x 100 reference-device pixels (1 pixel per millimetre).
EmfBuilder plainEmf() {
    return EmfBuilder(QRect(0, 0, 10000, 10000), 1.0);
}

QImage render(const QByteArray& file, QSize size = QSize(100, 100)) {
    MetafileRenderer renderer(file);
    return renderer.render(size);
}

bool clear(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).alpha() == 0;
}
bool is(const QImage& image, int x, int y, QColor c) {
    return TestPictures::near(image.pixelColor(x, y), c, 40) &&
           image.pixelColor(x, y).alpha() > 200;
}

// Empty when the picture shows every probe's colour, else the first it does not.
QString unmetProbe(const QImage& image, const Probes& probes) {
    for (const Probe& p : probes) {
        const bool met = p.colour.isValid() ? is(image, p.at.x(), p.at.y(), p.colour)
                                            : clear(image, p.at.x(), p.at.y());
        if (!met)
            return QStringLiteral("at (%1, %2) %3, expected %4")
                .arg(p.at.x())
                .arg(p.at.y())
                .arg(image.pixelColor(p.at).name(QColor::HexArgb),
                     p.colour.isValid() ? p.colour.name() : QStringLiteral("nothing"));
    }
    return {};
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

QString describe(QRect r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Brush-filled, pen-less rectangle helpers used by many cases.
WmfBuilder& filledRect(WmfBuilder& wmf, QRect r, QColor c) {
    return wmf.createPen(5, 0, Qt::black)
        .selectObject(0)
        .createBrush(0, c)
        .selectObject(1)
        .rectangle(r);
}

EmfBuilder& filledRect(EmfBuilder& emf, QRect r, QColor c) {
    return emf.selectObject(0x80000008).createBrush(1, 0, c).selectObject(1).rectangle(r);
}

QImage quadrants() {
    return TestPictures::quadrants(8, 8);
}

void addProbeColumns() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Probes>("probes");
}

// The file of the current row drawn at 100 x 100, held to its probes.
void verifyProbes() {
    QFETCH(QByteArray, file);
    QFETCH(Probes, probes);
    const QString unmet = unmetProbe(render(file), probes);
    QVERIFY2(unmet.isEmpty(), qPrintable(unmet));
}

} // namespace

class MetafilePlayerTest : public QObject {
    Q_OBJECT

private slots:
    // --- size and the image handler -----------------------------------------------------------

    void naturalSize_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("placeable, twips")
            << WmfBuilder(QRect(0, 0, 1440, 720), 1440).finish() << QSize(96, 48);
        QTest::newRow("placeable, 1200 per inch")
            << WmfBuilder(QRect(-600, 0, 2400, 1200), 1200).finish() << QSize(192, 96);
        QTest::newRow("plain, window extent")
            << WmfBuilder().setWindowExt(300, 200).rectangle(QRect(0, 0, 10, 10)).finish()
            << QSize(300, 200);
        QTest::newRow("plain, negative extent")
            << WmfBuilder().setWindowExt(300, -200).rectangle(QRect(0, 0, 10, 10)).finish()
            << QSize(300, 200);
        WmfBuilder measured;
        measured.createPen(5, 0, Qt::black).selectObject(0).rectangle(QRect(10, 20, 50, 30));
        QTest::newRow("plain, drawn bounds") << measured.finish() << QSize(50, 30);
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
        WmfBuilder wmf = plainWmf();
        filledRect(wmf, QRect(0, 0, 50, 100), kRed);
        QByteArray bytes = wmf.finish();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QCOMPARE(reader.format(), QByteArray("wmf"));
        QVERIFY(reader.supportsOption(QImageIOHandler::ScaledSize));
        QCOMPARE(reader.size(), QSize(100, 100));
        reader.setScaledSize(QSize(40, 20));
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(40, 20));
        QVERIFY(is(image, 10, 10, kRed));
        QVERIFY(clear(image, 30, 10)); // transparent where nothing is drawn

        QByteArray other("GIF89a not a metafile at all, just some bytes to fill the head");
        QBuffer otherBuffer(&other);
        otherBuffer.open(QIODevice::ReadOnly);
        QVERIFY(QImageReader(&otherBuffer, "wmf").read().isNull());
    }

    // --- shapes, mapping and objects ----------------------------------------------------------

    void shapes_data() {
        addProbeColumns();
        WmfBuilder lines = plainWmf();
        lines.createPen(0, 3, kRed).selectObject(0).moveTo(10, 50).lineTo(90, 50);
        lines.polyline({{50, 10}, {50, 30}});
        QTest::newRow("wmf lines")
            << lines.finish()
            << Probes{{{50, 50}, kRed}, {{50, 20}, kRed}, {{50, 40}, kClear}, {{95, 50}, kClear}};
        EmfBuilder emfLine = plainEmf();
        emfLine.createPen(1, 0, 1, kBlue).selectObject(1).polyline16({{10, 10}, {90, 90}});
        QTest::newRow("emf line") << emfLine.finish()
                                  << Probes{{{50, 50}, kBlue}, {{50, 30}, kClear}};
        WmfBuilder fills = plainWmf();
        filledRect(fills, QRect(10, 10, 30, 30), kBlue).ellipse(QRect(50, 50, 40, 40));
        QTest::newRow("rectangle and ellipse, which leaves its box's corners")
            << fills.finish()
            << Probes{{{25, 25}, kBlue}, {{45, 25}, kClear}, {{70, 70}, kBlue}, {{52, 52}, kClear}};
        // Two squares wound the same way, one inside the other.
        for (const int mode : {1, 2}) {
            WmfBuilder wmf = plainWmf();
            wmf.setPolyFillMode(mode).createPen(5, 0, Qt::black).selectObject(0);
            wmf.createBrush(0, kGreen).selectObject(1);
            wmf.polyPolygon({{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                             {{30, 30}, {70, 30}, {70, 70}, {30, 70}}});
            QTest::addRow("polygon fill mode %d", mode)
                << wmf.finish()
                << Probes{{{20, 20}, kGreen}, {{50, 50}, mode == 2 ? kGreen : kClear}};
        }
        EmfBuilder paths = plainEmf();
        paths.selectObject(0x80000008).createBrush(1, 0, kGreen).selectObject(1);
        paths.beginPath().moveTo(10, 10).lineTo(90, 10).lineTo(10, 90).closeFigure().endPath();
        paths.fillPath().createPen(2, 0, 3, kRed).selectObject(2);
        paths.beginPath().moveTo(50, 95).lineTo(95, 95).endPath().strokePath();
        QTest::newRow("emf paths filled and stroked")
            << paths.finish() << Probes{{{20, 20}, kGreen}, {{80, 80}, kClear}, {{70, 95}, kRed}};
    }

    void shapes() { verifyProbes(); }

    void mapping_data() {
        addProbeColumns();
        // y grows upwards: the window's origin is its bottom-left corner.
        WmfBuilder flipped;
        flipped.setWindowOrg(0, 100).setWindowExt(100, -100);
        filledRect(flipped, QRect(10, 70, 20, 20), kRed); // logical y 70..90: near the top
        QTest::newRow("wmf negative extent flips")
            << flipped.finish() << Probes{{{20, 20}, kRed}, {{20, 80}, kClear}};
        // Each logical rectangle lands on device pixels 20..40 (1 pixel per mm), y up.
        const struct {
            const char* name;
            int mode;
            QRect logical;
        } modes[] = {{"lometric", 2, {200, -400, 200, 200}},
                     {"himetric", 3, {2000, -4000, 2000, 2000}},
                     {"loenglish", 4, {79, -157, 78, 78}},
                     {"twips", 6, {1134, -2268, 1134, 1134}},
                     {"text", 1, {20, 20, 20, 20}}};
        for (const auto& m : modes) {
            EmfBuilder emf = plainEmf();
            filledRect(emf.setMapMode(m.mode), m.logical, kRed);
            QTest::addRow("emf mapping mode %s", m.name)
                << emf.finish() << Probes{{{30, 30}, kRed}, {{50, 30}, kClear}, {{30, 50}, kClear}};
        }
        // Window 10 x 10 onto a viewport of 100 x -50: x stretched, y flipped and squeezed.
        EmfBuilder aniso = plainEmf();
        aniso.setMapMode(8).setWindowExt(10, 10).setViewportExt(100, -50).setViewportOrg(0, 100);
        filledRect(aniso, QRect(0, 0, 5, 10), kBlue);
        QTest::newRow("emf anisotropic")
            << aniso.finish() << Probes{{{25, 75}, kBlue}, {{75, 75}, kClear}, {{25, 25}, kClear}};
        // Isotropic keeps units square: the smaller scale wins.
        EmfBuilder iso = plainEmf();
        iso.setMapMode(7).setWindowExt(10, 10).setViewportExt(100, 50);
        filledRect(iso, QRect(0, 0, 10, 10), kBlue);
        QTest::newRow("emf isotropic")
            << iso.finish() << Probes{{{25, 25}, kBlue}, {{75, 25}, kClear}, {{25, 75}, kClear}};
        // The world starts as a scale by 2, the modification moves by 10; a square of 10.
        const struct {
            const char* name;
            int mode;
            QPoint filled, empty;
        } worlds[] = {{"left multiply: move first", 2, {35, 5}, {15, 5}},
                      {"right multiply: scale first", 3, {25, 5}, {35, 5}},
                      {"set", 4, {15, 5}, {25, 5}},
                      {"identity", 1, {5, 5}, {15, 5}}};
        for (const auto& w : worlds) {
            EmfBuilder emf = plainEmf();
            emf.setWorldTransform(2, 0, 0, 2, 0, 0).modifyWorldTransform(1, 0, 0, 1, 10, 0, w.mode);
            filledRect(emf, QRect(0, 0, 10, 10), kRed);
            QTest::addRow("world transform, %s", w.name)
                << emf.finish() << Probes{{w.filled, kRed}, {w.empty, kClear}};
        }
        EmfBuilder far = plainEmf();
        far.setWorldTransform(1e30, 0, 0, 1e30, 0, 0); // refused: would overflow
        far.setMapMode(8).setWindowExt(1, 1).setViewportExt(2000000000, 2000000000);
        far.polygon({{-2000000000, -2000000000}, {2000000000, 0}, {0, 2000000000}});
        filledRect(far.setMapMode(1), QRect(0, 0, 50, 50), kRed);
        QTest::newRow("far coordinates and a broken transform")
            << far.finish() << Probes{{{25, 25}, kRed}};
    }

    void mapping() { verifyProbes(); }

    void objects_data() {
        addProbeColumns();
        WmfBuilder reused = plainWmf();
        reused.createBrush(0, kRed).createBrush(0, kGreen).deleteObject(0);
        reused.createBrush(0, kBlue); // takes the freed slot 0
        reused.createPen(5, 0, Qt::black).selectObject(2);
        reused.selectObject(0).rectangle(QRect(0, 0, 50, 50));
        reused.selectObject(1).rectangle(QRect(50, 50, 50, 50));
        QTest::newRow("wmf object slots are reused")
            << reused.finish() << Probes{{{25, 25}, kBlue}, {{75, 75}, kGreen}};
        WmfBuilder deleted = plainWmf();
        deleted.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, kRed).selectObject(1);
        deleted.deleteObject(1).selectObject(7); // an empty slot: ignored
        deleted.rectangle(QRect(10, 10, 30, 30));
        QTest::newRow("a deleted selection keeps drawing")
            << deleted.finish() << Probes{{{25, 25}, kRed}};
        EmfBuilder stock = plainEmf();
        stock.selectObject(0x80000004).selectObject(0x80000008).rectangle(QRect(0, 0, 50, 50));
        stock.selectObject(0x80000005).selectObject(0x80000007).rectangle(QRect(60, 60, 30, 30));
        QTest::newRow("emf stock objects: black brush, hollow brush, black pen")
            << stock.finish()
            << Probes{{{25, 25}, Qt::black}, {{75, 75}, kClear}, {{60, 75}, Qt::black}};
        // A blue square is drawn first; then a white-filled square over it with the mode.
        const struct {
            const char* name;
            int rop;
            QColor expected;
        } rops[] = {{"xor pen", 7, QColor(255, 255, 0)},
                    {"not", 6, QColor(255, 255, 0)},
                    {"nop", 11, kBlue},
                    {"black", 1, Qt::black},
                    {"copy pen", 13, Qt::white}};
        for (const auto& r : rops) {
            WmfBuilder wmf = plainWmf();
            filledRect(wmf, QRect(0, 0, 100, 100), kBlue).createBrush(0, Qt::white).selectObject(2);
            wmf.setRop2(r.rop).rectangle(QRect(20, 20, 60, 60));
            QTest::addRow("raster operation %s", r.name)
                << wmf.finish() << Probes{{{50, 50}, r.expected}, {{10, 10}, kBlue}};
        }
        EmfBuilder emf = plainEmf();
        filledRect(emf, QRect(0, 0, 100, 100), kGreen);
        WmfBuilder host = plainWmf();
        filledRect(host, QRect(0, 0, 100, 100), kRed).embedEmf(emf.finish(), 100); // in chunks
        QTest::newRow("an embedded emf wins") << host.finish() << Probes{{{50, 50}, kGreen}};
    }

    void objects() { verifyProbes(); }

    // --- clipping and saved states ------------------------------------------------------------

    void clipping_data() {
        addProbeColumns();
        WmfBuilder intersect = plainWmf();
        intersect.intersectClipRect(QRect(0, 0, 50, 100));
        filledRect(intersect, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("wmf intersect")
            << intersect.finish() << Probes{{{25, 50}, kRed}, {{75, 50}, kClear}};
        WmfBuilder exclude = plainWmf();
        exclude.excludeClipRect(QRect(40, 40, 20, 20));
        filledRect(exclude, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("wmf exclude")
            << exclude.finish() << Probes{{{20, 20}, kRed}, {{50, 50}, kClear}};
        WmfBuilder region = plainWmf();
        region.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, kRed).selectObject(1);
        region.createRegion({QRect(60, 0, 40, 100)}).selectClipRegion(2);
        region.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf region")
            << region.finish() << Probes{{{80, 50}, kRed}, {{20, 50}, kClear}};
        EmfBuilder device = plainEmf();
        device.selectClipRegion({QRect(0, 50, 100, 50)}, 5);
        filledRect(device, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf region")
            << device.finish() << Probes{{{50, 75}, kRed}, {{50, 25}, kClear}};
        EmfBuilder reset = plainEmf();
        reset.selectClipRegion({QRect(0, 50, 100, 50)}, 5).selectClipRegion({}, 5);
        filledRect(reset, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf region reset") << reset.finish() << Probes{{{50, 25}, kRed}};
        EmfBuilder path = plainEmf();
        path.beginPath().moveTo(0, 0).lineTo(100, 0).lineTo(0, 100).closeFigure().endPath();
        filledRect(path.selectClipPath(5), QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf clip path")
            << path.finish() << Probes{{{20, 20}, kRed}, {{80, 80}, kClear}};
        // States: red (saved as 1), green + clip (saved as 2), then blue.
        const struct {
            const char* name;
            int which;
            QColor expected;
            bool clipped;
        } restores[] = {{"back one", -1, kGreen, true},
                        {"back two", -2, kRed, false},
                        {"absolute first", 1, kRed, false},
                        {"beyond the stack: ignored", -3, kBlue, true}};
        for (const auto& r : restores) {
            WmfBuilder wmf = plainWmf();
            wmf.createPen(5, 0, Qt::black).selectObject(0);
            wmf.createBrush(0, kRed).createBrush(0, kGreen).createBrush(0, kBlue);
            wmf.selectObject(1).saveDc();
            wmf.selectObject(2).intersectClipRect(QRect(0, 0, 50, 100)).saveDc();
            wmf.selectObject(3).restoreDc(r.which).rectangle(QRect(0, 0, 100, 100));
            QTest::addRow("restore %s", r.name)
                << wmf.finish()
                << Probes{{{25, 50}, r.expected}, {{75, 50}, r.clipped ? kClear : r.expected}};
        }
    }

    void clipping() { verifyProbes(); }

    // --- text ---------------------------------------------------------------------------------

    void textPlacement_data() {
        QTest::addColumn<int>("align");
        QTest::addColumn<QPoint>("reference");
        QTest::addColumn<QRect>("expected"); // bounds the ink must fall in
        // 20-pixel characters ("HH"): cap height about 14, ascent about 18.
        QTest::newRow("top left") << 0 << QPoint(10, 10) << QRect(10, 11, 40, 18);
        QTest::newRow("baseline") << 0x18 << QPoint(10, 50) << QRect(10, 33, 40, 18);
        QTest::newRow("bottom") << 0x08 << QPoint(10, 80) << QRect(10, 56, 40, 20);
        QTest::newRow("right") << 0x02 << QPoint(90, 10) << QRect(50, 11, 41, 18);
        QTest::newRow("centre") << 0x06 << QPoint(50, 10) << QRect(30, 11, 41, 18);
    }

    void textPlacement() {
        QFETCH(int, align);
        QFETCH(QPoint, reference);
        QFETCH(QRect, expected);
        EmfBuilder emf = plainEmf();
        emf.setBkMode(1).setTextAlign(align).setTextColor(Qt::black);
        emf.createFont(1, -20, "Arial").selectObject(1);
        const QRect drawn =
            ink(render(emf.extTextOutW(reference.x(), reference.y(), "HH").finish()));
        QVERIFY2(!drawn.isNull() && expected.contains(drawn), qPrintable(describe(drawn)));
        QVERIFY(drawn.height() >= 12); // cap height of a 20-pixel font
    }

    void textSizeByHeightSign() {
        // Negative heights give the character height, positive ones the whole cell (larger
        // than the character), so the same number draws smaller letters when positive.
        auto capHeight = [](int height) {
            EmfBuilder emf = plainEmf();
            emf.setBkMode(1).createFont(1, height, "Arial").selectObject(1).extTextOutW(5, 5, "H");
            return ink(render(emf.finish())).height();
        };
        const int em = capHeight(-40);
        const int cell = capHeight(40);
        QVERIFY2(em >= 26 && em <= 31, qPrintable(QString::number(em))); // 0.716 of 40
        QVERIFY2(cell < em && cell >= em * 0.8, qPrintable(QString::number(cell)));
    }

    void textEscapementTurnsUpwards() {
        EmfBuilder emf = plainEmf();
        emf.setBkMode(1).setTextAlign(0x18);
        emf.createFont(1, -16, "Arial", 900).selectObject(1).extTextOutW(50, 90, "HHHH");
        const QRect drawn = ink(render(emf.finish()));
        QVERIFY2(drawn.height() > 2 * drawn.width() && drawn.bottom() <= 91 && drawn.top() < 60,
                 qPrintable(describe(drawn)));
        QVERIFY(drawn.right() <= 51); // the baseline is on the right of upward text
    }

    void textStaysUprightWhenTheMappingFlips() {
        // The same letter at the same place through a normal and a y-up mapping.
        WmfBuilder normal = plainWmf();
        normal.setBkMode(1).createFont(-30, "Arial").selectObject(0).textOut(20, 20, "L");
        WmfBuilder flipped;
        flipped.setWindowOrg(0, 100).setWindowExt(100, -100);
        flipped.setBkMode(1).createFont(-30, "Arial").selectObject(0).textOut(20, 80, "L");
        const QImage a = render(normal.finish());
        const QImage b = render(flipped.finish());
        QCOMPARE(ink(a), ink(b));
        QVERIFY(!ink(a).isNull());
        // The foot of the L is at its bottom left: the bottom row has ink further right.
        const QRect box = ink(a);
        QVERIFY(qAlpha(b.pixel(box.left() + box.width() * 3 / 4, box.bottom() - 1)) > 128);
        QVERIFY(qAlpha(b.pixel(box.left() + box.width() * 3 / 4, box.top() + 1)) < 128);
    }

    // Opaque mode fills the gaps of text and of hatched brushes with the background colour.
    void backgroundFollowsBkMode_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("opaque") << 2;
        QTest::newRow("transparent") << 1;
    }

    void backgroundFollowsBkMode() {
        QFETCH(int, mode);
        const bool opaque = mode == 2;
        WmfBuilder text = plainWmf();
        text.setBkMode(mode).setBkColor(kGreen).setTextColor(Qt::black);
        text.createFont(-20, "Arial").selectObject(0).textOut(10, 10, "I I");
        const QImage image = render(text.finish());
        const QPoint gap = ink(image).center(); // between the two letters
        QCOMPARE(is(image, gap.x(), gap.y(), kGreen), opaque);
        QCOMPARE(clear(image, gap.x(), gap.y()), !opaque);

        WmfBuilder hatch = plainWmf();
        hatch.setBkMode(mode).setBkColor(kGreen);
        hatch.createPen(5, 0, Qt::black).selectObject(0).createBrush(2, kRed, 0).selectObject(1);
        const QImage hatched = render(hatch.rectangle(QRect(0, 0, 100, 100)).finish());
        int red = 0, green = 0, empty = 0;
        for (int y = 10; y < 90; ++y) {
            red += is(hatched, 50, y, kRed);
            green += is(hatched, 50, y, kGreen);
            empty += clear(hatched, 50, y);
        }
        QVERIFY(red >= 6);
        QCOMPARE(green > 40, opaque);
        QCOMPARE(empty > 40, !opaque);
    }

    void textAdvancesPlaceCharacters() {
        auto width = [](const QList<int>& dx) {
            WmfBuilder wmf = plainWmf();
            wmf.setBkMode(1).createFont(-12, "Arial").selectObject(0);
            wmf.extTextOut(5, 5, "III", dx);
            return ink(render(wmf.finish())).width();
        };
        const int natural = width({});
        const int spread = width({30, 30, 30});
        QVERIFY2(spread >= 60 && spread <= 66, qPrintable(QString::number(spread)));
        QVERIFY(natural < 20);
    }

    // --- bitmaps ------------------------------------------------------------------------------

    void bitmaps_data() {
        addProbeColumns();
        const QImage q = quadrants();
        const Probes upright{{{30, 30}, kRed},
                             {{70, 30}, kGreen},
                             {{30, 70}, kBlue},
                             {{70, 70}, Qt::white},
                             {{5, 5}, kClear}};
        const QRect dest(10, 10, 80, 80);
        const struct {
            const char* name;
            QByteArray dib;
        } dibs[] = {{"24-bit bottom-up", packedDib(q, 24)},
                    {"24-bit top-down", packedDib(q, 24, true)},
                    {"8-bit", packedDib(q, 8)},
                    {"4-bit", packedDib(q, 4)},
                    {"rle8", packedDibRle8(q)},
                    {"8-bit top-down", packedDib(q, 8, true)}};
        for (const auto& d : dibs) {
            QTest::addRow("wmf %s", d.name)
                << plainWmf().stretchDib(dest, d.dib, QSize(8, 8)).finish() << upright;
            QTest::addRow("emf %s", d.name)
                << plainEmf().stretchDiBits(dest, d.dib, QSize(8, 8)).finish() << upright;
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
        for (int y = 2; y < 6; ++y)
            for (int x = 2; x < 6; ++x) {
                mask.setPixel(x, y, qRgb(0, 0, 0));
                picture.setPixel(x, y, qRgb(255, 0, 0));
            }
        WmfBuilder pair = plainWmf();
        pair.stretchDib(QRect(0, 0, 80, 80), packedDib(mask), QSize(8, 8), 0x008800c6);
        pair.stretchDib(QRect(0, 0, 80, 80), packedDib(picture), QSize(8, 8), 0x00660046);
        QTest::newRow("a mask pair keeps the background clear")
            << pair.finish() << Probes{{{40, 40}, kRed}, {{5, 5}, kClear}};

        QByteArray huge = packedDib(q);
        qToLittleEndian<qint32>(100000, huge.data() + 4); // width
        qToLittleEndian<qint32>(100000, huge.data() + 8); // height
        WmfBuilder skipped = plainWmf();
        skipped.stretchDib(QRect(0, 0, 100, 100), huge, QSize(8, 8));
        filledRect(skipped, QRect(0, 0, 50, 50), kRed);
        QTest::newRow("a huge bitmap is skipped")
            << skipped.finish() << Probes{{{25, 25}, kRed}, {{75, 75}, kClear}};
    }

    void bitmaps() { verifyProbes(); }

    // --- EMF+ ---------------------------------------------------------------------------------

    void emfPlus_data() {
        QTest::addColumn<bool>("dual");
        QTest::addColumn<bool>("plainRecords");
        QTest::addColumn<bool>("loads");
        QTest::newRow("dual with plain records") << true << true << true;
        QTest::newRow("EMF+ only, nothing plain") << false << false << false;
        QTest::newRow("marked dual, nothing plain") << true << false << false;
    }

    void emfPlus() {
        QFETCH(bool, dual);
        QFETCH(bool, plainRecords);
        QFETCH(bool, loads);
        EmfBuilder emf = plainEmf();
        emf.emfPlusHeader(dual);
        if (plainRecords)
            filledRect(emf, QRect(0, 0, 50, 50), kRed);
        MetafileRenderer renderer(emf.finish());
        const QImage image = renderer.render(QSize(100, 100));
        QCOMPARE(!image.isNull(), loads);
        if (loads)
            QVERIFY(is(image, 25, 25, kRed));
        else
            QVERIFY(renderer.errorString().contains("EMF+"));
    }

    // --- malformed input and limits -----------------------------------------------------------

    void malformedRecordsEndPlayback_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("loads"); // keeps what was drawn before the bad record
        WmfBuilder wmf = plainWmf();
        filledRect(wmf, QRect(0, 0, 50, 50), kRed);
        const QByteArray good = wmf.finish();

        QByteArray zeroSize = good;
        zeroSize.chop(6);
        zeroSize += QByteArray::fromHex("000000001b04"); // size 0: the walk cannot advance
        zeroSize += QByteArray::fromHex("030000000000");
        QTest::newRow("wmf zero-size record after drawing") << zeroSize << true;

        QByteArray beyond = good;
        beyond.chop(6);
        beyond += QByteArray::fromHex("ffffff7f1b04"); // size beyond the data
        QTest::newRow("wmf record beyond the end after drawing") << beyond << true;

        WmfBuilder shortPolygon = plainWmf();
        shortPolygon.record(0x0324, QByteArray::fromHex("ff7f0a000a00")); // 32767 points, 1 given
        QTest::newRow("wmf polygon count too big, nothing drawn") << shortPolygon.finish() << false;

        WmfBuilder twoShapes = plainWmf();
        filledRect(twoShapes, QRect(0, 0, 50, 50), kRed).rectangle(QRect(60, 60, 20, 20));
        QByteArray truncated = twoShapes.finish();
        truncated.chop(10); // the end record and half of the second rectangle
        QTest::newRow("wmf truncated in the last record") << truncated << true;

        EmfBuilder emf = plainEmf();
        filledRect(emf, QRect(0, 0, 50, 50), kRed);
        emf.record(84, QByteArray(60, '\xff')); // text with offsets far outside the record
        QTest::newRow("emf text offsets outside the record") << emf.finish() << true;

        EmfBuilder badSize = plainEmf();
        badSize.record(43, QByteArray(16, '\0'));
        QByteArray odd = badSize.finish();
        odd[108 + 4] = 0x17; // a size that is not a multiple of 4
        QTest::newRow("emf size not a multiple of four") << odd << false;

        EmfBuilder shortRecord = plainEmf();
        shortRecord.record(43, QByteArray(4, '\0')); // a rectangle needs 16 bytes
        QTest::newRow("emf record too short, nothing drawn") << shortRecord.finish() << false;
    }

    void malformedRecordsEndPlayback() {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        MetafileRenderer renderer(file);
        const QImage image = renderer.render(QSize(100, 100));
        QCOMPARE(!image.isNull(), loads);
        if (loads) {
            QVERIFY(is(image, 25, 25, kRed));
            QVERIFY(renderer.stoppedEarly());
        } else {
            QVERIFY(!renderer.errorString().isEmpty());
        }
    }

    void hugeSizesFail() {
        // 65535 units at one unit per inch: far beyond the pixel limit.
        MetafileRenderer huge(WmfBuilder(QRect(0, 0, 32000, 32000), 1).finish());
        QVERIFY(huge.naturalSize().width() > 100000);
        QVERIFY(huge.render(QSize(100, 100)).isNull());
        QVERIFY(huge.errorString().contains("too large"));
        MetafileRenderer plain(plainWmf().finish());
        QVERIFY(plain.render(QSize(60000, 60000)).isNull());
        QVERIFY(plain.render(QSize(0, 10)).isNull());
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
        WmfBuilder clip;
        clip.setWindowExt(1000, 1000);
        filledRect(clip, QRect(0, 0, 10, 10), kRed);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                clip.excludeClipRect(QRect(x * 5, y * 5, 2, 2));
        QTest::newRow("clip growth") << clip.finish() << 1000 << true;
        WmfBuilder saves = plainWmf();
        filledRect(saves, QRect(0, 0, 50, 50), kRed);
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
