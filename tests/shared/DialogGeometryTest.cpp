#include "DialogGeometry.h"

#include <QtTest>

class DialogGeometryTest : public QObject {
    Q_OBJECT

private slots:
    // On a screen 800 pixels wide.
    void leftOnScreen() {
        QCOMPARE(DialogGeometry::leftOnScreen(246, 554, 800), 246); // on the last pixel
        QCOMPARE(DialogGeometry::leftOnScreen(247, 554, 800), 246); // one pixel past
        QCOMPARE(DialogGeometry::leftOnScreen(100, 900, 800), 0);   // wider than the screen
    }

    // A dialog 186 wide, with a line 14 high: title bar buttons 19 wide, three on each side.
    void widthShowingTitle() {
        QCOMPARE(DialogGeometry::widthShowingTitle(186, 72, 14), 186); // the title fits exactly
        QCOMPARE(DialogGeometry::widthShowingTitle(186, 73, 14), 187); // one pixel more
    }
};

QTEST_APPLESS_MAIN(DialogGeometryTest)
#include "DialogGeometryTest.moc"
