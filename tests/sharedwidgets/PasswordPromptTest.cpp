#include "ScreenMetrics.h"
#include "StringTable.h"
#include "frmpassword.h"

#include <QLineEdit>
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
        QTest::newRow("accented letters, a leading blank")
            << QString(" Contraseña") << " Contraseña" << true;
        QTest::newRow("no fifteenth character")
            << QString("abcdefghijklmn") << "abcdefghijklmnX" << true;
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
    }

    // On a screen of 1024 x 768 its middle is 850 twips (56.7 pixels) right of the screen's (its
    // width for the title is checked with the dialogs' geometry). The password is not shown.
    void sitsRightOfCentreHidingThePassword() {
        ScreenMetrics screen;
        screen.pixels = {1024, 768};
        frmpassword prompt("x", kSpanishOffset, screen);
        QVERIFY(qAbs(prompt.x() + prompt.width() / 2.0 - 568.7) <= 0.5);
        QCOMPARE(prompt.TxtPassword()->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(PasswordPromptTest)
#include "PasswordPromptTest.moc"
