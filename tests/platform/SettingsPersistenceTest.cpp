#include "SettingsPersistence.h"
#include "ExchangeFile.h"
#include "Settings.h"
#include "SettingsRecord.h"
#include "TemporarySettings.h"

#include <QtTest>
#include <sys/stat.h>

namespace {
// The settings a start with the given current folder loads from a place.
Settings loaded(const TemporarySettings& place, const QString& folder = "/start") {
    Settings s = Settings::startupDefaults(folder);
    LoadSettings(s, place.store);
    return s;
}

// Saves settings with a current folder and a saver folder of their own, and a delay of 9.
void save(TemporarySettings& place, const QString& folder, const QString& saverFolder) {
    Settings s = Settings::startupDefaults(folder);
    s.ImagePath = saverFolder;
    s.ImageTempo = 9;
    QVERIFY(SaveSettings(s, place.store).written);
}
} // namespace

class SettingsPersistenceTest : public QObject {
    Q_OBJECT

private slots:
    // A stored value that cannot be unscrambled is not ours: every start-up default stays.
    void withoutAUsableRecordTheStartupDefaultsStay() {
        TemporarySettings place;
        const QByteArray garbled = QByteArray("A") + SettingsRecord::scramble("/x,1,1");
        QVERIFY(place.store.writeValue(kStoreSection, kStoreKey, garbled).written);
        Settings defaults = Settings::startupDefaults("/fotos");
        defaults.WindowsDir = place.storeFolder();
        defaults.ImageFilter = kAllPictureFormatsPattern;
        defaults.ImagePath = "/fotos";
        QCOMPARE(loaded(place, "/fotos"), defaults);
    }

    // What is saved comes back, a folder with a comma and an accent included; the exchange file's
    // delay wins over the stored one; the saver's folder stays until the exchange file is deleted.
    // A shorter record replaces a longer one whole.
    void savedSettingsComeBack() {
        TemporarySettings place;
        Settings s = loaded(place, QString::fromUtf8("/fotos/Año, 2024"));
        s.ImageTempo = 9;
        QVERIFY(SaveSettings(s, place.store).written);
        QCOMPARE(loaded(place).CurrentFolder, s.CurrentFolder);
        QCOMPARE(loaded(place).ImagePath, s.CurrentFolder);
        place.folder.write("config/Lumi Vart/Lumivart.ini", "\"ImageTempo = 4\"\r\n");
        QCOMPARE(loaded(place).ImageTempo, qint16(4));

        Settings next = loaded(place);
        next.CurrentFolder = "/second";
        QVERIFY(SaveSettings(next, place.store).written);
        QCOMPARE(loaded(place).CurrentFolder, QString("/second"));
        QCOMPARE(loaded(place).ImagePath, s.CurrentFolder);
        QVERIFY(QFile::remove(place.exchangeFile()));
        QCOMPARE(loaded(place).ImagePath, QString("/second"));
    }

    // A named pipe would hold the start until some other program wrote to it, a device would be
    // read without end: neither is taken for the settings, and the other file is read as always.
    // What a load finds, as "current folder|saver folder|delay".
    void onlyRegularFilesAreRead_data() {
        QTest::addColumn<bool>("inPlaceOfTheRecord"); // else of the exchange file
        QTest::addColumn<QString>("found");
        QTest::newRow("a named pipe for the record") << true << "/start|/shown|9";
        QTest::newRow("a device for the exchange file") << false << "/saved|/saved|9";
    }

    void onlyRegularFilesAreRead() {
        QFETCH(bool, inPlaceOfTheRecord);
        QFETCH(QString, found);
        TemporarySettings place;
        save(place, "/saved", "/shown");
        const QString path = inPlaceOfTheRecord ? place.recordFile() : place.exchangeFile();
        QVERIFY(QFile::remove(path));
        if (inPlaceOfTheRecord)
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link("/dev/zero", path));
        const Settings s = loaded(place);
        QCOMPARE(s.CurrentFolder + '|' + s.ImagePath + '|' + QString::number(s.ImageTempo), found);
    }

    // What a later load finds after a failed save, as "current folder|saver folder": the steps
    // after the failed write are skipped, and the files already there stay as they were.
    void aWriteThatFailsSaysWhichFileAndWhy_data() {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("loadedFolders");
        QTest::newRow("a file in the store's place") << "store"
                                                     << "/start|/start";
        QTest::newRow("a folder in the record's place") << "record"
                                                        << "/start|/old";
        QTest::newRow("a folder in the exchange file's place") << "exchange"
                                                               << "/new|/new";
    }

    void aWriteThatFailsSaysWhichFileAndWhy() {
        QFETCH(QString, blocked);
        QFETCH(QString, loadedFolders);
        TemporarySettings place;
        if (blocked == "store") {
            place.folder.write("config/Lumi Vart", "not a folder");
        } else {
            save(place, "/old", "/old");
            const QString path = blocked == "record" ? place.recordFile() : place.exchangeFile();
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path + "/in the way"));
        }
        Settings s = Settings::startupDefaults("/new");
        s.ImagePath = "/new";
        const FileWriteResult result = SaveSettings(s, place.store);
        QVERIFY(!result.written);
        QCOMPARE(result.file, blocked == "exchange" ? place.exchangeFile() : place.recordFile());
        QVERIFY(!result.reason.isEmpty());
        const Settings after = loaded(place);
        QCOMPARE(after.CurrentFolder + '|' + after.ImagePath, loadedFolders);
    }

    // The record and the exchange file hold the scrambled password: they and their folders are
    // the owner's alone, also when an earlier version left them readable by all.
    void theSettingsAreReadableByTheirOwnerAlone() {
        TemporarySettings place;
        const QList<QPair<QString, mode_t>> modes = {{place.storeFolder(), 0700},
                                                     {place.storeFolder() + "/Valores", 0700},
                                                     {place.recordFile(), 0600},
                                                     {place.exchangeFile(), 0600}};
        Settings s = Settings::startupDefaults("/fotos");
        QVERIFY(SaveSettings(s, place.store).written);
        for (const auto& [path, mode] : modes)
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode | 055), 0);
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
