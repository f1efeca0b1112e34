#include "DisplayFacts.h"

#include <QSize>
#include <QtTest>

class DisplayFactsTest : public QObject {
    Q_OBJECT

private slots:
    void colourCount_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<double>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("monochrome") << 1 << 2.0 << "2";
        QTest::newRow("8 bits") << 8 << 256.0 << "256";
        QTest::newRow("24 bits, beyond seven digits") << 24 << 16777216.0 << "1.677722E+07";
        QTest::newRow("32 bits") << 32 << 4294967296.0 << "4.294967E+09";
    }
    void colourCount() {
        QFETCH(int, bits);
        QFETCH(double, count);
        QCOMPARE(DisplayFacts::ColourCount(bits), count);
        QTEST(DisplayFacts::colourCountText(count), "text");
    }

    void resolution() {
        QCOMPARE(DisplayFacts::resolutionText(QSize(1024, 768)), QString("1024 x 768"));
    }
};

QTEST_APPLESS_MAIN(DisplayFactsTest)
#include "DisplayFactsTest.moc"
