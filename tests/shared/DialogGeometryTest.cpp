#include "DialogGeometry.h"

#include <QtTest>

class DialogGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void leftOnScreen_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("kept"); // on a screen 800 pixels wide
        QTest::newRow("right edge on the screen's last pixel") << 246 << 554 << 246;
        QTest::newRow("one pixel past") << 247 << 554 << 246;
        QTest::newRow("partly left of the screen, fits on the right") << -20 << 300 << -20;
        QTest::newRow("wider than the screen") << 100 << 900 << 0;
    }
    void leftOnScreen() {
        QFETCH(int, left);
        QFETCH(int, width);
        QTEST(DialogGeometry::leftOnScreen(left, width, 800), "kept");
    }

    void widthShowingTitle_data() {
        QTest::addColumn<int>("title");      // its width
        QTest::addColumn<int>("lineHeight"); // buttons a third wider: 14 gives 19, 21 gives 28
        QTest::addColumn<int>("width");      // of a dialog 186 wide
        QTest::newRow("fits exactly") << 72 << 14 << 186;
        QTest::newRow("one pixel more") << 73 << 14 << 187;
        QTest::newRow("larger font, wider buttons") << 146 << 21 << 314;
    }
    void widthShowingTitle() {
        QFETCH(int, title);
        QFETCH(int, lineHeight);
        QTEST(DialogGeometry::widthShowingTitle(186, title, lineHeight), "width");
    }
};

QTEST_APPLESS_MAIN(DialogGeometryTest)
#include "DialogGeometryTest.moc"
