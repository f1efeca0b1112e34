#pragma once

#include <QByteArray>
#include <QString>

// How writing a file ended: written, or the file that could not be written and the system's
// reason, for a message to the user.
struct FileWriteResult {
    bool written = true;
    QString file;
    QString reason;

    static FileWriteResult failed(const QString& file, const QString& reason) {
        return {false, file, reason};
    }
};

// Writes the whole file through the file layer's atomic writer (beside its place, then renamed
// into place), so a failed write leaves the earlier file as it was; a failure names the file.
// The file is readable and writable by its owner alone, also when it was readable by others
// before: the settings hold the (only scrambled) password.
FileWriteResult writePrivateFile(const QString& path, const QByteArray& contents);
