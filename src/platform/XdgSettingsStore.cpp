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
    namespace fs = std::filesystem;
    const fs::path application = QFile::encodeName(m_applicationFolder).toStdString();
    const fs::path folder = application / QFile::encodeName(section).toStdString();
    std::error_code error;
    fs::create_directories(folder, error);
    // The folders are the owner's alone, those made earlier with wider permissions too.
    for (const fs::path& own : {application, folder}) {
        if (!error)
            fs::permissions(own, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    if (error)
        return FileWriteResult::failed(entryPath(section, key),
                                       QString::fromLocal8Bit(error.message()));
    return writePrivateFile(entryPath(section, key), value);
}

QString XdgSettingsStore::fallbackWindowsDir() const {
    return m_applicationFolder;
}

QString XdgSettingsStore::entryPath(const QString& section, const QString& key) const {
    return m_applicationFolder + '/' + section + '/' + key;
}
