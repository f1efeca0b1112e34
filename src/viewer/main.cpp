#include "ColourManagement.h"
#include "DisplayProfile.h"
#include "Module1.h"
#include "SettingsPersistence.h"
#include "VolumeTable.h"
#include "XdgSettingsStore.h"
#include "browser/frmImage.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));

    Module1 module;
    module.screen = probeScreen();
    Colour::setDisplayProfile(DisplayProfile::ofX11Root());
    XdgSettingsStore store(XdgSettingsStore::applicationFolderFor(kApplicationName));

    frmImage window(module, store, VolumeTable::mounted(), QDir::currentPath());
    // A folder or picture named on the command line, as a desktop's "Open with" passes it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !window.browser().showPath(arguments.at(1)))
        std::fprintf(stderr, "lumivart: %s: no folder or file that can be read\n",
                     qPrintable(arguments.at(1)));
    window.show();
    return QApplication::exec();
}
