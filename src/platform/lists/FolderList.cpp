#include "FolderList.h"

#include "FileList.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
QString normalised(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean.isEmpty() ? QStringLiteral("/") : clean;
}
} // namespace

FolderList::FolderList(const VolumeTable& volumes, const QString& startFolder, QObject* parent)
    : QObject(parent), m_volumes(volumes), m_path(normalised(startFolder)) {
    m_lastFolderOfDrive.insert(m_volumes.volumeOf(m_path), m_path);
    refresh();
}

bool FolderList::setPath(const QString& folder) {
    const QString target = normalised(folder);
    const QFileInfo info(target);
    if (!info.isDir() || !info.isReadable() || !QDir(target).isReadable())
        return false;
    m_lastFolderOfDrive.insert(m_volumes.volumeOf(target), target);
    if (target == m_path)
        return true;
    m_path = target;
    refresh();
    emit Change();
    return true;
}

bool FolderList::setDrive(const QString& mountPoint) {
    return setPath(m_lastFolderOfDrive.value(mountPoint, mountPoint));
}

void FolderList::refresh() {
    QStringList names = QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), naturalLess);
    m_subfolders.clear();
    const QString prefix = m_path == u"/" ? m_path : m_path + u'/';
    for (const QString& name : names)
        m_subfolders.append(prefix + name);
    emit contentsChanged();
}
