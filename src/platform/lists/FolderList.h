#pragma once

#include "VolumeTable.h"

#include <QHash>
#include <QObject>
#include <QStringList>

// The folder list element: the shown folder with its ancestors and subfolders. Setting a path
// raises Change at once when the folder differs. Each drive remembers the last folder shown on it
// during this run, which is where the list opens when it is given the drive alone.
class FolderList : public QObject {
    Q_OBJECT

public:
    FolderList(const VolumeTable& volumes, const QString& startFolder, QObject* parent = nullptr);

    // The folder as the list reports it: the root ends in "/", other folders do not.
    const QString& path() const { return m_path; }
    // False, changing nothing, when the folder does not exist or cannot be read.
    bool setPath(const QString& folder);
    // Opens the drive's current folder: the last one shown on it, else its mount point.
    bool setDrive(const QString& mountPoint);

    // The subfolders of the shown folder, sorted, as full paths.
    const QStringList& subfolders() const { return m_subfolders; }
    // Reads the subfolders again from the disk.
    void refresh();

signals:
    void Change();
    // The subfolders were read again (the path may be the same).
    void contentsChanged();

private:
    const VolumeTable& m_volumes;
    QString m_path;
    QStringList m_subfolders;
    QHash<QString, QString> m_lastFolderOfDrive;
};
