#pragma once

#include "FileWrite.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The platform's per-user settings store: one value per section and key of this application,
// kept byte for byte.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Nothing when the entry does not exist or cannot be read.
    virtual std::optional<QByteArray> readValue(const QString& section, const QString& key) const = 0;
    // Replaces the entry as a whole; on failure the earlier value stays.
    virtual FileWriteResult writeValue(const QString& section, const QString& key,
                                       const QByteArray& value) = 0;
    // Where the exchange file lies when the environment names no Windows directory.
    virtual QString fallbackWindowsDir() const = 0;
};
