#include "DisplayFacts.h"

#include <QSize>
#include <QtTest>

class DisplayFactsTest : public QObject {
    Q_OBJECT

private slots:
    void colourCountAndResolution() {
        QCOMPARE(DisplayFacts::ColourCount(8), 256.0);
        QCOMPARE(DisplayFacts::colourCountText(256.0), QString("256"));
        // Beyond seven digits, in scientific notation.
        QCOMPARE(DisplayFacts::ColourCount(24), 16777216.0);
        QCOMPARE(DisplayFacts::colourCountText(16777216.0), QString("1.677722E+07"));
        QCOMPARE(DisplayFacts::resolutionText(QSize(1024, 768)), QString("1024 x 768"));
    }
};

QTEST_APPLESS_MAIN(DisplayFactsTest)
#include "DisplayFactsTest.moc"
