#pragma once

#include "SettingsStore.h"

// The per-user settings store on Linux: one file per entry at
// <application folder>/<section>/<key>, holding the value's bytes exactly, written atomically.
// Only a regular file is read as an entry: anything else in its place reads as no entry.
class XdgSettingsStore final : public SettingsStore {
public:
    explicit XdgSettingsStore(QString applicationFolder);

    // $XDG_CONFIG_HOME/<application>, with $XDG_CONFIG_HOME defaulting to ~/.config.
    static QString applicationFolderFor(const QString& applicationName);

    std::optional<QByteArray> readValue(const QString& section, const QString& key) const override;
    FileWriteResult writeValue(const QString& section, const QString& key,
                               const QByteArray& value) override;
    // The application folder itself, so the exchange file lies beside the store.
    QString fallbackWindowsDir() const override;

private:
    QString entryPath(const QString& section, const QString& key) const;

    QString m_applicationFolder;
};
