#include "DialogGeometry.h"
#include "DisplayFacts.h"

#include <QSize>
#include <QtTest>

// What the programs work out from the screen: the colour count and resolution they show, where a
// dialog goes and how wide it is.
class ScreenFactsTest : public QObject {
    Q_OBJECT

private slots:
    void colourCountAndResolution() {
        // Beyond seven digits, in scientific notation.
        QCOMPARE(DisplayFacts::ColourCount(24), 16777216.0);
        QCOMPARE(DisplayFacts::colourCountText(16777216.0), QString("1.677722E+07"));
        QCOMPARE(DisplayFacts::resolutionText(QSize(1024, 768)), QString("1024 x 768"));
    }

    // On a screen 800 pixels wide.
    void dialogLeftOnScreen() {
        QCOMPARE(DialogGeometry::leftOnScreen(246, 554, 800), 246); // on the last pixel
        QCOMPARE(DialogGeometry::leftOnScreen(247, 554, 800), 246); // one pixel past
        QCOMPARE(DialogGeometry::leftOnScreen(100, 900, 800), 0);   // wider than the screen
    }

    // A dialog 186 wide, with a line 14 high: title bar buttons 19 wide, three on each side.
    void dialogWidthShowingTitle() {
        QCOMPARE(DialogGeometry::widthShowingTitle(186, 72, 14), 186); // the title fits exactly
        QCOMPARE(DialogGeometry::widthShowingTitle(186, 73, 14), 187); // one pixel more
    }
};

QTEST_APPLESS_MAIN(ScreenFactsTest)
#include "ScreenFactsTest.moc"
