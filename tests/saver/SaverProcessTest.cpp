#include "SaverFixture.h"
#include "SingleInstanceLock.h"

#include <QDir>

namespace {
// The saver on Qt's offscreen platform.
const QList<std::pair<QString, QString>> kOffscreen{{"QT_QPA_PLATFORM", "offscreen"}};
} // namespace

class SaverProcessTest : public QObject {
    Q_OBJECT

private slots:
    void aSecondSaverEndsAtOnceTouchingNothing() {
        SaverHome home;
        home.addPicture("a.bmp", {8, 8});
        const SingleInstanceLock running(home.lockFile()); // the first saver
        QCOMPARE(running.state(), SingleInstanceLock::State::Acquired);
        SaverProcess second(home, {}, kOffscreen);
        QVERIFY(second.endedByItself());
        QVERIFY(!QDir(home.storeFolder()).exists());
    }

    void aLockLeftByAKilledSaverDoesNotBlockTheNext() {
        SaverHome home;
        home.addPicture("a.bmp", {8, 8});
        {
            SaverProcess killed(home, {}, kOffscreen);
            QVERIFY(waitUntilRunning(killed));
            killed.kill();
            QVERIFY(killed.waitForFinished());
        }
        QVERIFY(QFile::exists(home.lockFile()));
        QVERIFY(!QFile::exists(home.exchangeFile())); // killed: nothing saved

        SaverProcess next(home, {}, kOffscreen);
        QVERIFY(waitUntilRunning(next));
        QVERIFY(next.endsOnTermination());
        // Ended as at unload: the show's settings are stored.
        QVERIFY(QFile::exists(home.exchangeFile()));
        QCOMPARE(home.loadAsTheViewer().ImagePath, home.pictures());
    }

    // Any process of the user can end the saver anyway, so a termination signal does not wait
    // for the password.
    void terminationEndsAProtectedSaverWithoutThePassword() {
        SaverHome home;
        home.addPicture("a.bmp", {8, 8});
        Settings viewer = Settings::startupDefaults(home.pictures());
        viewer.ImageProtect = 1;
        viewer.ProtectPassword = "Luna";
        home.saveAsTheViewer(viewer);
        SaverProcess saver(home, {}, kOffscreen);
        QVERIFY(waitUntilRunning(saver));
        QVERIFY(saver.endsOnTermination());
    }
};

QTEST_GUILESS_MAIN(SaverProcessTest)
#include "SaverProcessTest.moc"
