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

    void itemsOfTheFileText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("quoted lines") << "\"a = 1\"\r\n\"b\"\r\n" << QStringList{"a = 1", "b"};
        QTest::newRow("comma inside quotes") << "\"x, y\"\n" << QStringList{"x, y"};
        QTest::newRow("unquoted trimmed") << "  ImageTempo = 7  \r\n" << QStringList{"ImageTempo = 7"};
        QTest::newRow("unquoted comma splits") << "a,b\n" << QStringList{"a", "b"};
        QTest::newRow("text after closing quote dropped") << "\"a\"zz,b" << QStringList{"a", "b"};
        QTest::newRow("unclosed quote runs to the end") << "\"abc\r\n" << QStringList{"abc\r\n"};
        QTest::newRow("no final line end") << "\"a\"" << QStringList{"a"};
    }

    void itemsOfTheFileText() {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(exchangeFileItems(text), items);
    }

    void writtenFileReadsBackExactly_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::newRow("letter case and a comma") << "/home/Ana/Fotos, Verano"
                                                 << "*.JPG;*.png";
        QTest::newRow("double quotes") << "/fotos/\"Mar\" 2024\""
                                       << "\"*.gif";
        QTest::newRow("escape byte") << QString::fromUtf8("/a\x01"
                                                          "22/\x01")
                                     << "*.bmp";
        QTest::newRow("accented letters") << QString::fromUtf8("/fotos/Año/café") << "*.jpg";
    }

    void writtenFileReadsBackExactly() {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        TestFolder folder;
        Settings saved = inFolder(folder);
        saved.ImagePath = path;
        saved.ImageTempo = 12;
        saved.ImageFilter = filter;
        saved.ImageProtect = 1;
        QVERIFY(WriteExchangeFile(saved).written);
        // Five items, each in one pair of quotes, whatever the values hold.
        QCOMPARE(folder.read("Lumivart.ini").count('"'), 10);

        Settings loaded = inFolder(folder);
        ReadExchangeFile(loaded);
        QCOMPARE(loaded.ImagePath, saved.ImagePath);
        QCOMPARE(loaded.ImageTempo, saved.ImageTempo);
        QCOMPARE(loaded.ImageFilter, saved.ImageFilter);
        QCOMPARE(loaded.ImageProtect, saved.ImageProtect);
    }

    void handMadeFiles_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("tempo");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("protect");

        // Before reading: path "/before", tempo 5, filter "*.bmp", protect 0.
        QTest::newRow("unquoted delay") << QByteArray("ImageTempo = 7\r\n") << "/before" << 7
                                        << "*.bmp" << 0;
        QTest::newRow("key in any case, value keeps case")
            << QByteArray("\"imagepath=/Mis Fotos\"\r\n") << "/Mis Fotos" << 5 << "*.bmp" << 0;
        QTest::newRow("unknown lines skipped")
            << QByteArray("\"Lumi Vart\"\r\n\"Other = 1\"\r\n\"ImageProtect = 1\"\r\n")
            << "/before" << 5 << "*.bmp" << 1;
        QTest::newRow("item without equals sign is its own value")
            << QByteArray("\"ImageFilter\"\r\n") << "/before" << 5 << "ImageFilter" << 0;
        QTest::newRow("delay without a number is 0")
            << QByteArray("\"ImageTempo = soon\"\r\n") << "/before" << 0 << "*.bmp" << 0;
        QTest::newRow("delay beyond 16 bits ends the reading")
            << QByteArray("\"ImageTempo = 40000\"\r\n\"ImageFilter = *.gif\"\r\n") << "/before"
            << 5 << "*.bmp" << 0;
        QTest::newRow("protection not a number ends the reading")
            << QByteArray("\"ImagePath = /a\"\r\n\"ImageProtect = on\"\r\n\"ImageTempo = 9\"\r\n")
            << "/a" << 5 << "*.bmp" << 0;
        QTest::newRow("protection beyond a byte ends the reading")
            << QByteArray("\"ImageProtect = 256\"\r\n\"ImageTempo = 9\"\r\n") << "/before" << 5
            << "*.bmp" << 0;
        QTest::newRow("unquoted comma gives two items")
            << QByteArray("ImagePath = /a,ImageTempo = 3\r\n") << "/a" << 3 << "*.bmp" << 0;
        QTest::newRow("blanks around values trimmed")
            << QByteArray("\"ImageFilter =   *.gif  \"\r\n") << "/before" << 5 << "*.gif" << 0;
    }

    void handMadeFiles() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, path);
        QFETCH(int, tempo);
        QFETCH(QString, filter);
        QFETCH(int, protect);

        TestFolder folder;
        folder.write("Lumivart.ini", contents);
        Settings s = inFolder(folder);
        s.ImagePath = "/before";
        s.ImageTempo = 5;
        s.ImageFilter = "*.bmp";
        ReadExchangeFile(s);
        QCOMPARE(s.ImagePath, path);
        QCOMPARE(s.ImageTempo, qint16(tempo));
        QCOMPARE(s.ImageFilter, filter);
        QCOMPARE(s.ImageProtect, quint8(protect));
    }

    void aFailedWriteIsReportedAndKeepsTheOldFile() {
        TestFolder folder;
        Settings s = inFolder(folder);
        s.WindowsDir = folder.filePath("missing-folder");
        const FileWriteResult failed = WriteExchangeFile(s);
        QVERIFY(!failed.written);
        QCOMPARE(failed.file, ExchangeFilePath(s));
        QVERIFY(!failed.reason.isEmpty());
        QVERIFY(!QFile::exists(ExchangeFilePath(s)));

        s.WindowsDir = folder.path();
        folder.write("Lumivart.ini", "old");
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool written = WriteExchangeFile(s).written;
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        if (written)
            QSKIP("running with rights that ignore folder permissions");
        QCOMPARE(folder.read("Lumivart.ini"), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(ExchangeFileTest)
#include "ExchangeFileTest.moc"
