#pragma once

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"

#include <QStringList>

// The main window's chained lists: the drives, the folders of the chosen drive, and the files of
// the chosen folder that match the pattern. Each list raises its own events; whoever drives the
// chain answers them by calling the steps here.
class FolderChain {
public:
    // Starts in the process's current directory, its drive chosen.
    FolderChain(VolumeTable volumes, const QString& currentDirectory);

    DriveList& drives() { return m_drive1; }
    FolderList& folders() { return m_dir1; }
    FileList& files() { return m_file1; }
    const FileList& files() const { return m_file1; }
    // The process's current directory.
    const QString& startFolder() const { return m_startFolder; }

    // The folder, then its drive; a folder that is gone leaves both lists as they were.
    void restoreFolder(const QString& folder);
    // A folder shows as if chosen; a file's folder shows with the file selected when the pattern
    // lists it. False when the path names no folder or file that can be read.
    bool showPath(const QString& path);
    // The folder list follows the drive list; false when the drive cannot be read.
    bool followDrive() { return m_dir1.setDrive(m_drive1.drive()); }
    // The pattern of a text of the pattern box in this language, or the text itself.
    // The pattern box's texts in the language, in the order it lists them.
    static QStringList patternBoxTexts(qint16 language);
    void setPatternText(const QString& text, qint16 language);
    // Reads the folders and the files again.
    void refresh();

    // The selected file's name; empty with no selection.
    QString selectedName() const { return m_file1.entry(m_file1.listIndex()); }
    // The names of the pictures among `count` entries from list position `from`.
    QStringList pictureNames(int from, int count) const;

private:
    VolumeTable m_volumes;
    DriveList m_drive1;
    FolderList m_dir1;
    FileList m_file1;
    QString m_startFolder;
};
