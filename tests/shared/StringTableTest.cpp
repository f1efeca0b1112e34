#include "StringTable.h"

#include <QDirIterator>
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

// The ids the program's sources pass as a number to LocalText, or to the one-argument text(id)
// helpers that call it.
QSet<int> idsUsedBySources() {
    static const QRegularExpression call(R"(\b(?:LocalText\(\s*(\d+)\s*,|text\(\s*(\d+)\s*\)))");
    QSet<int> ids;
    QDirIterator files(LUMIVART_SOURCE_DIR, {"*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& m : call.globalMatch(source)) {
            const QString number = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            ids.insert(number.toInt());
        }
    }
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

    void theIdsTheCodeUsesExistInBothLanguages() {
        const QSet<int> used = idsUsedBySources();
        QVERIFY2(used.size() >= 20, "the sources' calls were not found");
        for (const int id : used) {
            QVERIFY2(id >= 1 && id <= kLastSpanishId, qPrintable(QString("id %1").arg(id)));
            QVERIFY2(!LocalText(id, kSpanishOffset).isEmpty(), qPrintable(QString::number(id)));
            QVERIFY2(!LocalText(id, kEnglishOffset).isEmpty(), qPrintable(QString::number(id)));
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
        QVERIFY(LocalText(22, kSpanishOffset).contains(u'\u00F3'));   // ó
        QVERIFY(LocalText(56, kSpanishOffset).startsWith(u'\u00DA')); // Ú
        QVERIFY(LocalText(20, kEnglishOffset).contains(u'\u00F1'));   // ñ
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
