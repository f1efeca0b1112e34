#include "SaverFixture.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

// The colour of a window's point as the display shows it, with whatever its children draw.
QColor shownAt(QWidget& window, QPoint point) {
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
    return shot.rect().contains(point) ? shot.pixelColor(point) : QColor();
}

// Another program on the display, which tries to take the keyboard as a menu or a second
// screen locker would.
class OtherClient {
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // True when the keyboard could be taken; it is then held until let go.
    bool grabKeyboard() {
        const auto cookie = xcb_grab_keyboard(m_connection, 0, m_root, XCB_CURRENT_TIME,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(m_connection, cookie, nullptr);
        const bool taken = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        free(reply);
        return taken;
    }
    void letGo() {
        xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }
    // Whether another client holds the keyboard; never keeps it.
    bool keyboardHeldElsewhere() {
        if (!grabKeyboard())
            return true;
        letGo();
        return false;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};

} // namespace

// The saver program on an X11 display of the test's own: as a display mode of a screen-saver
// daemon drawing into a window it is given, holding the keyboard, alone on the display.
class SaverProcessTest : public QObject {
    Q_OBJECT

private slots:
    void itDrawsIntoTheWindowItIsGiven() {
        SaverHome home;
        home.addPicture("red.bmp", {40, 30}, Qt::red); // stretched over the whole window
        home.saveAsTheViewer();
        QWidget daemonWindow;
        daemonWindow.setStyleSheet("background: blue");
        daemonWindow.resize(320, 240);
        daemonWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&daemonWindow));
        SaverProcess saver(home, {"--window-id", QString::number(daemonWindow.winId())});
        QVERIFY(waitUntilRunning(saver));
        QTRY_COMPARE(shownAt(daemonWindow, {160, 120}), QColor(Qt::red));

        QVERIFY(saver.endsOnTermination());
    }

    // A protected saver holds the keyboard, even when its folder cannot be listed; it waits for
    // a keyboard another program holds for as long as it is held.
    void aProtectedSaverHoldsTheKeyboard() {
        SaverHome home;
        home.addPicture("a.bmp", {40, 30});
        Settings viewer = Settings::startupDefaults(home.pictures());
        viewer.ImagePath = home.folder.filePath("gone");
        viewer.ImageProtect = 1;
        viewer.ProtectPassword = "Luna";
        home.saveAsTheViewer(viewer);
        OtherClient other;
        QVERIFY(other.grabKeyboard());

        SaverProcess saver(home);
        QVERIFY(waitUntilRunning(saver));
        QTest::qWait(6000);
        other.letGo();
        QTRY_VERIFY(other.keyboardHeldElsewhere());

        QVERIFY(saver.endsOnTermination());
        QVERIFY(!other.keyboardHeldElsewhere());
    }

    // A second saver ends at once touching nothing; the lock a killed saver leaves does not
    // block the next, which stores the show's settings when it is terminated.
    void onlyOneSaverRunsAtATime() {
        SaverHome home;
        home.addPicture("a.bmp", {8, 8});
        {
            SaverProcess killed(home);
            QVERIFY(waitUntilRunning(killed));
            SaverProcess second(home);
            QVERIFY(second.endedByItself());
            killed.kill();
            QVERIFY(killed.waitForFinished());
        }
        QVERIFY(!QDir(home.storeFolder()).exists());

        SaverProcess next(home);
        QVERIFY(waitUntilRunning(next));
        QVERIFY(next.endsOnTermination());
        QVERIFY(QFile::exists(home.exchangeFile()));
    }
};

QTEST_MAIN(SaverProcessTest)
#include "SaverProcessTest.moc"
