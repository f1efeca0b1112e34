#include "ExchangeFile.h"
#include "Settings.h"
#include "TestFolders.h"

#include <QtTest>

namespace {
Settings inFolder(const TestFolder& folder) {
    Settings s = Settings::startupDefaults("/fotos");
    s.WindowsDir = folder.path();
    return s;
}
} // namespace

class ExchangeFileTest : public QObject {
    Q_OBJECT

private slots:
    void writesFiveQuotedLinesEndedByCrLf() {
        Settings s = Settings::startupDefaults("/fotos");
        s.ImagePath = "/home/ana/Fotos";
        s.ImageTempo = -3;
        s.ImageFilter = "*.jpg";
        s.ImageProtect = 1;
        QCOMPARE(exchangeFileContents(s), QByteArray("\"Lumi Vart\"\r\n"
                                                     "\"ImagePath = /home/ana/Fotos\"\r\n"
                                                     "\"ImageTempo = -3\"\r\n"
                                                     "\"ImageFilter = *.jpg\"\r\n"
                                                     "\"ImageProtect = 1\"\r\n"));
    }

    // Values that end in blanks the reader trims, quotes and the escape byte come back as written.
    void writtenFileReadsBackExactly_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::newRow("double quotes, a comma") << "/fotos/\"Mar\", 2024\"" << QString("\"*.gif");
        QTest::newRow("escape byte, accented letters") << QString::fromUtf8("/a\x01"
                                                                            "22/\x01/Año/café")
                                                       << "*.bmp";
        QTest::newRow("blanks at either end") << QString("/fotos/Mar ") << " *.jpg\t";
    }

    void writtenFileReadsBackExactly() {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        TestFolder folder;
        Settings saved = inFolder(folder);
        saved.ImagePath = path;
        saved.ImageFilter = filter;
        QVERIFY(WriteExchangeFile(saved).written);
        // Five items, each in one pair of quotes, whatever the values hold.
        QCOMPARE(folder.read("Lumivart.ini").count('"'), 10);

        Settings loaded = inFolder(folder);
        ReadExchangeFile(loaded);
        QCOMPARE(loaded.ImagePath, saved.ImagePath);
        QCOMPARE(loaded.ImageFilter, saved.ImageFilter);
    }

    void handMadeFiles_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("read"); // path|delay|pattern|protection after reading
        // Before reading: "/before|5|*.bmp|0".
        QTest::newRow("key in any case, value keeps case")
            << QByteArray("\"imagepath=/Mis Fotos\"\r\n") << QString("/Mis Fotos|5|*.bmp|0");
        QTest::newRow("protection beyond a byte ends the reading")
            << QByteArray("\"ImageProtect = 256\"\r\n\"ImageTempo = 9\"\r\n")
            << QString("/before|5|*.bmp|0");
        QTest::newRow("an unclosed quote runs to the end")
            << QByteArray("\"ImageTempo = 4\"\r\n\"ImageFilter = *.gif, *.ico\r\n")
            << QString("/before|4|*.gif, *.ico|0");
    }

    void handMadeFiles() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, read);
        TestFolder folder;
        folder.write("Lumivart.ini", contents);
        Settings s = inFolder(folder);
        s.ImagePath = "/before";
        s.ImageTempo = 5;
        s.ImageFilter = "*.bmp";
        ReadExchangeFile(s);
        const QStringList fields{s.ImagePath, QString::number(s.ImageTempo), s.ImageFilter,
                                 QString::number(s.ImageProtect)};
        QCOMPARE(fields.join('|'), read);
    }
};

QTEST_GUILESS_MAIN(ExchangeFileTest)
#include "ExchangeFileTest.moc"
