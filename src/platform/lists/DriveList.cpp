#include "DriveList.h"

DriveList::DriveList(VolumeTable volumes, QObject* parent)
    : QObject(parent), m_volumes(std::move(volumes)), m_drive(m_volumes.mountPoints().first()) {}

void DriveList::setDrive(const QString& pathOnDrive) {
    const QString drive = m_volumes.volumeOf(pathOnDrive);
    if (drive == m_drive)
        return;
    m_drive = drive;
    emit Change();
}
