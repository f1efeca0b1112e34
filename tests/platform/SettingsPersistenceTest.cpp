#include "ExchangeFile.h"
#include "Settings.h"
#include "SettingsPersistence.h"
#include "SettingsRecord.h"
#include "TemporarySettings.h"

#include <QtTest>
#include <sys/stat.h>

class SettingsPersistenceTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstRunKeepsTheStartupDefaults() {
        TemporarySettings place;
        Settings s = Settings::startupDefaults("/fotos");
        LoadSettings(s, place.store);

        Settings expected = Settings::startupDefaults("/fotos");
        expected.WindowsDir = place.storeFolder();
        expected.ImageFilter = kAllPictureFormatsPattern;
        expected.ImagePath = "/fotos";
        QCOMPARE(s, expected);
    }

    void theStoreHoldsTheScrambledRecordExactly() {
        TemporarySettings place;
        Settings s = Settings::startupDefaults(QString::fromUtf8("/fotos/Año, 2024"));
        s.ZoomMode = true;
        QVERIFY(SaveSettings(s, place.store).written);

        QFile stored(place.recordFile());
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray bytes = stored.readAll();
        QCOMPARE(bytes, SettingsRecord::scramble(SettingsRecord::recordText(s)));
        for (const char c : bytes)
            QVERIFY(static_cast<unsigned char>(c) >= 100);

        Settings loaded = Settings::startupDefaults("/elsewhere");
        LoadSettings(loaded, place.store);
        QCOMPARE(loaded.CurrentFolder, s.CurrentFolder);
        QCOMPARE(loaded.ZoomMode, true);
    }

    void theExchangeFileDelayWinsOverTheStoredOne() {
        TemporarySettings place;
        Settings s = Settings::startupDefaults("/fotos");
        s.ImageTempo = 9;
        QVERIFY(SaveSettings(s, place.store).written);
        QFile file(place.exchangeFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"ImageTempo = 4\"\r\n");
        file.close();

        Settings loaded = Settings::startupDefaults("/fotos");
        LoadSettings(loaded, place.store);
        QCOMPARE(loaded.ImageTempo, qint16(4));
    }

    void theSaverFolderStaysUntilTheExchangeFileIsDeleted() {
        TemporarySettings place;
        Settings first = Settings::startupDefaults("/first");
        LoadSettings(first, place.store);
        QVERIFY(SaveSettings(first, place.store).written);

        Settings second = Settings::startupDefaults("/first");
        LoadSettings(second, place.store);
        second.CurrentFolder = "/second";
        QVERIFY(SaveSettings(second, place.store).written);

        Settings third = Settings::startupDefaults("/x");
        LoadSettings(third, place.store);
        QCOMPARE(third.CurrentFolder, QString("/second"));
        QCOMPARE(third.ImagePath, QString("/first"));

        QVERIFY(QFile::remove(place.exchangeFile()));
        Settings fourth = Settings::startupDefaults("/x");
        LoadSettings(fourth, place.store);
        QCOMPARE(fourth.ImagePath, QString("/second"));
    }

    void aValueThatCannotBeUnscrambledKeepsEveryDefault() {
        TemporarySettings place;
        QVERIFY(place.store
                    .writeValue(kStoreSection, kStoreKey,
                                QByteArray("A") + SettingsRecord::scramble("/x,1,1"))
                    .written);
        Settings s = Settings::startupDefaults("/fotos");
        LoadSettings(s, place.store);
        QCOMPARE(SettingsRecord::recordText(s),
                 SettingsRecord::recordText(Settings::startupDefaults("/fotos")));
        QCOMPARE(s.ImagePath, QString("/fotos"));
    }

    void onlyRegularFilesAreRead_data() {
        QTest::addColumn<bool>("inPlaceOfTheRecord"); // else of the exchange file
        QTest::addColumn<QString>("kind");
        for (const bool record : {true, false}) {
            for (const char* kind : {"named pipe", "folder", "device"})
                QTest::addRow("%s for the %s", kind, record ? "record" : "exchange file")
                    << record << QString(kind);
        }
    }

    // A named pipe would hold the start until some other program wrote to it, a device would be
    // read without end: neither is taken for the settings, which keep their defaults.
    void onlyRegularFilesAreRead() {
        QFETCH(bool, inPlaceOfTheRecord);
        QFETCH(QString, kind);
        TemporarySettings place;
        Settings saved = Settings::startupDefaults("/saved");
        saved.ImageTempo = 9;
        saved.ImagePath = "/shown";
        QVERIFY(SaveSettings(saved, place.store).written);
        const QString path = inPlaceOfTheRecord ? place.recordFile() : place.exchangeFile();
        QVERIFY(QFile::remove(path));
        if (kind == "named pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(QFile::link("/dev/zero", path));

        Settings loaded = Settings::startupDefaults("/start");
        LoadSettings(loaded, place.store);
        // The file that is still there is read as always.
        QCOMPARE(loaded.CurrentFolder, QString(inPlaceOfTheRecord ? "/start" : "/saved"));
        QCOMPARE(loaded.ImagePath, QString(inPlaceOfTheRecord ? "/shown" : "/saved"));
        QCOMPARE(loaded.ImageTempo, qint16(9));
    }

    void windowsDirectoryFromTheEnvironment_data() {
        QTest::addColumn<QByteArray>("windir");
        QTest::addColumn<QByteArray>("winbootdir");
        QTest::addColumn<QString>("expected"); // "fallback" for the store's folder
        QTest::newRow("windir") << QByteArray("/w") << QByteArray("/b") << "/w";
        QTest::newRow("winbootdir when windir is empty") << QByteArray() << QByteArray("/b") << "/b";
        QTest::newRow("neither") << QByteArray() << QByteArray() << "fallback";
    }

    void windowsDirectoryFromTheEnvironment() {
        QFETCH(QByteArray, windir);
        QFETCH(QByteArray, winbootdir);
        QFETCH(QString, expected);
        TemporarySettings place;
        std::optional<ScopedEnvironment> w, b;
        if (!windir.isEmpty())
            w.emplace("windir", windir);
        if (!winbootdir.isEmpty())
            b.emplace("winbootdir", winbootdir);
        Settings s;
        FindWindowsDir(s, place.store.fallbackWindowsDir());
        QCOMPARE(s.WindowsDir, expected == "fallback" ? place.store.fallbackWindowsDir() : expected);
    }

    void aWriteThatFailsSaysWhichFileAndWhy_data() {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("loadedFolder");
        QTest::addColumn<QString>("loadedImagePath");
        // What a later load finds: the steps after the failed write are skipped, and the files
        // already there stay as they were.
        QTest::newRow("a file where the store's folder belongs") << "store"
                                                                 << "/start"
                                                                 << "/start";
        QTest::newRow("a folder in the record's place") << "record"
                                                        << "/start"
                                                        << "/old";
        QTest::newRow("a folder in the exchange file's place") << "exchange"
                                                               << "/new"
                                                               << "/new";
    }

    void aWriteThatFailsSaysWhichFileAndWhy() {
        QFETCH(QString, blocked);
        QFETCH(QString, loadedFolder);
        QFETCH(QString, loadedImagePath);
        TemporarySettings place;
        Settings s = Settings::startupDefaults("/old");
        s.ImagePath = "/old";
        if (blocked == "store") {
            place.folder.write("config/Lumi Vart", "not a folder");
        } else {
            QVERIFY(SaveSettings(s, place.store).written);
            const QString path = blocked == "record" ? place.recordFile() : place.exchangeFile();
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path + "/in the way"));
        }
        s.CurrentFolder = "/new";
        s.ImagePath = "/new";
        const FileWriteResult result = SaveSettings(s, place.store);
        QVERIFY(!result.written);
        QCOMPARE(result.file, blocked == "exchange" ? place.exchangeFile() : place.recordFile());
        QVERIFY(!result.reason.isEmpty());

        Settings loaded = Settings::startupDefaults("/start");
        LoadSettings(loaded, place.store);
        QCOMPARE(loaded.CurrentFolder, loadedFolder);
        QCOMPARE(loaded.ImagePath, loadedImagePath);
    }

    void aRewrittenValueReplacesTheOldOneWhole() {
        TemporarySettings place;
        QVERIFY(place.store.writeValue("S", "K", QByteArray(500, 'x')).written);
        QVERIFY(place.store.writeValue("S", "K", "short").written);
        QCOMPARE(place.store.readValue("S", "K"), std::optional<QByteArray>("short"));
        QCOMPARE(place.store.readValue("S", "missing"), std::nullopt);
        QCOMPARE(QDir(place.storeFolder() + "/S").entryList(QDir::Files),
                 QStringList{"K"}); // no temporary file left behind
    }
};

QTEST_GUILESS_MAIN(SettingsPersistenceTest)
#include "SettingsPersistenceTest.moc"
