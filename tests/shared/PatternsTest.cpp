#include "FilePattern.h"
#include "ImagePatterns.h"
#include "Settings.h"

#include <QtTest>

class PatternsTest : public QObject {
    Q_OBJECT

private slots:
    void pictureTest_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("picture");
        for (const char* ext : {"ico", "bmp", "wmf", "rle", "dib", "jpg", "jpeg", "gif", "emf",
                                "cur", "dlb", "dps"}) {
            QTest::addRow("lower %s", ext) << QString("a.%1").arg(ext) << true;
            QTest::addRow("upper %s", ext) << QString("A.%1").arg(ext).toUpper() << true;
        }
        QTest::newRow("mixed case") << "Foto.JpEg" << true;
        QTest::newRow("extension alone") << ".gif" << true;
        QTest::newRow("extension elsewhere") << "a.bmp.txt" << false;
        QTest::newRow("text file") << "notes.txt" << false;
        QTest::newRow("png is not ours") << "x.png" << false;
        QTest::newRow("no dot") << "jpeg" << false;
        QTest::newRow("empty") << "" << false;
    }

    void pictureTest() {
        QFETCH(QString, name);
        QTEST(isPictureName(name), "picture");
    }

    void filePattern_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("all formats, upper case name")
            << kAllPictureFormatsPattern << "X.JPG" << true;
        QTest::newRow("all formats, text file") << kAllPictureFormatsPattern << "x.txt" << false;
        QTest::newRow("all files, no extension") << QString("*.*") << "README" << true;
        QTest::newRow("second part") << QString("*.bmp;*.dib") << "a.DIB" << true;
        QTest::newRow("anchored at the end") << QString("*.bmp") << "a.bmp.txt" << false;
        QTest::newRow("anchored at the start") << QString("a*") << "ba" << false;
        QTest::newRow("question mark") << QString("?.gif") << "a.gif" << true;
        QTest::newRow("question mark is one character") << QString("?.gif") << "ab.gif" << false;
        QTest::newRow("partial typing") << QString("*.jp") << "a.jpg" << false;
        QTest::newRow("blanks around parts") << QString(" *.gif ; *.ico ") << "a.ico" << true;
        QTest::newRow("empty pattern") << QString("") << "a.gif" << false;
        QTest::newRow("literal name") << QString("foto1.jpg") << "FOTO1.JPG" << true;
    }

    void filePattern() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QTEST(FilePattern(pattern).matches(name), "matches");
    }
};

QTEST_GUILESS_MAIN(PatternsTest)
#include "PatternsTest.moc"
