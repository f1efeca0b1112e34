#pragma once

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
// Stores the record and rewrites the exchange file; false at the first step that failed.
bool SaveSettings(Settings& settings, SettingsStore& store);

// The variable's value, or empty text when it is not set.
QString EnvironmentValue(const char* name);
// WindowsDir from "windir", else "winbootdir", else the store's fallback folder.
void FindWindowsDir(Settings& settings, const QString& fallback);
