#include "StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
constexpr int kLastSpanishId = 98;

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

    // Every text has its twin in the other language. Blanks are part of the texts: the labels
    // of the file properties end in one, and the English GIF item has two after "GIF"; no other
    // text starts or ends with a blank or doubles one. Accented letters are whole letters.
    void everyTextIsWellFormed() {
        QSet<int> trailing{kEnglishOffset + 51};
        for (int id = 52; id <= 57; ++id)
            trailing += {id, id + kEnglishOffset};
        const QSet<int> doubled{kEnglishOffset + 16};
        int held = 0;
        for (int id = -kEnglishOffset; id <= 3 * kEnglishOffset; ++id) {
            const QString text = StringTable::entry(id);
            if (text.isEmpty())
                continue;
            ++held;
            const QString where = QString("%1: \"%2\"").arg(id).arg(text);
            const bool spanish = id >= 1 && id <= kLastSpanishId;
            const bool english = id > kEnglishOffset && id <= kEnglishOffset + kLastSpanishId;
            QVERIFY2(spanish || english, qPrintable("stray entry " + where));
            QVERIFY2(
                !StringTable::entry(spanish ? id + kEnglishOffset : id - kEnglishOffset).isEmpty(),
                qPrintable("no twin of " + where));
            QVERIFY2(!text.startsWith(u' '), qPrintable(where));
            QVERIFY2(text.endsWith(u' ') == trailing.contains(id), qPrintable(where));
            QVERIFY2(text.trimmed().contains(u"  ") == doubled.contains(id), qPrintable(where));
            // Text read in the wrong encoding shows as replacement characters or "Ã" pairs.
            QVERIFY2(!text.contains(QChar::ReplacementCharacter), qPrintable(where));
            QVERIFY2(!text.contains(u'\u00C3') && !text.contains(u'\u00C2'), qPrintable(where));
            QCOMPARE(text.normalized(QString::NormalizationForm_C), text);
            for (const QChar c : text)
                QVERIFY2(c.unicode() < 0x80 || c.isLetter(), qPrintable(where));
        }
        QVERIFY(held > 2 * 80);
    }

    // A text by name comes in the language asked for, its accents kept.
    void textsByName() {
        QVERIFY(LocalText(kTextAttention, kSpanishOffset).contains(u'\u00F3'));            // ó
        QVERIFY(LocalText(kTextPropertyLastAccess, kSpanishOffset).startsWith(u'\u00DA')); // Ú
        QVERIFY(LocalText(kTextOtherLanguage, kEnglishOffset).contains(u'\u00F1'));        // ñ
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
