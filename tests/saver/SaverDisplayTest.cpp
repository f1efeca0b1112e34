#include "SaverFixture.h"

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

// The saver as a display mode of a screen-saver daemon, drawing into a window it is given.
// Runs on an X11 display.
class SaverDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void itDrawsIntoTheWindowItIsGiven_data() {
        QTest::addColumn<bool>("byVariable");
        QTest::newRow("--window-id") << false;
        QTest::newRow("XSCREENSAVER_WINDOW") << true;
    }

    void itDrawsIntoTheWindowItIsGiven() {
        QFETCH(bool, byVariable);
        SaverHome home;
        home.addPicture("red.bmp", {40, 30}, Qt::red); // stretched over the whole window
        home.saveAsTheViewer();
        QWidget daemonWindow;
        daemonWindow.setStyleSheet("background: blue");
        daemonWindow.resize(320, 240);
        daemonWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&daemonWindow));
        QTRY_COMPARE(shownAt(daemonWindow, {160, 120}), QColor(Qt::blue));
        const QString id = QString::number(daemonWindow.winId());

        QList<std::pair<QString, QString>> variables;
        if (byVariable)
            variables.append(
                {"XSCREENSAVER_WINDOW", "0x" + QString::number(daemonWindow.winId(), 16)});
        SaverProcess saver(
            home, byVariable ? QStringList{"--root"} : QStringList{"--window-id", id}, variables);
        QVERIFY(waitUntilRunning(saver));
        QTRY_COMPARE(shownAt(daemonWindow, {160, 120}), QColor(Qt::red));
        QCOMPARE(shownAt(daemonWindow, {2, 2}), QColor(Qt::red));

        daemonWindow.resize(400, 300); // the slides follow the window's size
        QTRY_COMPARE(shownAt(daemonWindow, {397, 297}), QColor(Qt::red));

        QVERIFY(saver.endsOnTermination());
        QVERIFY(QFile::exists(home.exchangeFile())); // settings saved as at unload
    }

    // A protected saver on its own holds the keyboard, whether or not its folder could be
    // listed, and waits for a keyboard another program holds for as long as it is held.
    void aProtectedSaverHoldsTheKeyboard_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("heldElsewhereMs");
        QTest::newRow("a folder of pictures") << "pics" << 0;
        QTest::newRow("a folder that cannot be listed") << "gone" << 0;
        QTest::newRow("the keyboard held by another for 6 s") << "pics" << 6000;
    }

    void aProtectedSaverHoldsTheKeyboard() {
        QFETCH(QString, folder);
        QFETCH(int, heldElsewhereMs);
        SaverHome home;
        home.addPicture("a.bmp", {40, 30});
        Settings viewer = Settings::startupDefaults(home.pictures());
        viewer.ImagePath = home.folder.filePath(folder);
        viewer.ImageProtect = 1;
        viewer.ProtectPassword = "Luna";
        home.saveAsTheViewer(viewer);
        OtherClient other;
        QVERIFY(!other.keyboardHeldElsewhere());
        if (heldElsewhereMs > 0)
            QVERIFY(other.grabKeyboard());

        SaverProcess saver(home);
        QVERIFY(waitUntilRunning(saver));
        if (heldElsewhereMs > 0) {
            QTest::qWait(heldElsewhereMs);
            other.letGo();
        }
        QTRY_VERIFY(other.keyboardHeldElsewhere());

        QVERIFY(saver.endsOnTermination());
        QVERIFY(!other.keyboardHeldElsewhere());
    }
};

QTEST_MAIN(SaverDisplayTest)
#include "SaverDisplayTest.moc"
