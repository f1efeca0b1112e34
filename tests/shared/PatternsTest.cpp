#include "FilePattern.h"
#include "ImagePatterns.h"
#include "Settings.h"

#include <QtTest>

class PatternsTest : public QObject {
    Q_OBJECT

private slots:
    void pictureNames() {
        QVERIFY(isPictureName(u"Foto.JpEg"));
        QVERIFY(!isPictureName(u"a.bmp.txt"));
        QVERIFY(!isPictureName(u"x.png"));
    }

    void filePattern_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("all formats, upper case jpeg")
            << kAllPictureFormatsPattern << "X.JPEG" << true;
        QTest::newRow("all formats, text file") << kAllPictureFormatsPattern << "x.txt" << false;
        QTest::newRow("all files, no extension") << QString("*.*") << "README" << true;
        QTest::newRow("second part") << QString("*.bmp;*.dib") << "a.DIB" << true;
        QTest::newRow("anchored at the end") << QString("*.bmp") << "a.bmp.txt" << false;
        QTest::newRow("empty pattern") << QString("") << "a.gif" << false;
    }

    void filePattern() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QTEST(FilePattern(pattern).matches(name), "matches");
    }
};

QTEST_GUILESS_MAIN(PatternsTest)
#include "PatternsTest.moc"
