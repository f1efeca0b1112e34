#include "ScreenMetrics.h"
#include "StringTable.h"
#include "frmpassword.h"

#include <QLineEdit>
#include <QStyle>
#include <QtTest>

namespace {

// Types into the prompt's field as a person would, accented letters too, then presses a key.
void type(frmpassword& prompt, const QString& text, Qt::Key then = Qt::Key_Return) {
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
        QTest::newRow("the same text") << "Sol de Mayo"
                                       << "Sol de Mayo" << true;
        QTest::newRow("one letter in the other case") << "Sol de Mayo"
                                                      << "sol de Mayo" << false;
        QTest::newRow("without its trailing blank") << "clave "
                                                    << "clave" << false;
        QTest::newRow("with its leading blank") << " clave"
                                                << " clave" << true;
        QTest::newRow("accented letters") << "Contraseña"
                                          << "Contraseña" << true;
        QTest::newRow("an empty password, an empty field") << ""
                                                           << "" << true;
        QTest::newRow("no fifteenth character") << "abcdefghijklmn"
                                                << "abcdefghijklmnX" << true;
        QTest::newRow("a longer stored password cannot be typed") << "abcdefghijklmnX"
                                                                  << "abcdefghijklmnX" << false;
    }

    void enterComparesExactly() {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        frmpassword prompt(password, kSpanishOffset, ScreenMetrics{});
        prompt.open();
        type(prompt, typed);
        QCOMPARE(prompt.isVisible(), !accepted); // a wrong try leaves it open, without a word
        QCOMPARE(prompt.result() == QDialog::Accepted, accepted);
        if (!accepted)
            QCOMPARE(prompt.TxtPassword()->text(), typed.left(14));
    }

    void aWrongTryThenTheRightOneIsAccepted() {
        frmpassword prompt("luna", kSpanishOffset, ScreenMetrics{});
        prompt.open();
        type(prompt, "sol");
        QVERIFY(prompt.isVisible());
        prompt.TxtPassword()->clear();
        type(prompt, "luna");
        QCOMPARE(prompt.result(), int(QDialog::Accepted));
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

    void looksAndSitsAsItShould_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("topic");
        QTest::newRow("Spanish") << 0 << "Ingrese Contraseña..." << 7;
        QTest::newRow("English") << 200 << "Input Password..." << 207;
    }

    void looksAndSitsAsItShould() {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(int, topic);
        ScreenMetrics screen;
        screen.pixels = {1024, 768};
        frmpassword prompt("x", static_cast<qint16>(language), screen);
        QCOMPARE(prompt.windowTitle(), caption);
        QCOMPARE(prompt.helpTopic(), topic);
        QCOMPARE(prompt.TxtPassword()->text(), QString());
        // 2790 x 870 twips, centred vertically and 850 twips right of the centre.
        QCOMPARE(prompt.size(), QSize(186, 58));
        QCOMPARE(prompt.pos(), QPoint(qRound((15360 - 2790) / 2.0 / 15 + 850 / 15.0),
                                      qRound((11520 - 870) / 2.0 / 15)));
        QCOMPARE(prompt.TxtPassword()->geometry(), QRect(24, 16, 137, 19));
        QLineEdit* field = prompt.TxtPassword();
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QCOMPARE(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field),
                 int('*'));
        QVERIFY(!(prompt.windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }
};

QTEST_MAIN(PasswordPromptTest)
#include "PasswordPromptTest.moc"
