#include "SettingsPersistence.h"

#include "ExchangeFile.h"
#include "Settings.h"
#include "SettingsRecord.h"
#include "SettingsStore.h"
#include "StringTable.h"

namespace {
constexpr char16_t kNotSavedSpanish[] =
    u"No se pudo guardar la configuración en el archivo\n%1\n\n%2";
constexpr char16_t kNotSavedEnglish[] = u"The settings could not be saved to the file\n%1\n\n%2";
} // namespace

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

FileWriteResult SaveSettings(Settings& settings, SettingsStore& store) {
    const QByteArray scrambled =
        SettingsRecord::scramble(SettingsRecord::recordText(settings));
    if (FileWriteResult stored = store.writeValue(kStoreSection, kStoreKey, scrambled);
        !stored.written)
        return stored;
    FindWindowsDir(settings, store.fallbackWindowsDir());
    return WriteExchangeFile(settings);
}

QString settingsNotSavedText(const FileWriteResult& failure, qint16 languageOffset) {
    const QString text =
        QString::fromUtf16(languageOffset == kEnglishOffset ? kNotSavedEnglish : kNotSavedSpanish);
    return text.arg(failure.file, failure.reason);
}

QString EnvironmentValue(const char* name) { return qEnvironmentVariable(name); }

void FindWindowsDir(Settings& settings, const QString& fallback) {
    settings.WindowsDir = EnvironmentValue("windir");
    if (settings.WindowsDir.isEmpty())
        settings.WindowsDir = EnvironmentValue("winbootdir");
    if (settings.WindowsDir.isEmpty())
        settings.WindowsDir = fallback;
}
