#include "BrowserFixture.h"
#include "PictureCell.h"
#include "ScriptedRandom.h"
#include "ViewCommands.h"
#include "frmPantalla.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QtTest>
#include <memory>

namespace {

// The sizes of the pictures at the list's positions; position 1 is a text file.
const QSize kSizes[] = {{40, 30}, {}, {30, 60}, {50, 50}};

// A browser on three pictures of distinct sizes with a text file between them, all listed, and
// the full-screen window opened over it.
struct Screen {
    Viewer v;
    Settings stored;
    ScriptedRandom random;
    std::optional<FullScreenRequest> request;
    std::unique_ptr<frmPantalla> window;

    Screen() {
        v.addPicture("a.bmp", kSizes[0]);
        v.addFile("b.txt");
        v.addPicture("c.bmp", kSizes[2]);
        v.addPicture("d.bmp", kSizes[3]);
        stored = Settings::startupDefaults(v.pictures());
    }

    ImageBrowser& start() {
        ImageBrowser& b = v.start(stored);
        b.CboFiltro_Change("*.*");
        return b;
    }

    // Opens the window on the entry selected, with the request the main window's commands make.
    frmPantalla& open(int selected, bool slideShow = false) {
        ImageBrowser& b = *v.browser;
        if (b.File1().listIndex() != selected)
            b.File1().setListIndex(selected);
        ViewCommands commands(b, v.feedback);
        slideShow ? commands.Diapositivas_Click() : commands.Pantalla_Click();
        request.emplace(*v.feedback.fullScreen);
        window = std::make_unique<frmPantalla>(*request, v.module.screen.pixels, random);
        return *window;
    }
};

const char kService[] = "org.freedesktop.ScreenSaver";
const char kPath[] = "/org/freedesktop/ScreenSaver";

// The desktop's screen-saver service, on a bus connection of its own.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QList<uint> inhibited;
    QList<uint> released;

public slots:
    uint Inhibit(const QString&, const QString&) {
        inhibited.append(100 + inhibited.size());
        return inhibited.back();
    }
    void UnInhibit(uint cookie) { released.append(cookie); }
    void Ping() {}
};

} // namespace

