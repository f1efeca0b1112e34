#pragma once

#include "FileWrite.h"

#include <QString>

struct Settings;
class SettingsStore;

// Loading and saving the settings record: the scrambled record in the settings store, and the
// exchange file through which the viewer hands folder, pattern, delay and protection to the
// screen saver.

inline constexpr char kApplicationName[] = "Lumi Vart";
inline constexpr char kStoreSection[] = "Valores";
inline constexpr char kStoreKey[] = "Configuracion";

// Fills the record from the store entry, then sets the derived fields and reads the exchange file.
void LoadSettings(Settings& settings, const SettingsStore& store);
// Stores the record and rewrites the exchange file; stops at the first write that fails and
// tells which file it was and why.
FileWriteResult SaveSettings(Settings& settings, SettingsStore& store);
// The message telling the user that the settings were not saved: the file and the system's
// reason, in the language of the offset.
QString settingsNotSavedText(const FileWriteResult& failure, qint16 languageOffset);

// The variable's value, or empty text when it is not set.
QString EnvironmentValue(const char* name);
// WindowsDir from "windir", else "winbootdir", else the store's fallback folder.
void FindWindowsDir(Settings& settings, const QString& fallback);
