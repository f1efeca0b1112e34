#include "PictureCell.h"
#include "SaverFixture.h"
#include "SlideStage.h"
#include "frmSCR.h"
#include "frmpassword.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextBrowser>
#include <memory>

namespace {

// The saver's window opened over a home, as the program opens it.
struct Saver {
    SaverHome home;
    SaverModule module;
    ScriptedRandom random;
    std::unique_ptr<frmSCR> window;

    frmSCR& open(double firstDraw = 0.0) {
        random.draws = {firstDraw};
        window = std::make_unique<frmSCR>(module, home.store, random, home.pictures(),
                                          QSize(800, 600), frmSCR::Input::Taken);
        window->show();
        return *window;
    }
    // Opened on a folder of one picture, protected by the password "Luna" or not.
    frmSCR& openOnOnePicture(int protect) {
        home.addPicture("a.bmp", {40, 30});
        Settings viewer = Settings::startupDefaults(home.pictures());
        viewer.ImageProtect = static_cast<quint8>(protect);
        viewer.ProtectPassword = "Luna";
        home.saveAsTheViewer(viewer);
        return open();
    }
    bool isOpen() const { return window->isVisible(); }
    QSize shownSize() const { return window->stage().slidePicture().naturalSize; }

    void moveMouse(QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window->findChild<PictureCell*>("Slide"), &move);
    }
};

// Answers the password prompt that the window opens next: each text is typed and confirmed
// with Enter, then Escape is pressed if the prompt is still open.
void answerPrompt(QWidget& window, const QStringList& tries, bool* prompted) {
    QTimer::singleShot(0, &window, [tries, prompted] {
        auto* prompt = qobject_cast<frmpassword*>(QApplication::activeModalWidget());
        *prompted = prompt != nullptr;
        if (!prompt)
            return;
        for (const QString& text : tries) {
            prompt->TxtPassword()->setText(text);
            QTest::keyClick(prompt->TxtPassword(), Qt::Key_Return);
        }
        if (prompt->isVisible())
            QTest::keyClick(prompt->TxtPassword(), Qt::Key_Escape);
    });
}

} // namespace

class SaverWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The show starts at a random entry, then goes in list order; the delay the keys set is
    // stored when it ends.
    void theShowStartsAtARandomEntryThenGoesInListOrder() {
        Saver s;
        s.home.addPicture("a.bmp", {40, 30});
        s.home.addPicture("b.bmp", {30, 60});
        s.home.addPicture("c.bmp", {50, 50});
        Settings viewer = Settings::startupDefaults(s.home.pictures());
        viewer.ImageTempo = 2;
        s.home.saveAsTheViewer(viewer);
        frmSCR& window = s.open(0.99); // floor(3 x 0.99): the last entry
        // A tick while that picture is still being read waits for it instead of stepping on.
        window.stage().tick();
        QCOMPARE(s.module.CurrentIndex, 2);
        QTRY_COMPARE(s.shownSize(), QSize(50, 50));
        QVERIFY(window.stage().Reloj().isActive());
        QTest::keyClick(&window, Qt::Key_Space); // past the last: the first
        QTRY_COMPARE(s.shownSize(), QSize(40, 30));
        QTest::keyClicks(&window, "+++");
        QCOMPARE(window.stage().Reloj().interval(), 5000);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!s.isOpen());
        QCOMPARE(s.home.loadAsTheViewer().ImageTempo, qint16(5));
    }

    void endSaverAsksForThePasswordOnlyWithProtection_data() {
        QTest::addColumn<int>("protect");
        QTest::addColumn<QStringList>("tries");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("byCloseRequest"); // the window manager's close, not Escape
        QTest::newRow("Escape: no protection") << 0 << QStringList() << true << false;
        QTest::newRow("close request: the right password")
            << 1 << QStringList{"Luna"} << true << true;
        QTest::newRow("close request: a wrong password, then Escape")
            << 1 << QStringList{"luna"} << false << true;
    }

    void endSaverAsksForThePasswordOnlyWithProtection() {
        QFETCH(int, protect);
        QFETCH(QStringList, tries);
        QFETCH(bool, ends);
        QFETCH(bool, byCloseRequest);
        Saver s;
        frmSCR& window = s.openOnOnePicture(protect);
        bool prompted = false;
        if (byCloseRequest) {
            // What the platform hands the window when the window manager asks it to close; the
            // prompt it leads to opens from the event loop.
            QCloseEvent request;
            QApplication::sendEvent(window.windowHandle(), &request);
            answerPrompt(window, tries, &prompted);
            QTRY_VERIFY(prompted || !s.isOpen());
        } else {
            answerPrompt(window, tries, &prompted);
            QTest::keyClick(&window, Qt::Key_Escape);
        }
        QCOMPARE(prompted, protect == 1);
        QCOMPARE(s.isOpen(), !ends);
        if (protect == 1)
            QCOMPARE(s.module.PasswordAccepted, ends);
    }

    // Shift, Ctrl, the arrows, the function keys and a still pointer are no activity; F1 opens
    // the help only when the saver holds no grab, as an unprotected one does not.
    void onlyTypedKeysAndMovesAreActivity_data() {
        QTest::addColumn<int>("protect");
        QTest::newRow("unprotected") << 0;
        QTest::newRow("protected") << 1;
    }

    void onlyTypedKeysAndMovesAreActivity() {
        QFETCH(int, protect);
        Saver s;
        frmSCR& window = s.openOnOnePicture(protect);
        for (int i = 0; i < 40; ++i) {
            for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_F5})
                QTest::keyClick(&window, key);
        }
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(window.findChild<QTextBrowser*>("HelpPage") != nullptr, protect == 0);
        QVERIFY(s.isOpen());
        QCOMPARE(window.session().ActivityCount(), 0);
        QTest::keyClick(&window, Qt::Key_X);
        s.moveMouse({5, 5});
        s.moveMouse({5, 5});
        QCOMPARE(window.session().ActivityCount(), 2);
    }
};

QTEST_MAIN(SaverWindowTest)
#include "SaverWindowTest.moc"
