#include "SettingsRecord.h"
#include "Settings.h"

#include <QtTest>

using namespace SettingsRecord;

namespace {
Settings defaultsIn(const QString& folder) {
    return Settings::startupDefaults(folder);
}

// A record whose every stored field differs from the start-up defaults.
Settings everyFieldChanged() {
    Settings s = defaultsIn("/home/ana/fotos");
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

QByteArray withPiece(QByteArray record, int field, const QByteArray& piece) {
    QByteArrayList pieces = record.split(',');
    pieces[field - 1] = piece;
    return pieces.join(',');
}
} // namespace

class SettingsRecordTest : public QObject {
    Q_OBJECT

private slots:
    void defaultsGiveTheDocumentedRecordText() {
        QCOMPARE(recordText(defaultsIn("C:\\FOTOS")),
                 QByteArray("C:\\FOTOS,500,500,910,420,380,0,2,False,C:\\FOTOS,,0,0,0,,"));
    }

    void booleansAndNegativesAreWrittenAsWordsAndDigits() {
        Settings s = defaultsIn("/x");
        s.ZoomMode = true;
        s.ImageTempo = -12;
        const QByteArrayList pieces = recordText(s).split(',');
        QCOMPARE(pieces.size(), 16);
        QCOMPARE(pieces[8], QByteArray("True"));
        QCOMPARE(pieces[11], QByteArray("-12"));
    }

    void scramblingAddsAHundredToEveryByte() {
        const QByteArray scrambled = scramble("abc,09");
        QCOMPARE(scrambled, QByteArray("\xc5\xc6\xc7\x90\x94\x9d"));
        QCOMPARE(unscramble(scrambled), std::optional<QByteArray>("abc,09"));
    }

    void aByteBelowAHundredCannotBeUnscrambled() {
        QCOMPARE(unscramble(QByteArray("\xc5\x63\xc7")), std::nullopt);
        QCOMPARE(unscramble(QByteArray()), std::optional<QByteArray>(QByteArray()));
    }

    void storedTextRoundTripsEveryField() {
        const Settings saved = everyFieldChanged();
        Settings loaded = defaultsIn("/elsewhere");
        QVERIFY(assignRecordText(loaded, *unscramble(scramble(recordText(saved)))));
        QCOMPARE(recordText(loaded), recordText(saved));
        QCOMPARE(loaded.ZoomMode, true);
        QCOMPARE(loaded.ProtectPassword, QString("secreto"));
    }

    void emptyTextFieldsSurviveRepeatedSaves() {
        Settings s = defaultsIn("/fotos");
        const QByteArray first = recordText(s);
        QVERIFY(first.endsWith(",,"));
        for (int round = 0; round < 3; ++round) {
            Settings again = defaultsIn("/other");
            QVERIFY(assignRecordText(again, recordText(s)));
            s = again;
        }
        QCOMPARE(recordText(s), first);
        QVERIFY(s.ProtectPassword.isEmpty() && s.Reserved11.isEmpty() && s.Reserved16.isEmpty());
    }

    void pieceConversion_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expected"); // the field's value written back as record text

        QTest::newRow("size without a number is 0") << 2 << QByteArray("abc") << true << "0";
        QTest::newRow("size takes the leading number")
            << 2 << QByteArray(" 12.7px") << true << "13";
        QTest::newRow("negative size") << 3 << QByteArray("-5") << true << "-5";
        QTest::newRow("size beyond 16 bits stops") << 2 << QByteArray("40000") << false << "";
        QTest::newRow("language offset") << 7 << QByteArray("200") << true << "200";
        QTest::newRow("zoom word any case") << 9 << QByteArray("tRuE") << true << "True";
        QTest::newRow("zoom false word") << 9 << QByteArray("FALSE") << true << "False";
        QTest::newRow("zoom number non-zero") << 9 << QByteArray("-1") << true << "True";
        QTest::newRow("zoom number zero") << 9 << QByteArray("0") << true << "False";
        QTest::newRow("zoom other word stops") << 9 << QByteArray("yes") << false << "";
        QTest::newRow("delay must be a number") << 12 << QByteArray("abc") << false << "";
        QTest::newRow("empty delay stops") << 12 << QByteArray("") << false << "";
        QTest::newRow("delay half rounds to even") << 12 << QByteArray("2.5") << true << "2";
        QTest::newRow("delay half rounds up to even") << 12 << QByteArray("3.5") << true << "4";
        QTest::newRow("delay with blanks") << 12 << QByteArray(" 9 ") << true << "9";
        QTest::newRow("delay with trailing text stops") << 12 << QByteArray("9s") << false << "";
        QTest::newRow("proportional byte") << 13 << QByteArray("1") << true << "1";
        QTest::newRow("byte beyond 255 stops") << 13 << QByteArray("256") << false << "";
        QTest::newRow("negative byte stops") << 14 << QByteArray("-1") << false << "";
        QTest::newRow("text unchanged") << 15 << QByteArray("p a s") << true << "p a s";
    }

    void pieceConversion() {
        QFETCH(int, field);
        QFETCH(QByteArray, piece);
        QFETCH(bool, accepted);
        QFETCH(QString, expected);

        const Settings source = everyFieldChanged();
        const Settings defaults = defaultsIn("/start");
        Settings loaded = defaults;
        QCOMPARE(assignRecordText(loaded, withPiece(recordText(source), field, piece)), accepted);

        const QByteArrayList got = recordText(loaded).split(',');
        const QByteArrayList sourcePieces = recordText(source).split(',');
        const QByteArrayList defaultPieces = recordText(defaults).split(',');
        for (int f = 1; f <= 16; ++f) {
            const QByteArray& value = got[f - 1];
            if (f < field)
                QCOMPARE(value, sourcePieces[f - 1]);
            else if (f == field && accepted)
                QCOMPARE(QString::fromLatin1(value), expected);
            else if (f > field && accepted)
                QCOMPARE(value, sourcePieces[f - 1]);
            else // a refused piece leaves its field and all later ones at their defaults
                QCOMPARE(value, defaultPieces[f - 1]);
        }
    }

