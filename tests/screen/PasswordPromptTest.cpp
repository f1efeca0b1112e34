#include "ScreenMetrics.h"
#include "StringTable.h"
#include "frmpassword.h"

#include <QLineEdit>
#include <QStyle>
#include <QtTest>

namespace {

// Types into the prompt's field as a person would, accented letters too, then presses a key.
void type(frmpassword& prompt, const QString& text, Qt::Key then) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, prompt.TxtPassword(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    QTest::keyClick(prompt.TxtPassword(), then);
}

} // namespace

class PasswordPromptTest : public QObject {
    Q_OBJECT

private slots:
    void enterComparesExactly_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const struct {
            const char* name;
            QString password, typed;
            bool accepted;
        } rows[] = {
            {"the same text", "Sol de Mayo", "Sol de Mayo", true},
            {"one letter in the other case", "Sol de Mayo", "sol de Mayo", false},
            {"without its trailing blank", "clave ", "clave", false},
            {"with its leading blank", " clave", " clave", true},
            {"accented letters", "Contraseña", "Contraseña", true},
            {"an empty password, an empty field", "", "", true},
            {"no fifteenth character", "abcdefghijklmn", "abcdefghijklmnX", true},
            {"a longer stored password cannot be typed", "abcdefghijklmnX", "abcdefghijklmnX",
             false},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.password << row.typed << row.accepted;
    }

    void enterComparesExactly() {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        frmpassword prompt(password, kSpanishOffset, ScreenMetrics{});
        prompt.open();
        type(prompt, typed, Qt::Key_Return);
        QCOMPARE(prompt.isVisible(), !accepted); // a wrong try leaves it open, without a word
        QCOMPARE(prompt.result() == QDialog::Accepted, accepted);
        if (!accepted)
            QCOMPARE(prompt.TxtPassword()->text(), typed.left(14));
    }

    void escapeAndClosingRefuse() {
        for (const bool byEscape : {true, false}) {
            frmpassword prompt("luna", kSpanishOffset, ScreenMetrics{});
            prompt.open();
            if (byEscape)
                type(prompt, "luna", Qt::Key_Escape);
            else
                prompt.close();
            QVERIFY(!prompt.isVisible());
            QCOMPARE(prompt.result(), int(QDialog::Rejected));
        }
    }

    void looksAndSitsAsItShould() {
        ScreenMetrics screen;
        screen.pixels = {1024, 768};
        for (const qint16 language : {kSpanishOffset, kEnglishOffset}) {
            frmpassword prompt("x", language, screen);
            QCOMPARE(prompt.windowTitle(), LocalText(98, language));
            QCOMPARE(prompt.helpTopic(), language + 7);
            // 2790 x 870 twips, centred vertically and 850 twips right of the centre.
            QCOMPARE(prompt.geometry(), QRect(qRound((15360 - 2790) / 2.0 / 15 + 850 / 15.0),
                                              qRound((11520 - 870) / 2.0 / 15), 186, 58));
            QLineEdit* field = prompt.TxtPassword();
            QCOMPARE(field->geometry(), QRect(24, 16, 137, 19));
            QCOMPARE(field->echoMode(), QLineEdit::Password);
            QCOMPARE(
                field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field),
                int('*'));
        }
    }
};

QTEST_MAIN(PasswordPromptTest)
#include "PasswordPromptTest.moc"
