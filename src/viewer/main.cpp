#include "Module1.h"
#include "SettingsPersistence.h"
#include "VolumeTable.h"
#include "XdgSettingsStore.h"
#include "browser/frmImage.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));

    Module1 module;
    module.screen = probeScreen();
    XdgSettingsStore store(XdgSettingsStore::applicationFolderFor(kApplicationName));

    frmImage window(module, store, VolumeTable::mounted(), QDir::currentPath());
    window.show();
    return QApplication::exec();
}
