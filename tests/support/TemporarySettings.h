#pragma once

#include "TestFolders.h"
#include "XdgSettingsStore.h"

// A settings store of its own in a temporary folder. The Windows-directory variables are unset
// for the object's life, so the exchange file lies beside the store.
struct TemporarySettings {
    TestFolder folder;
    ScopedEnvironment windir = ScopedEnvironment::unset("windir");
    ScopedEnvironment winbootdir = ScopedEnvironment::unset("winbootdir");
    XdgSettingsStore store{storeFolder()};

    QString storeFolder() const { return folder.filePath("config/Lumi Vart"); }
    QString recordFile() const { return storeFolder() + "/Valores/Configuracion"; }
    QString exchangeFile() const { return storeFolder() + "/Lumivart.ini"; }
};