class FullScreenTest : public QObject {
    Q_OBJECT

private slots:
    void thePreviewComesFirstThenTheEntryAfterTheIndex() {
        Screen s;
        ImageBrowser& b = s.start();
        QVERIFY(s.v.select(0));
        b.Image1_Click(1); // c.bmp, in cell 1
        frmPantalla& window = s.open(0);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(30, 60));
        QVERIFY(!s.request->firstPicture);       // taken once
        QTest::keyClick(&window, Qt::Key_Space); // from the list position 0: the next picture
        QCOMPARE(s.request->position, 2);
    }

    // A proportional picture is centred on black.
    void proportionalPicturesAreCentred() {
        Screen s;
        s.stored.Proportional = 1;
        s.start();
        frmPantalla& window = s.open(2); // 30 x 60 on 800 x 600: 300 wide, 600 high
        QTRY_COMPARE(window.findChild<PictureCell*>("Slide")->geometry(), QRect(250, 0, 300, 600));
        QCOMPARE(window.grab().toImage().pixelColor(100, 300), QColor(Qt::black)); // beside it
    }

    // A picture larger than the screen is read at the screen's device pixels (run once more
    // with QT_SCALE_FACTOR=2), so it is as sharp as the screen shows it.
    void slidesAreReadAtTheScreensDevicePixels() {
        Screen s;
        s.v.addPicture("big.bmp", QSize(2000, 1500));
        s.start();
        frmPantalla& window = s.open(2);
        const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(window.devicePixelRatioF(), ratio);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(2000, 1500));
        QCOMPARE(window.slidePicture().image.size(), (QSizeF(800, 600) * ratio).toSize());
    }

    void aFolderPastSixteenBitsIsWalkedToItsEnd() {
        Screen s;
        constexpr int kTextFiles = 32766; // after a, b, c and d: the last picture at 32,770
        s.v.folder.makeFolder("pics");
        for (int i = 0; i < kTextFiles; ++i)
            QFile(s.v.folder.filePath(QStringLiteral("pics/n%1.txt").arg(i, 5, 10, QChar('0'))))
                .open(QIODevice::WriteOnly);
        s.v.addPicture("z.bmp", QSize(20, 10));
        s.start();
        frmPantalla& window = s.open(32770);
        QCOMPARE(s.request->entries.size(), 32771);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(20, 10));
        QTest::keyClick(&window, Qt::Key_Space); // past the end: the first entry
        QCOMPARE(s.request->position, 0);
        QTest::keyClick(&window, Qt::Key_A); // before the first: the last entry
        QCOMPARE(s.request->position, 32770);
        QTRY_COMPARE(window.slidePicture().naturalSize, QSize(20, 10));
    }

    // The selected file comes first; the keys and the wheel step (space, A and End are also on
    // the end-to-end road).
    void navigationKeysAndTheWheelStep_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key"); // 0: the wheel, by the sign of the delta
        QTest::addColumn<int>("wheelDelta");
        QTest::addColumn<int>("expectedIndex");
        QTest::newRow("page down") << 0 << int(Qt::Key_PageDown) << 0 << 2;
        QTest::newRow("up") << 0 << int(Qt::Key_Up) << 0 << 3;
        QTest::newRow("home") << 3 << int(Qt::Key_Home) << 0 << 0;
        QTest::newRow("wheel towards the user") << 0 << 0 << -120 << 2;
        QTest::newRow("wheel away from the user") << 2 << 0 << 120 << 0;
        QTest::newRow("half a wheel notch waits") << 0 << 0 << -60 << 0;
    }

    void navigationKeysAndTheWheelStep() {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, wheelDelta);
        QFETCH(int, expectedIndex);
        Screen s;
        s.start();
        frmPantalla& window = s.open(start);
        QTRY_COMPARE(window.slidePicture().naturalSize, kSizes[start]);
        if (key != 0) {
            QTest::keyClick(&window, Qt::Key(key));
        } else {
            const QPointF centre(400, 300);
            QWheelEvent wheel(centre, centre, {}, QPoint(0, wheelDelta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&window, &wheel);
        }
        QCOMPARE(s.request->position, expectedIndex);
        QTRY_COMPARE(window.slidePicture().naturalSize, kSizes[expectedIndex]);
    }

    // While the slide timer runs the desktop's screen saver is held off, until the window
    // closes (the test runs on a session bus of its own).
    void theSlideShowKeepsTheDesktopsSaverAwayUntilItCloses() {
        FakeScreenSaver desktop;
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop");
        QVERIFY(bus.registerService(kService));
        QVERIFY(bus.registerObject(kPath, &desktop, QDBusConnection::ExportAllSlots));
        Screen s;
        s.start();
        for (const bool slideShow : {true, false}) {
            frmPantalla& window = s.open(0, slideShow);
            if (!slideShow) { // still until its timer is started
                // Returns when the service has had every call sent to it before.
                QDBusConnection::sessionBus().call(
                    QDBusMessage::createMethodCall(kService, kPath, kService, "Ping"),
                    QDBus::BlockWithGui);
                QCOMPARE(desktop.inhibited.size(), 1);
                QTest::keyClick(&window, Qt::Key_D);
            }
            QTRY_COMPARE(desktop.inhibited.size(), slideShow ? 1 : 2);
            s.window.reset();
            QTRY_COMPARE(desktop.released, desktop.inhibited);
        }
        bus.unregisterService(kService);
        QDBusConnection::disconnectFromBus("desktop");
    }
};

QTEST_MAIN(FullScreenTest)
#include "FullScreenTest.moc"
