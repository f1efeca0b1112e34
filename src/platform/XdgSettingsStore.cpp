#include "XdgSettingsStore.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <system_error>

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
    return RegularFile::readAll(entryPath(section, key), kLargestValueBytes);
}

FileWriteResult XdgSettingsStore::writeValue(const QString& section, const QString& key,
                                             const QByteArray& value) {
    const QString folder = m_applicationFolder + '/' + section;
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error)
        return FileWriteResult::failed(entryPath(section, key),
                                       QString::fromLocal8Bit(error.message()));
    return writeFileAtomically(entryPath(section, key), value);
}

QString XdgSettingsStore::fallbackWindowsDir() const { return m_applicationFolder; }

QString XdgSettingsStore::entryPath(const QString& section, const QString& key) const {
    return m_applicationFolder + '/' + section + '/' + key;
}
