#include "GridLayout.h"
#include "MainWindowLayout.h"
#include "Settings.h"
#include "Twips.h"
#include "ZoomPlacement.h"

#include <QtTest>

namespace {
// The start-up defaults with this thumbnail geometry: width, horizontal spacing, height,
// vertical spacing and caption width.
Settings sizes(const QList<int>& geometry, int captionWidth = 910) {
    Settings s = Settings::startupDefaults("/");
    s.ThumbWidth = static_cast<qint16>(geometry[0]);
    s.SpacingH = static_cast<qint16>(geometry[1]);
    s.ThumbHeight = static_cast<qint16>(geometry[2]);
    s.SpacingV = static_cast<qint16>(geometry[3]);
    s.CaptionWidth = static_cast<qint16>(captionWidth);
    return s;
}
} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    // Columns, rows, last cell and widest zoom view for a screen class and a thumbnail geometry;
    // no grid where one cannot be counted.
    void gridCounts() {
        const std::tuple<qint16, QList<int>, QList<int>> classGeometryAndGrid[] = {
            {2, {1338, 254, 1430, 688}, {5, 3, 14, 9500}},
            {1, {500, 420, 500, 380}, {7, 7, 48, 7450}},
            {3, {500, 420, 500, 380}, {14, 12, 167, 13000}},
            {2, {9000, 415, 500, 380}, {1, 9, 8, 9500}}, // an exact fit counts the last column
            {2, {9416, 0, 500, 380}, {0, 9, -1, 9500}},  // too wide for one column
            {2, {500, 420, 8201, 0}, {10, 0, -1, 9500}}, // too tall for one row
            {2, {30000, 3000, 500, 380}, {}},            // the 16-bit sum overflows
            {2, {0, 0, 500, 380}, {}},                   // zero step
            {2, {-500, 100, 500, 380}, {}},              // negative step
            {2, {1, 0, 1, 0}, {}}}; // 9415 x 8200 cells cannot be counted in 16 bits
        for (const auto& [screenClass, geometry, grid] : classGeometryAndGrid) {
            const auto laid = Calculos(screenClass, sizes(geometry), 165);
            QCOMPARE(laid.has_value(), !grid.isEmpty());
            if (laid) {
                QCOMPARE((QList<int>{laid->GridColumns, laid->GridRows, laid->LastCell,
                                     laid->MaxZoomWidth}),
                         grid);
                QCOMPARE(static_cast<int>(laid->cells.size()), grid[2] + 1);
            }
        }
    }

    void cellsSitRowByRowWithTheColumnShift() {
        const auto grid = Calculos(2, sizes({1338, 254, 1430, 688}, 1200), 165);
        QVERIFY(grid);
        const CellPlacement& cell7 = grid->cells[7]; // row 1, column 2
        QCOMPARE(cell7.image, QRect(5884, 2193, 1338, 1430));
        QCOMPARE(cell7.caption, QRect(5884, 3623, 1200, 165));
    }

    // On an 800 x 600 screen (12000 x 9000 twips) with a widest view of 9500, in whole twips.
    void zoomPlacement() {
        const QSizeF screen(12000, 9000);
        QCOMPARE(zoomRectangle({400, 300}, 6000, 9500, screen).toRect(),
                 QRect(3025, 1071, 8000, 6000));
        // Too wide: narrowed to the widest view.
        QCOMPARE(zoomRectangle({800, 300}, 6000, 9500, screen).toRect(),
                 QRect(2275, 1942, 9500, 3562));
    }

    void theRestoredWindowIsCentredOnTheFreeArea() {
        // 9480 x 6525 twips: 632 x 435 pixels at 96 dpi, 790 x 544 at 120.
        const std::tuple<QRect, double, QRect> freeDpiAndPlace[] = {
            {{0, 30, 800, 570}, 96.0, {84, 97, 632, 435}}, // below a panel
            {{0, 0, 1920, 1080}, 120.0, {565, 268, 790, 544}},
            {{10, 20, 600, 400}, 96.0, {10, 20, 632, 435}}}; // smaller than the window
        for (const auto& [free, dpi, place] : freeDpiAndPlace)
            QCOMPARE(restoredWindowPlace(free, TwipsScale(dpi)), place);
    }
};

QTEST_GUILESS_MAIN(LayoutTest)
#include "LayoutTest.moc"
