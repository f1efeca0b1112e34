#include "SettingsPersistence.h"

#include "ExchangeFile.h"
#include "Settings.h"
#include "SettingsRecord.h"
#include "SettingsStore.h"

void LoadSettings(Settings& settings, const SettingsStore& store) {
    if (const auto stored = store.readValue(kStoreSection, kStoreKey)) {
        if (const auto text = SettingsRecord::unscramble(*stored))
            SettingsRecord::assignRecordText(settings, *text);
    }
    FindWindowsDir(settings, store.fallbackWindowsDir());
    settings.ImageFilter = kAllPictureFormatsPattern;
    settings.ImagePath = settings.CurrentFolder;
    ReadExchangeFile(settings);
}

bool SaveSettings(Settings& settings, SettingsStore& store) {
    const QByteArray scrambled =
        SettingsRecord::scramble(SettingsRecord::recordText(settings));
    if (!store.writeValue(kStoreSection, kStoreKey, scrambled))
        return false;
    FindWindowsDir(settings, store.fallbackWindowsDir());
    return WriteExchangeFile(settings);
}

QString EnvironmentValue(const char* name) { return qEnvironmentVariable(name); }

void FindWindowsDir(Settings& settings, const QString& fallback) {
    settings.WindowsDir = EnvironmentValue("windir");
    if (settings.WindowsDir.isEmpty())
        settings.WindowsDir = EnvironmentValue("winbootdir");
    if (settings.WindowsDir.isEmpty())
        settings.WindowsDir = fallback;
}
