#include "ScreenMetrics.h"
#include "StringTable.h"
#include "frmpassword.h"

#include <QFontMetrics>
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
        QTest::newRow("one letter in the other case")
            << QString("Sol de Mayo") << "sol de Mayo" << false;
        QTest::newRow("without its trailing blank") << QString("clave ") << "clave" << false;
        QTest::newRow("accented letters, a leading blank")
            << QString(" Contraseña") << " Contraseña" << true;
        QTest::newRow("an empty password, an empty field") << QString("") << "" << true;
        QTest::newRow("no fifteenth character")
            << QString("abcdefghijklmn") << "abcdefghijklmnX" << true;
        QTest::newRow("a longer stored password cannot be typed")
            << QString("abcdefghijklmnX") << "abcdefghijklmnX" << false;
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
            QCOMPARE(prompt.windowTitle(), LocalText(kTextEnterPassword, language));
            QCOMPARE(prompt.helpTopic(), language + 7);
            // A dialog without minimise and maximise buttons.
            QCOMPARE(prompt.windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint),
                     Qt::Dialog);
            // 870 twips high and at least 2790 wide, wider when the title, drawn bold, needs it
            // to leave the room of three buttons a line wide on each side of the title bar.
            QFont bold = prompt.font();
            bold.setBold(true);
            const QFontMetrics title(bold);
            const int width = prompt.width();
            QVERIFY(width >= 186);
            QVERIFY(width - 6 * title.height() >= title.horizontalAdvance(prompt.windowTitle()));
            // On a screen of 1024 x 768: 58 high and centred vertically, its middle 850 twips
            // (56.7 pixels) right of the screen's.
            QCOMPARE(prompt.y(), 355);
            QCOMPARE(prompt.height(), 58);
            QVERIFY(qAbs(prompt.x() + width / 2.0 - 568.7) <= 0.5);
            // The field in the middle, its characters shown as stars.
            QLineEdit* field = prompt.TxtPassword();
            QCOMPARE(field->geometry(), QRect(24 + (width - 186) / 2, 16, 137, 19));
            QCOMPARE(field->echoMode(), QLineEdit::Password);
            QCOMPARE(
                field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field),
                int('*'));
        }
    }
};

QTEST_MAIN(PasswordPromptTest)
#include "PasswordPromptTest.moc"
