#include "ColourManagement.h"
#include "DisplayProfile.h"
#include "ForeignWindow.h"
#include "SaverModule.h"
#include "SaverTarget.h"
#include "SettingsPersistence.h"
#include "SingleInstanceLock.h"
#include "TerminationSignals.h"
#include "XdgSettingsStore.h"
#include "frmSCR.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// The window the slides go into when a daemon runs the saver as a display mode.
std::unique_ptr<ForeignWindow> foreignWindowFor(const SaverTarget& target) {
    switch (target.kind) {
    case SaverTarget::Kind::ForeignWindow:
        return ForeignWindow::open(target.windowId);
    case SaverTarget::Kind::RootWindow:
        if (const std::optional<quint64> root = ForeignWindow::rootWindow())
            return ForeignWindow::open(*root);
        return nullptr;
    case SaverTarget::Kind::FullScreen:
        break;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const QString settingsFolder = XdgSettingsStore::applicationFolderFor(kApplicationName);
    // A second saver ends at once, before it touches the screen or the settings.
    const SingleInstanceLock lock(SingleInstanceLock::defaultPath(settingsFolder));
    if (lock.state() == SingleInstanceLock::State::HeldByAnother)
        return 0;
    const SaverTarget target =
        saverTargetOf(argumentsOf(argc, argv), qEnvironmentVariable("XSCREENSAVER_WINDOW"));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QApplication::setQuitOnLastWindowClosed(false); // the window's end says when

    SaverModule module;
    module.screen = probeScreen();
    Colour::setDisplayProfile(DisplayProfile::ofX11Root());
    XdgSettingsStore store(settingsFolder);
    GeneratorRandom random(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    // Made before the window, so that it outlives its child.
    const std::unique_ptr<ForeignWindow> foreign = foreignWindowFor(target);
    if (target.kind != SaverTarget::Kind::FullScreen && !foreign)
        return 1; // the window to draw into is gone, or there is no X11 display

    frmSCR window(module, store, random, QDir::currentPath(),
                  foreign ? foreign->size() : module.screen.pixels,
                  foreign ? frmSCR::Input::Left : frmSCR::Input::Taken);
    QObject::connect(&window, &frmSCR::ended, &app, &QCoreApplication::quit);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     &frmSCR::endNow);
    if (foreign) {
        QObject::connect(foreign.get(), &ForeignWindow::gone, &window, &frmSCR::endNow);
        foreign->embed(window);
        window.show();
    } else {
        window.setWindowFlag(Qt::WindowStaysOnTopHint);
        window.showFullScreen();
    }
    return QApplication::exec();
}
