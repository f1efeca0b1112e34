#pragma once

#include "FileResult.h"

#include <QByteArray>
#include <sys/types.h>

// Pieces of POSIX file handling that the file layer's operations share. Not meant for use
// outside the layer (its tests aside).
namespace PosixFiles {

// A path as the system takes it.
QByteArray encoded(const QString& path);
// The path a write to this path must replace: a symbolic link is followed to its file, so the
// link stays and its file gets the new contents.
QByteArray writeTarget(const QString& path);

// The failure the last system call reported in errno.
FileResult lastError();

// An open file descriptor, closed with the object.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor();
    Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes it now; false, with errno set, when the system reports that the data may be lost.
    bool close();

private:
    int m_fd;
};

// Writes every byte, going on after short writes; false with errno set on failure.
bool writeAll(int fd, const char* data, qint64 size);

// Gives the file `from` (in folder fromDir) the name `to` (in folder toDir) only while that name is
// free. Where the file system has no such rename, a hard link and an unlink do the same, and they
// never replace a file either.
FileResult renameWithoutReplacing(int fromDir, const QByteArray& from, int toDir,
                                  const QByteArray& to);
// That fallback on its own, so that it can be tried on any file system.
FileResult linkThenUnlink(int fromDir, const QByteArray& from, int toDir, const QByteArray& to);

// A new file in a target's folder, under a hidden name of its own, that takes the target's name
// only once it is complete; dropped before that, it is removed. The target's name therefore never
// shows a partial file, and a failure leaves an existing target as it was.
class SiblingFile {
public:
    enum class Commit { Replace, KeepExisting };

    // Creates it with the given permissions (the process's umask applies); an invalid object and
    // the failure in `result` when it cannot be made.
    static SiblingFile create(const QByteArray& target, mode_t mode, FileResult& result);
    ~SiblingFile();
    SiblingFile(const SiblingFile&) = delete;
    SiblingFile& operator=(const SiblingFile&) = delete;

    int fd() const { return m_file.get(); }
    // Flushes it to the disk and gives it the target's name: replacing a file there, or failing
    // with FileFailure::AlreadyExists when one is there, even one that appeared a moment ago.
    FileResult commit(Commit how);

private:
    SiblingFile(QByteArray target, QByteArray path, Descriptor file);

    QByteArray m_target;
    QByteArray m_path;
    Descriptor m_file;
    bool m_named = false;
};

} // namespace PosixFiles
