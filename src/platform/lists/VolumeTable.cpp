#include "VolumeTable.h"

#include <QStorageInfo>
#include <algorithm>

namespace {
// File systems of the kernel and of containers that hold no user files.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QByteArrayList pseudo{"proc",      "sysfs",     "devtmpfs", "devpts",
                                       "cgroup",    "cgroup2",   "securityfs", "debugfs",
                                       "tracefs",   "pstore",    "bpf",      "mqueue",
                                       "hugetlbfs", "configfs",  "fusectl",  "autofs",
                                       "binfmt_misc", "efivarfs", "nsfs",    "rpc_pipefs"};
    return pseudo.contains(type);
}

bool isInside(const QString& path, const QString& mountPoint) {
    if (mountPoint == u"/")
        return path.startsWith(u'/');
    return path == mountPoint || path.startsWith(mountPoint + u'/');
}
} // namespace

VolumeTable VolumeTable::mounted() {
    QStringList points;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !isPseudoFileSystem(volume.fileSystemType()))
            points.append(volume.rootPath());
    }
    return VolumeTable(points);
}

VolumeTable::VolumeTable(QStringList mountPoints) : m_mountPoints(std::move(mountPoints)) {
    m_mountPoints.removeDuplicates();
    std::stable_sort(m_mountPoints.begin(), m_mountPoints.end(),
                     [](const QString& a, const QString& b) {
                         if ((a == u"/") != (b == u"/"))
                             return a == u"/";
                         return a.compare(b, Qt::CaseInsensitive) < 0;
                     });
    if (m_mountPoints.isEmpty())
        m_mountPoints.append(QStringLiteral("/"));
}

QString VolumeTable::volumeOf(const QString& path) const {
    QString best;
    for (const QString& point : m_mountPoints) {
        if (isInside(path, point) && point.size() > best.size())
            best = point;
    }
    return best.isEmpty() ? m_mountPoints.first() : best;
}
