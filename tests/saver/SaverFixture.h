#pragma once

#include "SaverModule.h"
#include "ScriptedRandom.h"
#include "SettingsPersistence.h"
#include "SlideShow.h"
#include "TemporarySettings.h"
#include "TestPictures.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <csignal>

// The screen saver's surroundings in a temporary folder: the settings store with the exchange
// file beside it, a folder of pictures, and the environment a saver process starts in.
struct SaverHome : TemporarySettings {
    SaverHome() {
        folder.makeFolder("pics");
        QFile(folder.makeFolder("run"))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString pictures() const { return folder.filePath("pics"); }

    void addPicture(const QString& name, QSize size, QColor colour = {}) const {
        QImage image = TestPictures::quadrants(size.width(), size.height());
        if (colour.isValid())
            image.fill(colour);
        folder.write("pics/" + name, TestPictures::bmp(image));
    }

    // What the viewer's Close button leaves behind: the record, and the exchange file naming
    // the pictures folder (unless the settings name another).
    Settings saveAsTheViewer(Settings s = {}) {
        if (s.CurrentFolder.isEmpty())
            s = Settings::startupDefaults(pictures());
        if (s.ImagePath.isEmpty())
            s.ImagePath = pictures();
        if (s.ImageFilter.isEmpty())
            s.ImageFilter = kAllPictureFormatsPattern;
        if (!SaveSettings(s, store).written)
            qFatal("cannot store the test settings");
        return s;
    }

    // The settings as the viewer loads them at its start.
    Settings loadAsTheViewer() const {
        Settings s = Settings::startupDefaults("/viewer/start");
        LoadSettings(s, store);
        return s;
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder.path());
        env.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", folder.filePath("run"));
        env.remove("windir");
        env.remove("winbootdir");
        env.remove("XSCREENSAVER_WINDOW");
        return env;
    }
};

#ifdef LUMIVART_SAVER_PROGRAM
// A saver program started in the home with the given arguments, killed if it still runs at the
// end.
struct SaverProcess : QProcess {
    explicit SaverProcess(const SaverHome& home, const QStringList& arguments = {}) {
        setProcessEnvironment(home.environment());
        setWorkingDirectory(home.pictures());
        start(QStringLiteral(LUMIVART_SAVER_PROGRAM), arguments);
    }
    ~SaverProcess() override {
        if (state() != NotRunning) {
            kill();
            waitForFinished();
        }
    }
    bool endedByItself() {
        return waitForFinished(10000) && exitStatus() == NormalExit && exitCode() == 0;
    }
    bool endsOnTermination() {
        ::kill(static_cast<pid_t>(processId()), SIGTERM);
        return endedByItself();
    }
};
#endif

// True once the process has its termination handler in place, which it installs when its show
// is running; false if it ended first.
inline bool waitUntilRunning(QProcess& process) {
    if (!process.waitForStarted())
        return false;
    const QString status = QStringLiteral("/proc/%1/status").arg(process.processId());
    return QTest::qWaitFor(
               [&] {
                   QFile file(status);
                   if (process.state() != QProcess::Running || !file.open(QIODevice::ReadOnly))
                       return true;
                   for (const QByteArray& line : file.readAll().split('\n')) {
                       if (line.startsWith("SigCgt:"))
                           return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1) &
                                   1) != 0;
                   }
                   return false;
               },
               20000) &&
           process.state() == QProcess::Running;
}
