#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// What the file-information box tells about a file.
struct FileProperties {
    QString name;      // as stored
    QString path;      // absolute, with each separator single
    qint64 size = 0;   // bytes
    QString type;      // a short description of the file's type, in the system's language
    QDateTime created; // see createdIsBirthTime
    bool createdIsBirthTime = false; // else `created` is the last change of the file's status
    QDateTime lastAccessed;
    QDateTime lastModified;
};

// The properties of the file at a path (a symbolic link is followed). "Created" is the file's
// birth time where the file system records it, else the last change of its status (contents,
// name, permissions or owner). Nothing when the path names no file (a folder included) or the
// system cannot supply them.
std::optional<FileProperties> readFileProperties(const QString& path);
