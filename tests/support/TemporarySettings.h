#pragma once

#include "TestFolders.h"
#include "XdgSettingsStore.h"

// A settings store of its own in a temporary folder. The Windows-directory variables are unset
// for the object's life, so the exchange file lies beside the store; the thumbnail cache lies in
// the folder too, never in the user's.
struct TemporarySettings {
    TestFolder folder;
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", folder.filePath("cache").toLocal8Bit()};
    ScopedEnvironment windir{"windir"};
    ScopedEnvironment winbootdir{"winbootdir"};
    XdgSettingsStore store{storeFolder()};

    QString storeFolder() const { return folder.filePath("config/Lumi Vart"); }
    QString recordFile() const { return storeFolder() + "/Valores/Configuracion"; }
    QString exchangeFile() const { return storeFolder() + "/Lumivart.ini"; }
};