    void piecesAfterTheSixteenthGoToTheLastField() {
        Settings loaded = defaultsIn("/start");
        QVERIFY(assignRecordText(loaded, recordText(everyFieldChanged()) + ",extra,last"));
        QCOMPARE(loaded.Reserved16, QString("last"));
        QCOMPARE(loaded.ProtectPassword, QString("secreto"));
    }

    void aShortRecordFillsTheFirstFieldsAndTheLast() {
        Settings loaded = defaultsIn("/start");
        QVERIFY(assignRecordText(loaded, "/a,777,tail"));
        QCOMPARE(loaded.CurrentFolder, QString("/a"));
        QCOMPARE(loaded.ThumbHeight, qint16(777));
        QCOMPARE(loaded.ThumbWidth, qint16(500));
        QCOMPARE(loaded.Reserved16, QString("tail"));
    }

    void anEmptyRecordOnlyEmptiesTheLastField() {
        Settings loaded = everyFieldChanged();
        QVERIFY(assignRecordText(loaded, ""));
        QCOMPARE(loaded.CurrentFolder, QString("/home/ana/fotos"));
        QVERIFY(loaded.Reserved16.isEmpty());
    }

    void textFieldsKeepAnyCharacter_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "C:\\FOTOS";
        QTest::newRow("accented") << QString::fromUtf8("/home/iñaki/Fotos de Año Nuevo/é");
        QTest::newRow("comma") << "/fotos/2024, verano";
        QTest::newRow("escape byte") << QString::fromUtf8("/a\x01"
                                                          "01b");
        QTest::newRow("symbol beyond latin") << QString::fromUtf8("/fotos/猫 🐈");
    }

    void textFieldsKeepAnyCharacter() {
        QFETCH(QString, folder);
        Settings saved = defaultsIn(folder);
        saved.ProtectPassword = folder;
        const QByteArray text = recordText(saved);
        QCOMPARE(text.count(','), 15);
        for (const char c : text)
            QVERIFY2(static_cast<unsigned char>(c) <= 155, "a byte the scrambling cannot carry");

        Settings loaded = defaultsIn("/other");
        QVERIFY(assignRecordText(loaded, *unscramble(scramble(text))));
        QCOMPARE(loaded.CurrentFolder, folder);
        QCOMPARE(loaded.CopyFolder, folder);
        QCOMPARE(loaded.ProtectPassword, folder);
    }

    void plainTextIsStoredUnchanged() {
        QCOMPARE(encodeTextField("C:\\Mis Fotos\\100%"), QByteArray("C:\\Mis Fotos\\100%"));
    }

    // Thumbnail geometry below what the preferences allow is put back to the start-up defaults
    // as a whole; geometry the preferences could have stored is kept.
    void unusableGeometryIsRepaired_data() {
        QTest::addColumn<QList<int>>("geometry"); // height, width, caption, spacings
        QTest::addColumn<bool>("repaired");
        QTest::newRow("zero sizes left by another program") << QList<int>{0, 0, 0, 0, 0} << true;
        QTest::newRow("a width of 1, no spacing") << QList<int>{500, 1, 910, 0, 0} << true;
        QTest::newRow("a spacing just below") << QList<int>{500, 500, 910, 49, 380} << true;
        QTest::newRow("the smallest allowed") << QList<int>{50, 50, 0, 50, 50} << false;
        QTest::newRow("larger than the sliders")
            << QList<int>{9000, 9000, 9000, 9000, 9000} << false;
    }

    void unusableGeometryIsRepaired() {
        QFETCH(QList<int>, geometry);
        QFETCH(bool, repaired);
        Settings s = everyFieldChanged();
        qint16* fields[] = {&s.ThumbHeight, &s.ThumbWidth, &s.CaptionWidth, &s.SpacingH,
                            &s.SpacingV};
        for (int i = 0; i < 5; ++i)
            *fields[i] = static_cast<qint16>(geometry[i]);
        Settings expected = s;
        if (repaired) {
            const Settings defaults = defaultsIn("/fotos");
            for (auto field : {&Settings::ThumbHeight, &Settings::ThumbWidth,
                               &Settings::CaptionWidth, &Settings::SpacingH, &Settings::SpacingV})
                expected.*field = defaults.*field;
        }
        QCOMPARE(s.repairUnusableValues(), repaired);
        QCOMPARE(s, expected);
    }

    void zeroZoomLevelIsRepaired() {
        Settings s = everyFieldChanged();
        s.ZoomDivisor = 0;
        QVERIFY(s.repairUnusableValues());
        QCOMPARE(s.ZoomDivisor, defaultsIn("/fotos").ZoomDivisor);
    }

    void aLanguageOtherThanTheTwoIsReadAsSpanish_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("used");
        QTest::newRow("spanish") << 0 << 0;
        QTest::newRow("english") << 200 << 200;
        QTest::newRow("between the two") << 100 << 0;
        QTest::newRow("negative") << -200 << 0;
    }

    void aLanguageOtherThanTheTwoIsReadAsSpanish() {
        QFETCH(int, stored);
        QFETCH(int, used);
        Settings s = defaultsIn("/fotos");
        s.LanguageOffset = static_cast<qint16>(stored);
        QCOMPARE(s.repairUnusableValues(), stored != used);
        QCOMPARE(s.LanguageOffset, qint16(used));
    }
};

QTEST_GUILESS_MAIN(SettingsRecordTest)
#include "SettingsRecordTest.moc"
