#include "SettingsPersistence.h"
#include "ExchangeFile.h"
#include "Settings.h"
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

        QCOMPARE(place.folder.read("config/Lumi Vart/Valores/Configuracion"),
                 SettingsRecord::scramble(SettingsRecord::recordText(s)));

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
        place.folder.write("config/Lumi Vart/Lumivart.ini", "\"ImageTempo = 4\"\r\n");

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
        QTest::newRow("winbootdir when windir is empty")
            << QByteArray() << QByteArray("/b") << "/b";
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
        QCOMPARE(s.WindowsDir,
                 expected == "fallback" ? place.store.fallbackWindowsDir() : expected);
    }

    void aWriteThatFailsSaysWhichFileAndWhy_data() {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("loadedFolder");
        QTest::addColumn<QString>("loadedImagePath");
        // What a later load finds: the steps after the failed write are skipped, and the files
        // already there stay as they were.
        const char* rows[][4] = {
            {"a file where the store's folder belongs", "store", "/start", "/start"},
            {"a folder in the record's place", "record", "/start", "/old"},
            {"a folder in the exchange file's place", "exchange", "/new", "/new"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3]);
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

    // The record and the exchange file hold the scrambled password: they and their folders are
    // the owner's alone, also when an earlier version left them readable by all.
    void theSettingsAreReadableByTheirOwnerAlone_data() {
        QTest::addColumn<bool>("leftOpenBefore");
        QTest::newRow("the first save") << false;
        QTest::newRow("files and folders readable by all") << true;
    }

    void theSettingsAreReadableByTheirOwnerAlone() {
        QFETCH(bool, leftOpenBefore);
        TemporarySettings place;
        const QList<QPair<QString, mode_t>> modes = {
            {place.storeFolder(), 0700},
            {place.storeFolder() + "/Valores", 0700},
            {place.recordFile(), 0600},
            {place.exchangeFile(), 0600},
        };
        Settings s = Settings::startupDefaults("/fotos");
        if (leftOpenBefore) {
            QVERIFY(SaveSettings(s, place.store).written);
            for (const auto& [path, mode] : modes)
                QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode == 0700 ? 0755 : 0644),
                         0);
        }
        QVERIFY(SaveSettings(s, place.store).written);
        for (const auto& [path, mode] : modes) {
            struct stat status {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
            QCOMPARE(status.st_mode & 07777, mode);
        }
    }
};

QTEST_GUILESS_MAIN(SettingsPersistenceTest)
#include "SettingsPersistenceTest.moc"
