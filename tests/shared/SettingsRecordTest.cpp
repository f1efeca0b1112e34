#include "SettingsRecord.h"
#include "Settings.h"

#include <QtTest>

using namespace SettingsRecord;

Q_DECLARE_METATYPE(Settings)

namespace {
// A record whose every stored field differs from the start-up defaults.
Settings everyFieldChanged() {
    Settings s = Settings::startupDefaults("/home/ana/fotos");
    s.ThumbHeight = 1430;
    s.ThumbWidth = 1338;
    s.CaptionWidth = 1200;
    s.SpacingH = 254;
    s.SpacingV = 688;
    s.LanguageOffset = 200;
    s.ZoomDivisor = 4;
    s.ZoomMode = true;
    s.CopyFolder = "/media/usb";
    s.Reserved11 = "r11";
    s.ImageTempo = 7;
    s.Proportional = 1;
    s.RandomOrder = 1;
    s.ProtectPassword = "secreto";
    s.Reserved16 = "r16";
    return s;
}

// The record with its pieces from the field on (counted from 1) replaced by the given ones.
QByteArray withPieces(const QByteArray& record, int field, const QByteArray& replacement) {
    QByteArrayList pieces = record.split(',');
    const QByteArrayList replacing = replacement.split(',');
    for (qsizetype i = 0; i < replacing.size(); ++i)
        pieces[field - 1 + i] = replacing[i];
    return pieces.join(',');
}
} // namespace

class SettingsRecordTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsGiveTheDocumentedRecordText() {
        QCOMPARE(recordText(Settings::startupDefaults("C:\\FOTOS")),
                 QByteArray("C:\\FOTOS,500,500,910,420,380,0,2,False,C:\\FOTOS,,0,0,0,,"));
    }

    // Scrambling adds a hundred to every byte; a byte below a hundred cannot be unscrambled.
    void scrambling() {
        const QByteArray scrambled = scramble("abc,09");
        QCOMPARE(scrambled, QByteArray("\xc5\xc6\xc7\x90\x94\x9d"));
        QCOMPARE(unscramble(scrambled), std::optional<QByteArray>("abc,09"));
        QCOMPARE(unscramble(QByteArray("\xc5\x63\xc7")), std::nullopt);
    }

    // Any text in the text fields comes back as written, through sixteen pieces of bytes the
    // scrambling can carry.
    void storedTextRoundTrips_data() {
        QTest::addColumn<Settings>("saved");
        QTest::newRow("every field changed") << everyFieldChanged();
        const char* texts[] = {"/home/iñaki/Fotos de Año Nuevo/é", "/fotos/2024, verano",
                               "/a\00101b", // a control byte followed by digits
                               "/fotos/猫 🐈"};
        for (const char* text : texts) {
            Settings s = Settings::startupDefaults(QString::fromUtf8(text));
            s.ProtectPassword = s.CurrentFolder;
            QTest::addRow("text \"%s\"", text) << s;
        }
    }

    void storedTextRoundTrips() {
        QFETCH(Settings, saved);
        const QByteArray text = recordText(saved);
        QCOMPARE(text.count(','), 15);
        for (const char c : text)
            QVERIFY2(static_cast<unsigned char>(c) <= 155, "a byte the scrambling cannot carry");
        Settings loaded = Settings::startupDefaults("/elsewhere");
        QVERIFY(assignRecordText(loaded, *unscramble(scramble(text))));
        QCOMPARE(recordText(loaded), text);
        QCOMPARE(loaded.CurrentFolder, saved.CurrentFolder);
        QCOMPARE(loaded.ProtectPassword, saved.ProtectPassword);
    }

    void pieceConversion_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expected"); // the field's value written back as record text

        QTest::newRow("size takes the leading number")
            << 2 << QByteArray(" 12.7px") << true << "13";
        QTest::newRow("size beyond 16 bits stops") << 2 << QByteArray("40000") << false << "";
        QTest::newRow("zoom number non-zero") << 9 << QByteArray("-1") << true << "True";
        QTest::newRow("delay half rounds to even") << 12 << QByteArray("2.5") << true << "2";
        QTest::newRow("byte 255 is the largest taken") << 13 << QByteArray("255") << true << "255";
        QTest::newRow("byte beyond 255 stops") << 13 << QByteArray("256") << false << "";
    }

    void pieceConversion() {
        QFETCH(int, field);
        QFETCH(QByteArray, piece);
        QFETCH(bool, accepted);
        QFETCH(QString, expected);
        const QByteArray source = recordText(everyFieldChanged());
        Settings loaded = Settings::startupDefaults("/start");
        const QByteArray defaults = recordText(loaded);
        QCOMPARE(assignRecordText(loaded, withPieces(source, field, piece)), accepted);
        // A refused piece leaves its field and all later ones at their defaults.
        const QByteArray before = source.split(',').mid(0, field - 1).join(',');
        QCOMPARE(recordText(loaded), accepted ? withPieces(source, field, expected.toLatin1())
                                              : withPieces(defaults, 1, before));
    }

    // Records with too many or too few pieces: the first pieces fill the first fields, the last
    // piece the last field.
    void piecesAgainstFields() {
        const QByteArray changed = recordText(everyFieldChanged());
        Settings loaded = everyFieldChanged();
        QVERIFY(assignRecordText(loaded, changed + ",extra,last"));
        QCOMPARE(recordText(loaded), withPieces(changed, 16, "last"));
        loaded = everyFieldChanged();
        QVERIFY(assignRecordText(loaded, "/a,777,tail"));
        QCOMPARE(recordText(loaded), withPieces(withPieces(changed, 1, "/a,777"), 16, "tail"));
    }

    // Values that cannot be used are put back to their start-up defaults at load: thumbnail
    // geometry below what the preferences allow (as a whole), a zoom level of 0, a language
    // other than the two. Geometry the preferences could have stored is kept.
    void unusableValuesAreRepaired_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("used");
        QTest::newRow("a spacing just below")
            << 2 << QByteArray("500,500,910,49,380") << QByteArray("500,500,910,420,380");
        QTest::newRow("the smallest allowed")
            << 2 << QByteArray("50,50,0,50,50") << QByteArray("50,50,0,50,50");
        QTest::newRow("zoom level 0") << 8 << QByteArray("0") << QByteArray("2");
        QTest::newRow("a language between the two") << 7 << QByteArray("100") << QByteArray("0");
    }

    void unusableValuesAreRepaired() {
        QFETCH(int, field);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, used);
        Settings s = Settings::startupDefaults("/start");
        QVERIFY(assignRecordText(s, withPieces(recordText(everyFieldChanged()), field, stored)));
        const QByteArray before = recordText(s);
        QCOMPARE(s.repairUnusableValues(), stored != used);
        QCOMPARE(recordText(s), withPieces(before, field, used)); // nothing else changes
    }
};

QTEST_GUILESS_MAIN(SettingsRecordTest)
#include "SettingsRecordTest.moc"
