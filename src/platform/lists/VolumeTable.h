#pragma once

#include <QStringList>

// The machine's drives: on Linux, the mounted volumes, the root first. A folder's drive is the
// mount point that holds it.
class VolumeTable {
public:
    // The mounted volumes of this machine that hold real files.
    static VolumeTable mounted();
    explicit VolumeTable(QStringList mountPoints);

    const QStringList& mountPoints() const { return m_mountPoints; }
    // The mount point that holds the path; the first volume when none does.
    QString volumeOf(const QString& path) const;

private:
    QStringList m_mountPoints;
};
