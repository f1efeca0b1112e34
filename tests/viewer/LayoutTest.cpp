#include "GridLayout.h"
#include "MainWindowLayout.h"
#include "Settings.h"
#include "Twips.h"
#include "ZoomPlacement.h"

#include <QtTest>

namespace {
Settings sizes(int thumbWidth, int spacingH, int thumbHeight, int spacingV, int captionWidth = 910) {
    Settings s = Settings::startupDefaults("/");
    s.ThumbWidth = static_cast<qint16>(thumbWidth);
    s.SpacingH = static_cast<qint16>(spacingH);
    s.ThumbHeight = static_cast<qint16>(thumbHeight);
    s.SpacingV = static_cast<qint16>(spacingV);
    s.CaptionWidth = static_cast<qint16>(captionWidth);
    return s;
}
} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void gridCounts_data() {
        QTest::addColumn<int>("screenClass");
        QTest::addColumn<int>("thumbWidth");
        QTest::addColumn<int>("spacingH");
        QTest::addColumn<int>("thumbHeight");
        QTest::addColumn<int>("spacingV");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lastCell");
        QTest::addColumn<int>("maxZoomWidth");

        QTest::newRow("worked example") << 2 << 1338 << 254 << 1430 << 688 << 5 << 3 << 14 << 9500;
        QTest::newRow("defaults, class 1") << 1 << 500 << 420 << 500 << 380 << 7 << 7 << 48 << 7450;
        QTest::newRow("defaults, class 2") << 2 << 500 << 420 << 500 << 380 << 10 << 9 << 89 << 9500;
        QTest::newRow("defaults, class 3") << 3 << 500 << 420 << 500 << 380 << 14 << 12 << 167 << 13000;
        QTest::newRow("exact fit counts the last column") << 2 << 9000 << 415 << 500 << 380 << 1 << 9 << 8 << 9500;
        QTest::newRow("too wide for one column") << 2 << 9416 << 0 << 500 << 380 << 0 << 9 << -1 << 9500;
        QTest::newRow("too tall for one row") << 2 << 500 << 420 << 8201 << 0 << 10 << 0 << -1 << 9500;
    }

    void gridCounts() {
        QFETCH(int, screenClass);
        QFETCH(int, thumbWidth);
        QFETCH(int, spacingH);
        QFETCH(int, thumbHeight);
        QFETCH(int, spacingV);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, lastCell);
        QFETCH(int, maxZoomWidth);

        const auto grid = Calculos(static_cast<qint16>(screenClass),
                                   sizes(thumbWidth, spacingH, thumbHeight, spacingV), 165);
        QVERIFY(grid);
        QCOMPARE(grid->GridColumns, columns);
        QCOMPARE(grid->GridRows, rows);
        QCOMPARE(grid->LastCell, lastCell);
        QCOMPARE(grid->MaxZoomWidth, maxZoomWidth);
        QCOMPARE(static_cast<int>(grid->cells.size()), lastCell + 1);
    }

    void cellsSitRowByRowWithTheColumnShift() {
        const auto grid = Calculos(2, sizes(1338, 254, 1430, 688, 1200), 165);
        QVERIFY(grid);
        const CellPlacement& cell7 = grid->cells[7]; // row 1, column 2
        QCOMPARE(cell7.image, QRect(5884, 2193, 1338, 1430));
        QCOMPARE(cell7.caption, QRect(5884, 3623, 1200, 165));
        QCOMPARE(grid->cells[0].image.topLeft(), QPoint(2700, 75));
        QCOMPARE(grid->cells[4].image.left(), 2700 + 4 * 1592);
        QCOMPARE(grid->cells[5].image.topLeft(), QPoint(2700, 75 + 2118));
    }

    void arithmeticThatCannotBeDoneFails_data() {
        QTest::addColumn<int>("thumbWidth");
        QTest::addColumn<int>("spacingH");
        QTest::newRow("16-bit sum overflows") << 30000 << 3000;
        QTest::newRow("zero step") << 0 << 0;
        QTest::newRow("negative step") << -500 << 100;
    }

    void arithmeticThatCannotBeDoneFails() {
        QFETCH(int, thumbWidth);
        QFETCH(int, spacingH);
        QVERIFY(!Calculos(2, sizes(thumbWidth, spacingH, 500, 380), 165));
    }

    void cellCountBeyond16BitsFails() {
        // 1-twip cells with no gaps: 9415 columns by 8200 rows cannot be counted in 16 bits.
        QVERIFY(!Calculos(2, sizes(1, 0, 1, 0), 165));
    }

    void zoomPlacement_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<double>("zoomHeight");
        QTest::addColumn<QRectF>("expected");
        // An 800 x 600 screen (12000 x 9000 twips), widest view 9500, zoom divisor 2.
        QTest::newRow("fits the height") << QSize(400, 300) << 6000.0
                                         << QRectF(3025, 1071.43, 8000, 6000);
        QTest::newRow("narrowed to the widest view")
            << QSize(800, 300) << 6000.0 << QRectF(2275, 1941.96, 9500, 3562.5);
        QTest::newRow("tall picture") << QSize(300, 600) << 4000.0
                                      << QRectF(6025, 1785.71, 2000, 4000);
    }

    void zoomPlacement() {
        QFETCH(QSize, picture);
        QFETCH(double, zoomHeight);
        QFETCH(QRectF, expected);
        const QRectF rect = zoomRectangle(picture, zoomHeight, 9500, QSizeF(12000, 9000));
        QVERIFY2(qAbs(rect.left() - expected.left()) < 0.01, qPrintable(QString::number(rect.left())));
        QVERIFY2(qAbs(rect.top() - expected.top()) < 0.01, qPrintable(QString::number(rect.top())));
        QVERIFY(qAbs(rect.width() - expected.width()) < 0.01);
        QVERIFY(qAbs(rect.height() - expected.height()) < 0.01);
    }

    void screenClasses_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("screenClass");
        QTest::newRow("640 x 480") << QSize(640, 480) << 1;
        QTest::newRow("1024 x 768") << QSize(1024, 768) << 3;
        QTest::newRow("800 x 600") << QSize(800, 600) << 2;
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << 2;
        QTest::newRow("768 x 1024 turned") << QSize(768, 1024) << 2;
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << 2;
    }

    void screenClasses() {
        QFETCH(QSize, screen);
        QFETCH(int, screenClass);
        QCOMPARE(screenClassOf(screen), screenClass);
    }

    void theLeftColumnStacksItsControlsOnTheScreen_data() {
        QTest::addColumn<int>("screenClass");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("class 1") << 1 << QSize(640, 480);
        QTest::newRow("class 2") << 2 << QSize(800, 600);
        QTest::newRow("class 3") << 3 << QSize(1024, 768);
    }

    // The drive list, the folder list, the pattern box and the file list stand one under the
    // other without overlapping, the two arrows and the Close button side by side under them, all
    // left of the grid (2400 twips) and above the bottom of the class's screen.
    void theLeftColumnStacksItsControlsOnTheScreen() {
        QFETCH(int, screenClass);
        QFETCH(QSize, screen);
        constexpr int kBoxHeight = 300; // 20 pixels, the least a drop-down box needs
        auto place = [screenClass](MainControl control) {
            QRect rect = controlPlacement(static_cast<qint16>(screenClass), control);
            if (rect.height() == 0)
                rect.setHeight(kBoxHeight);
            return rect;
        };
        const QRect column[] = {place(MainControl::Drive1), place(MainControl::Dir1),
                                place(MainControl::CboFiltro), place(MainControl::File1)};
        const QRect row[] = {place(MainControl::Image2), place(MainControl::Image3),
                             place(MainControl::cerrar)};
        for (std::size_t i = 1; i < std::size(column); ++i)
            QVERIFY2(column[i].top() >= column[i - 1].top() + column[i - 1].height(),
                     qPrintable(QString("control %1").arg(i)));
        for (std::size_t i = 0; i < std::size(row); ++i) {
            QVERIFY(row[i].top() >= column[3].top() + column[3].height());
            QVERIFY(row[i].top() + row[i].height() <= TwipsScale().toTwips(screen.height()));
            if (i > 0)
                QVERIFY(row[i].left() >= row[i - 1].left() + row[i - 1].width());
        }
        for (const QRect& rect : column)
            QVERIFY(rect.left() >= 0 && rect.left() + rect.width() <= 2400);
        QVERIFY(row[2].left() + row[2].width() <= 2400);
    }

    void theRestoredWindowIsCentredOnTheFreeArea_data() {
        QTest::addColumn<QRect>("free");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QRect>("expected");
        // 9480 x 6525 twips: 632 x 435 pixels at 96 dpi, 790 x 544 at 120.
        QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << 96.0 << QRect(196, 166, 632, 435);
        QTest::newRow("below a panel") << QRect(0, 30, 800, 570) << 96.0 << QRect(84, 97, 632, 435);
        QTest::newRow("120 dpi") << QRect(0, 0, 1920, 1080) << 120.0 << QRect(565, 268, 790, 544);
        QTest::newRow("smaller than the window")
            << QRect(10, 20, 600, 400) << 96.0 << QRect(10, 20, 632, 435);
    }

    void theRestoredWindowIsCentredOnTheFreeArea() {
        QFETCH(QRect, free);
        QFETCH(double, dpi);
        QFETCH(QRect, expected);
        QCOMPARE(restoredWindowPlace(free, TwipsScale(dpi)), expected);
    }
};

QTEST_GUILESS_MAIN(LayoutTest)
#include "LayoutTest.moc"
