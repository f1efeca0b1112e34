#include "SaverFixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <csignal>

namespace {

// The colour of a window's point as the display shows it, with whatever its children draw.
QColor shownAt(QWidget& window, QPoint point) {
    const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
    return shot.rect().contains(point) ? shot.pixelColor(point) : QColor();
}

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

        QProcess saver;
        QProcessEnvironment env = home.environment();
        if (byVariable)
            env.insert("XSCREENSAVER_WINDOW", "0x" + QString::number(daemonWindow.winId(), 16));
        saver.setProcessEnvironment(env);
        saver.start(QStringLiteral(LUMIVART_SAVER_PROGRAM),
                    byVariable ? QStringList{"--root"} : QStringList{"--window-id", id});
        QVERIFY(waitUntilRunning(saver));
        QTRY_COMPARE(shownAt(daemonWindow, {160, 120}), QColor(Qt::red));
        QCOMPARE(shownAt(daemonWindow, {2, 2}), QColor(Qt::red));

        daemonWindow.resize(400, 300); // the slides follow the window's size
        QTRY_COMPARE(shownAt(daemonWindow, {397, 297}), QColor(Qt::red));

        ::kill(static_cast<pid_t>(saver.processId()), SIGTERM);
        QVERIFY(saver.waitForFinished());
        QCOMPARE(saver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(saver.exitCode(), 0);
        QVERIFY(QFile::exists(home.exchangeFile())); // settings saved as at unload
    }
};

QTEST_MAIN(SaverDisplayTest)
#include "SaverDisplayTest.moc"
