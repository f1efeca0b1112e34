#include "XdgSettingsStore.h"

#include "RegularFile.h"

#include <QDir>
#include <QSaveFile>

namespace {
// A stored record is a few hundred bytes; anything far larger is not ours.
constexpr qint64 kLargestValueBytes = 1 << 20;
} // namespace

XdgSettingsStore::XdgSettingsStore(QString applicationFolder)
    : m_applicationFolder(std::move(applicationFolder)) {}

QString XdgSettingsStore::applicationFolderFor(const QString& applicationName) {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty())
        configHome = QDir::homePath() + "/.config";
    return configHome + '/' + applicationName;
}

std::optional<QByteArray> XdgSettingsStore::readValue(const QString& section,
                                                      const QString& key) const {
    return readRegularFile(entryPath(section, key), kLargestValueBytes);
}

bool XdgSettingsStore::writeValue(const QString& section, const QString& key,
                                  const QByteArray& value) {
    if (!QDir().mkpath(m_applicationFolder + '/' + section))
        return false;
    QSaveFile file(entryPath(section, key));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(value) != value.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString XdgSettingsStore::fallbackWindowsDir() const { return m_applicationFolder; }

QString XdgSettingsStore::entryPath(const QString& section, const QString& key) const {
    return m_applicationFolder + '/' + section + '/' + key;
}
