#include "BrowserFixture.h"
#include "frmPantalla.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QtTest>

namespace {

const char kService[] = "org.freedesktop.ScreenSaver";

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

// Returns when the service has had every call the program sent it before.
void roundTrip() {
    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kService, "/org/freedesktop/ScreenSaver", kService, "Ping"),
        QDBus::BlockWithGui);
}

struct NeverRandom : RandomSource {
    double uniform() override { return 0.0; }
};

} // namespace

// Runs on a session bus of its own.
class ScreenSaverInhibitionTest : public QObject {
    Q_OBJECT

private slots:
    void theSlideShowKeepsTheDesktopsSaverAwayUntilItCloses() {
        FakeScreenSaver desktop;
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop");
        QVERIFY(bus.registerService(kService));
        QVERIFY(bus.registerObject("/org/freedesktop/ScreenSaver", &desktop,
                                   QDBusConnection::ExportAllSlots));
        Viewer v;
        v.addPicture("a.bmp");
        ImageBrowser& b = v.start();
        NeverRandom random;
        for (const bool slideShow : {true, false}) {
            FullScreenRequest request{v.module.settings, b.File1().entries(), 0, slideShow, {}};
            auto window = std::make_unique<frmPantalla>(request, v.module.screen.pixels, random);
            if (!slideShow) { // still until its timer is started
                roundTrip();
                QCOMPARE(desktop.inhibited.size(), 1);
                QTest::keyClick(window.get(), Qt::Key_D);
            }
            QTRY_COMPARE(desktop.inhibited.size(), slideShow ? 1 : 2);
            window.reset();
            QTRY_COMPARE(desktop.released, desktop.inhibited);
        }
        bus.unregisterService(kService);
        QDBusConnection::disconnectFromBus("desktop");
    }
};

QTEST_MAIN(ScreenSaverInhibitionTest)
#include "ScreenSaverInhibitionTest.moc"
