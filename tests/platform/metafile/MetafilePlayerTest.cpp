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

// The rectangle of pixels that are mostly opaque.
QRect ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
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
    }

    void handlerRefusesOtherContent() {
        QByteArray bytes("GIF89a not a metafile at all, just some bytes to fill the head");
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "wmf");
        QVERIFY(reader.read().isNull());
    }

    // --- lines and fills ----------------------------------------------------------------------

    void lines() {
        WmfBuilder wmf = plainWmf();
        wmf.createPen(0, 3, kRed).selectObject(0).moveTo(10, 50).lineTo(90, 50);
        wmf.polyline({{50, 10}, {50, 30}});
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 50, 50, kRed));
        QVERIFY(is(image, 50, 20, kRed));
        QVERIFY(clear(image, 50, 40));
        QVERIFY(clear(image, 95, 50));

        EmfBuilder emf = plainEmf();
        emf.createPen(1, 0, 1, kBlue).selectObject(1).polyline16({{10, 10}, {90, 90}});
        const QImage emfImage = render(emf.finish());
        QVERIFY(is(emfImage, 50, 50, kBlue));
        QVERIFY(clear(emfImage, 50, 30));
    }

    void fills() {
        WmfBuilder wmf = plainWmf();
        filledRect(wmf, QRect(10, 10, 30, 30), kBlue);
        wmf.ellipse(QRect(50, 50, 40, 40));
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 25, 25, kBlue));
        QVERIFY(clear(image, 45, 25));
        QVERIFY(is(image, 70, 70, kBlue));
        QVERIFY(clear(image, 52, 52)); // the ellipse leaves its box's corners
    }

    void polygonFillModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("holeFilled");
        QTest::newRow("alternate") << 1 << false;
        QTest::newRow("winding") << 2 << true;
    }

    void polygonFillModes() {
        QFETCH(int, mode);
        QFETCH(bool, holeFilled);
        WmfBuilder wmf = plainWmf();
        wmf.setPolyFillMode(mode).createPen(5, 0, Qt::black).selectObject(0);
        wmf.createBrush(0, kGreen).selectObject(1);
        // Two squares wound the same way, one inside the other.
        wmf.polyPolygon(
            {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}, {{30, 30}, {70, 30}, {70, 70}, {30, 70}}});
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 20, 20, kGreen));
        QCOMPARE(is(image, 50, 50, kGreen), holeFilled);
        QCOMPARE(clear(image, 50, 50), !holeFilled);
    }

    // --- mapping ------------------------------------------------------------------------------

    void wmfNegativeExtentFlips() {
        // y grows upwards: the window's origin is its bottom-left corner.
        WmfBuilder wmf;
        wmf.setWindowOrg(0, 100).setWindowExt(100, -100);
        filledRect(wmf, QRect(10, 70, 20, 20), kRed); // logical y 70..90: near the top
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 20, 20, kRed));
        QVERIFY(clear(image, 20, 80));
    }

    void emfMappingModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRect>("logical");
        // Each logical rectangle lands on device pixels 20..40 (1 pixel per mm), y up.
        QTest::newRow("lometric") << 2 << QRect(200, -400, 200, 200);
        QTest::newRow("himetric") << 3 << QRect(2000, -4000, 2000, 2000);
        QTest::newRow("loenglish") << 4 << QRect(79, -157, 78, 78);
        QTest::newRow("twips") << 6 << QRect(1134, -2268, 1134, 1134);
        QTest::newRow("text") << 1 << QRect(20, 20, 20, 20);
    }

    void emfMappingModes() {
        QFETCH(int, mode);
        QFETCH(QRect, logical);
        EmfBuilder emf = plainEmf();
        emf.setMapMode(mode);
        filledRect(emf, logical, kRed);
        const QImage image = render(emf.finish());
        QVERIFY2(
            is(image, 30, 30, kRed),
            qPrintable(ink(image).isNull()
                           ? QString("nothing")
                           : QString("drawn at %1,%2").arg(ink(image).x()).arg(ink(image).y())));
        QVERIFY(clear(image, 50, 30));
        QVERIFY(clear(image, 30, 50));
    }

    void emfAnisotropicAndIsotropic() {
        // Window 10 x 10 onto a viewport of 100 x -50: x stretched, y flipped and squeezed.
        EmfBuilder aniso = plainEmf();
        aniso.setMapMode(8).setWindowExt(10, 10).setViewportExt(100, -50).setViewportOrg(0, 100);
        filledRect(aniso, QRect(0, 0, 5, 10), kBlue);
        QImage image = render(aniso.finish());
        QVERIFY(is(image, 25, 75, kBlue));
        QVERIFY(clear(image, 75, 75));
        QVERIFY(clear(image, 25, 25));

        // Isotropic keeps units square: the smaller scale wins.
        EmfBuilder iso = plainEmf();
        iso.setMapMode(7).setWindowExt(10, 10).setViewportExt(100, 50);
        filledRect(iso, QRect(0, 0, 10, 10), kBlue);
        image = render(iso.finish());
        QVERIFY(is(image, 25, 25, kBlue));
        QVERIFY(clear(image, 75, 25));
        QVERIFY(clear(image, 25, 75));
    }

    void worldTransform_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("filled");
        QTest::addColumn<QPoint>("empty");
        // The world starts as a scale by 2, the modification moves by 10; a square of 10.
        QTest::newRow("left multiply: move first") << 2 << QPoint(35, 5) << QPoint(15, 5);
        QTest::newRow("right multiply: scale first") << 3 << QPoint(25, 5) << QPoint(35, 5);
        QTest::newRow("set") << 4 << QPoint(15, 5) << QPoint(25, 5);
        QTest::newRow("identity") << 1 << QPoint(5, 5) << QPoint(15, 5);
    }

    void worldTransform() {
        QFETCH(int, mode);
        QFETCH(QPoint, filled);
        QFETCH(QPoint, empty);
        EmfBuilder emf = plainEmf();
        emf.setWorldTransform(2, 0, 0, 2, 0, 0).modifyWorldTransform(1, 0, 0, 1, 10, 0, mode);
        filledRect(emf, QRect(0, 0, 10, 10), kRed);
        const QImage image = render(emf.finish());
        QVERIFY(is(image, filled.x(), filled.y(), kRed));
        QVERIFY(clear(image, empty.x(), empty.y()));
    }

    // --- objects ------------------------------------------------------------------------------

    void wmfObjectSlotsAreReused() {
        WmfBuilder wmf = plainWmf();
        wmf.createBrush(0, kRed).createBrush(0, kGreen).deleteObject(0);
        wmf.createBrush(0, kBlue); // takes the freed slot 0
        wmf.createPen(5, 0, Qt::black).selectObject(2);
        wmf.selectObject(0).rectangle(QRect(0, 0, 50, 50));
        wmf.selectObject(1).rectangle(QRect(50, 50, 50, 50));
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 25, 25, kBlue));
        QVERIFY(is(image, 75, 75, kGreen));
    }

    void deletedSelectionKeepsDrawing() {
        WmfBuilder wmf = plainWmf();
        wmf.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, kRed).selectObject(1);
        wmf.deleteObject(1).selectObject(7); // an empty slot: ignored
        wmf.rectangle(QRect(10, 10, 30, 30));
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 25, 25, kRed));
    }

    void emfStockObjects() {
        EmfBuilder emf = plainEmf();
        emf.selectObject(0x80000004).selectObject(0x80000008).rectangle(QRect(0, 0, 50, 50));
        emf.selectObject(0x80000005).selectObject(0x80000007).rectangle(QRect(60, 60, 30, 30));
        const QImage image = render(emf.finish());
        QVERIFY(is(image, 25, 25, Qt::black)); // black brush, no pen
        QVERIFY(clear(image, 75, 75));         // hollow brush inside...
        QVERIFY(is(image, 60, 75, Qt::black)); // ...black pen on the edge
    }

    // --- clipping and saved states ------------------------------------------------------------

    void clipping_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        WmfBuilder intersect = plainWmf();
        intersect.intersectClipRect(QRect(0, 0, 50, 100));
        filledRect(intersect, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("wmf intersect") << intersect.finish() << QPoint(25, 50) << QPoint(75, 50);
        WmfBuilder exclude = plainWmf();
        exclude.excludeClipRect(QRect(40, 40, 20, 20));
        filledRect(exclude, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("wmf exclude") << exclude.finish() << QPoint(20, 20) << QPoint(50, 50);
        WmfBuilder region = plainWmf();
        region.createPen(5, 0, Qt::black).selectObject(0).createBrush(0, kRed).selectObject(1);
        region.createRegion({QRect(60, 0, 40, 100)}).selectClipRegion(2);
        region.rectangle(QRect(0, 0, 100, 100));
        QTest::newRow("wmf region") << region.finish() << QPoint(80, 50) << QPoint(20, 50);
        EmfBuilder device = plainEmf();
        device.selectClipRegion({QRect(0, 50, 100, 50)}, 5);
        filledRect(device, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf region") << device.finish() << QPoint(50, 75) << QPoint(50, 25);
        EmfBuilder reset = plainEmf();
        reset.selectClipRegion({QRect(0, 50, 100, 50)}, 5).selectClipRegion({}, 5);
        filledRect(reset, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf region reset") << reset.finish() << QPoint(50, 25) << QPoint(-1, -1);
        EmfBuilder path = plainEmf();
        path.beginPath().moveTo(0, 0).lineTo(100, 0).lineTo(0, 100).closeFigure().endPath();
        path.selectClipPath(5);
        filledRect(path, QRect(0, 0, 100, 100), kRed);
        QTest::newRow("emf clip path") << path.finish() << QPoint(20, 20) << QPoint(80, 80);
    }

    void clipping() {
        QFETCH(QByteArray, file);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const QImage image = render(file);
        QVERIFY(is(image, inside.x(), inside.y(), kRed));
        if (outside.x() >= 0)
            QVERIFY(clear(image, outside.x(), outside.y()));
    }

    void saveAndRestore_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QColor>("expected");
        QTest::addColumn<bool>("clipped");
        // States: red (saved as 1), green + clip (saved as 2), then blue.
        QTest::newRow("back one") << -1 << kGreen << true;
        QTest::newRow("back two") << -2 << kRed << false;
        QTest::newRow("absolute first") << 1 << kRed << false;
        QTest::newRow("beyond the stack: ignored") << -3 << kBlue << true;
    }

    void saveAndRestore() {
        QFETCH(int, which);
        QFETCH(QColor, expected);
        QFETCH(bool, clipped);
        WmfBuilder wmf = plainWmf();
        wmf.createPen(5, 0, Qt::black).selectObject(0);
        wmf.createBrush(0, kRed).createBrush(0, kGreen).createBrush(0, kBlue);
        wmf.selectObject(1).saveDc();
        wmf.selectObject(2).intersectClipRect(QRect(0, 0, 50, 100)).saveDc();
        wmf.selectObject(3).restoreDc(which);
        wmf.rectangle(QRect(0, 0, 100, 100));
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 25, 50, expected));
        QCOMPARE(clear(image, 75, 50), clipped);
    }

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
        emf.createFont(1, -20, "Arial")
            .selectObject(1)
            .extTextOutW(reference.x(), reference.y(), "HH");
        const QImage image = render(emf.finish());
        const QRect drawn = ink(image);
        QVERIFY2(!drawn.isNull() && expected.contains(drawn), qPrintable(QString("ink %1,%2 %3x%4")
                                                                             .arg(drawn.x())
                                                                             .arg(drawn.y())
                                                                             .arg(drawn.width())
                                                                             .arg(drawn.height())));
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
        QVERIFY(drawn.height() > 2 * drawn.width());
        QVERIFY(drawn.bottom() <= 91);
        QVERIFY(drawn.top() < 60);
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

    void textBackgroundFollowsBkMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("boxed");
        QTest::newRow("opaque") << 2 << true;
        QTest::newRow("transparent") << 1 << false;
    }

    void textBackgroundFollowsBkMode() {
        QFETCH(int, mode);
        QFETCH(bool, boxed);
        WmfBuilder wmf = plainWmf();
        wmf.setBkMode(mode).setBkColor(kGreen).setTextColor(Qt::black);
        wmf.createFont(-20, "Arial").selectObject(0).textOut(10, 10, "I I");
        const QImage image = render(wmf.finish());
        // Between the two letters: the background box or nothing.
        const QRect drawn = ink(image);
        const QPoint gap(drawn.center().x(), drawn.center().y());
        QCOMPARE(is(image, gap.x(), gap.y(), kGreen), boxed);
        QCOMPARE(clear(image, gap.x(), gap.y()), !boxed);
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

    void bitmapsRightWayUp_data() {
        QTest::addColumn<QByteArray>("dib");
        QTest::addColumn<bool>("emf");
        const QImage q = quadrants();
        QTest::newRow("wmf 24-bit bottom-up") << packedDib(q, 24) << false;
        QTest::newRow("wmf 24-bit top-down") << packedDib(q, 24, true) << false;
        QTest::newRow("wmf 8-bit") << packedDib(q, 8) << false;
        QTest::newRow("wmf 4-bit") << packedDib(q, 4) << false;
        QTest::newRow("wmf rle8") << packedDibRle8(q) << false;
        QTest::newRow("emf 24-bit bottom-up") << packedDib(q, 24) << true;
        QTest::newRow("emf 8-bit top-down") << packedDib(q, 8, true) << true;
    }

    void bitmapsRightWayUp() {
        QFETCH(QByteArray, dib);
        QFETCH(bool, emf);
        const QRect dest(10, 10, 80, 80);
        QByteArray file;
        if (emf)
            file = plainEmf().stretchDiBits(dest, dib, QSize(8, 8)).finish();
        else
            file = plainWmf().stretchDib(dest, dib, QSize(8, 8)).finish();
        const QImage image = render(file);
        QVERIFY(is(image, 30, 30, kRed));
        QVERIFY(is(image, 70, 30, kGreen));
        QVERIFY(is(image, 30, 70, kBlue));
        QVERIFY(is(image, 70, 70, Qt::white));
        QVERIFY(clear(image, 5, 5));
    }

    void bitmapNegativeHeightMirrors() {
        const QByteArray file =
            plainWmf()
                .stretchDib(QRect(10, 90, 80, -80), packedDib(quadrants()), QSize(8, 8))
                .finish();
        const QImage image = render(file);
        QVERIFY(is(image, 30, 70, kRed));
        QVERIFY(is(image, 30, 30, kBlue));
    }

    void maskPairKeepsBackgroundClear() {
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
        WmfBuilder wmf = plainWmf();
        wmf.stretchDib(QRect(0, 0, 80, 80), packedDib(mask), QSize(8, 8), 0x008800c6);
        wmf.stretchDib(QRect(0, 0, 80, 80), packedDib(picture), QSize(8, 8), 0x00660046);
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 40, 40, kRed));
        QVERIFY(clear(image, 5, 5));
    }

    // --- raster operations and background -----------------------------------------------------

    void binaryRasterOperations_data() {
        QTest::addColumn<int>("rop");
        QTest::addColumn<QColor>("expected");
        // A blue square is drawn first; then a white-filled square over it with the mode.
        QTest::newRow("xor pen") << 7 << QColor(255, 255, 0);
        QTest::newRow("not") << 6 << QColor(255, 255, 0);
        QTest::newRow("nop") << 11 << kBlue;
        QTest::newRow("black") << 1 << QColor(Qt::black);
        QTest::newRow("copy pen") << 13 << QColor(Qt::white);
    }

    void binaryRasterOperations() {
        QFETCH(int, rop);
        QFETCH(QColor, expected);
        WmfBuilder wmf = plainWmf();
        filledRect(wmf, QRect(0, 0, 100, 100), kBlue);
        wmf.createBrush(0, Qt::white).selectObject(2).setRop2(rop).rectangle(QRect(20, 20, 60, 60));
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 50, 50, expected));
        QVERIFY(is(image, 10, 10, kBlue));
    }

    void hatchBackground_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("gapsFilled");
        QTest::newRow("opaque") << 2 << true;
        QTest::newRow("transparent") << 1 << false;
    }

    void hatchBackground() {
        QFETCH(int, mode);
        QFETCH(bool, gapsFilled);
        WmfBuilder wmf = plainWmf();
        wmf.setBkMode(mode).setBkColor(kGreen);
        wmf.createPen(5, 0, Qt::black).selectObject(0).createBrush(2, kRed, 0).selectObject(1);
        wmf.rectangle(QRect(0, 0, 100, 100));
        const QImage image = render(wmf.finish());
        int red = 0, green = 0, empty = 0;
        for (int y = 10; y < 90; ++y) {
            red += is(image, 50, y, kRed);
            green += is(image, 50, y, kGreen);
            empty += clear(image, 50, y);
        }
        QVERIFY(red >= 6);
        QCOMPARE(green > 40, gapsFilled);
        QCOMPARE(empty > 40, !gapsFilled);
    }

    // --- paths, EMF+ and embedded pictures ----------------------------------------------------

    void emfPaths() {
        EmfBuilder emf = plainEmf();
        emf.selectObject(0x80000008).createBrush(1, 0, kGreen).selectObject(1);
        emf.beginPath()
            .moveTo(10, 10)
            .lineTo(90, 10)
            .lineTo(10, 90)
            .closeFigure()
            .endPath()
            .fillPath();
        emf.createPen(2, 0, 3, kRed).selectObject(2);
        emf.beginPath().moveTo(50, 95).lineTo(95, 95).endPath().strokePath();
        const QImage image = render(emf.finish());
        QVERIFY(is(image, 20, 20, kGreen));
        QVERIFY(clear(image, 80, 80));
        QVERIFY(is(image, 70, 95, kRed));
    }

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

    void embeddedEmfWins() {
        EmfBuilder emf = plainEmf();
        filledRect(emf, QRect(0, 0, 100, 100), kGreen);
        WmfBuilder wmf = plainWmf();
        filledRect(wmf, QRect(0, 0, 100, 100), kRed);
        wmf.embedEmf(emf.finish(), 100); // several chunks
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 50, 50, kGreen));
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

    void hugeNaturalSizeFails() {
        // 65535 units at one unit per inch: far beyond the pixel limit.
        const QByteArray file = WmfBuilder(QRect(0, 0, 32000, 32000), 1).finish();
        MetafileRenderer renderer(file);
        QVERIFY(renderer.naturalSize().width() > 100000);
        QVERIFY(renderer.render(QSize(100, 100)).isNull());
        QVERIFY(renderer.errorString().contains("too large"));
    }

    void hugeRequestedSizeFails() {
        MetafileRenderer renderer(plainWmf().finish());
        QVERIFY(renderer.render(QSize(60000, 60000)).isNull());
        QVERIFY(renderer.render(QSize(0, 10)).isNull());
    }

    void hugeBitmapIsSkipped() {
        QByteArray dib = packedDib(quadrants());
        qToLittleEndian<qint32>(100000, dib.data() + 4); // width
        qToLittleEndian<qint32>(100000, dib.data() + 8); // height
        WmfBuilder wmf = plainWmf();
        wmf.stretchDib(QRect(0, 0, 100, 100), dib, QSize(8, 8));
        filledRect(wmf, QRect(0, 0, 50, 50), kRed);
        const QImage image = render(wmf.finish());
        QVERIFY(is(image, 25, 25, kRed));
        QVERIFY(clear(image, 75, 75));
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

    void farCoordinatesAndBrokenTransforms() {
        EmfBuilder emf = plainEmf();
        emf.setWorldTransform(1e30, 0, 0, 1e30, 0, 0); // refused: would overflow
        emf.setMapMode(8).setWindowExt(1, 1).setViewportExt(2000000000, 2000000000);
        emf.polygon({{-2000000000, -2000000000}, {2000000000, 0}, {0, 2000000000}});
        emf.setMapMode(1);
        filledRect(emf, QRect(0, 0, 50, 50), kRed);
        const QImage image = render(emf.finish());
        QVERIFY(is(image, 25, 25, kRed));
    }
};

QTEST_MAIN(MetafilePlayerTest)
#include "MetafilePlayerTest.moc"
