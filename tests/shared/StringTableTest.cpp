#include "StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
constexpr int kLastSpanishId = 98;

// Every id that holds a text, whatever the range.
QList<int> heldIds() {
    QList<int> ids;
    for (int id = -kEnglishOffset; id <= 3 * kEnglishOffset; ++id) {
        if (!StringTable::entry(id).isEmpty())
            ids.append(id);
    }
    return ids;
}

// The ids the programs' texts are named by: the values of TextId, as its header gives them.
QList<int> namedIds() {
    static const QRegularExpression name(R"(\bkText\w+\s*=\s*(\d+))");
    QFile header(LUMIVART_SOURCE_DIR "/shared/StringTable.h");
    if (!header.open(QIODevice::ReadOnly))
        return {};
    QList<int> ids;
    for (const QRegularExpressionMatch& m : name.globalMatch(QString::fromUtf8(header.readAll())))
        ids.append(m.captured(1).toInt());
    return ids;
}
} // namespace

class StringTableTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextHasItsTwinInTheOtherLanguage() {
        const QList<int> ids = heldIds();
        QVERIFY(ids.size() > 2 * 80);
        for (const int id : ids) {
            const bool spanish = id >= 1 && id <= kLastSpanishId;
            const bool english = id > kEnglishOffset && id <= kEnglishOffset + kLastSpanishId;
            QVERIFY2(spanish || english, qPrintable(QString("stray entry %1").arg(id)));
            const int twin = spanish ? id + kEnglishOffset : id - kEnglishOffset;
            QVERIFY2(!StringTable::entry(twin).isEmpty(),
                     qPrintable(QString("no twin of %1").arg(id)));
        }
    }

    void theNamedIdsExistInBothLanguages() {
        const QList<int> named = namedIds();
        QVERIFY2(named.size() >= 80, "the names of the texts were not found");
        for (const int id : named) {
            QVERIFY2(id >= 1 && id <= kLastSpanishId, qPrintable(QString("id %1").arg(id)));
            QVERIFY2(!StringTable::entry(id + kSpanishOffset).isEmpty(),
                     qPrintable(QString::number(id)));
            QVERIFY2(!StringTable::entry(id + kEnglishOffset).isEmpty(),
                     qPrintable(QString::number(id)));
        }
    }

    // Blanks are part of the texts: the labels of the file properties end in one, and the English
    // GIF item has two after "GIF". No other text starts or ends with a blank or doubles one.
    void blanksStandExactlyWhereTheyBelong() {
        QSet<int> trailing{kEnglishOffset + 51};
        for (int id = 52; id <= 57; ++id)
            trailing += {id, id + kEnglishOffset};
        const QSet<int> doubled{kEnglishOffset + 16};
        for (const int id : heldIds()) {
            const QString text = StringTable::entry(id);
            const QString where = QString("%1: \"%2\"").arg(id).arg(text);
            QVERIFY2(!text.startsWith(u' '), qPrintable(where));
            QVERIFY2(text.endsWith(u' ') == trailing.contains(id), qPrintable(where));
            QVERIFY2(text.trimmed().contains(u"  ") == doubled.contains(id), qPrintable(where));
        }
    }

    void accentedLettersAreWholeLetters() {
        for (const int id : heldIds()) {
            const QString text = StringTable::entry(id);
            const QString where = QString("%1: \"%2\"").arg(id).arg(text);
            // Text read in the wrong encoding shows as replacement characters or as "Ã" pairs.
            QVERIFY2(!text.contains(QChar::ReplacementCharacter), qPrintable(where));
            QVERIFY2(!text.contains(u'\u00C3') && !text.contains(u'\u00C2'), qPrintable(where));
            QCOMPARE(text.normalized(QString::NormalizationForm_C), text);
            for (const QChar c : text)
                QVERIFY2(c.unicode() < 0x80 || c.isLetter(), qPrintable(where));
        }
        // A few texts that must keep their accents.
        QVERIFY(LocalText(kTextAttention, kSpanishOffset).contains(u'\u00F3'));            // ó
        QVERIFY(LocalText(kTextPropertyLastAccess, kSpanishOffset).startsWith(u'\u00DA')); // Ú
        QVERIFY(LocalText(kTextOtherLanguage, kEnglishOffset).contains(u'\u00F1'));        // ñ
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
