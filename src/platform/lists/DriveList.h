#pragma once

#include "VolumeTable.h"

#include <QObject>

// The drive list element: the machine's drives and the chosen one. Choosing another drive raises
// Change at once, before the call returns.
class DriveList : public QObject {
    Q_OBJECT

public:
    explicit DriveList(VolumeTable volumes, QObject* parent = nullptr);

    const VolumeTable& volumes() const { return m_volumes; }
    const QString& drive() const { return m_drive; }
    // Chooses the drive (a mount point, or any path on it); raises Change when it differs.
    void setDrive(const QString& pathOnDrive);

signals:
    void Change();

private:
    VolumeTable m_volumes;
    QString m_drive;
};
