#include "StringTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {
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
    // Every text the programs name is there in both languages.
    void theNamedTextsAreThereInBothLanguages() {
        const QList<int> named = namedIds();
        QVERIFY2(named.size() >= 80, "the names of the texts were not found");
        for (const int id : named) {
            for (const int language : {kSpanishOffset, kEnglishOffset}) {
                const QString text = StringTable::entry(language + id);
                QVERIFY2(!text.isEmpty(), qPrintable(QString::number(language + id)));
            }
        }
    }

    // A text by name comes in the language asked for, its accents kept (not read in the wrong
    // encoding).
    void textsByName() {
        QVERIFY(LocalText(kTextAttention, kSpanishOffset).contains(u'\u00F3'));     // ó
        QVERIFY(LocalText(kTextOtherLanguage, kEnglishOffset).contains(u'\u00F1')); // ñ
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
