#include "PosixFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace PosixFiles {

namespace {

constexpr int kNameAttempts = 16;

// The folder part of a path, "." when it has none.
QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// A fresh hidden name in a folder for a file that is being written.
QByteArray temporaryName(const QByteArray& folder) {
    const quint32 tag = QRandomGenerator::global()->generate();
    return folder + "/.lumivart-" + QByteArray::number(tag, 16).rightJustified(8, '0') + ".tmp";
}

// Makes the folder's entries durable; a failure here cannot undo the rename, so it is ignored.
void syncFolder(const QByteArray& folder) {
    const Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

} // namespace

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray writeTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return encoded(path);
    const QString file = info.canonicalFilePath(); // empty for a link to nothing
    return encoded(file.isEmpty() ? info.symLinkTarget() : file);
}

FileResult lastError() {
    return FileResult::fromSystemError(errno);
}

Descriptor::~Descriptor() {
    close();
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool Descriptor::close() {
    if (m_fd < 0)
        return true;
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

FileResult renameWithoutReplacing(int fromDir, const QByteArray& from, int toDir,
                                  const QByteArray& to) {
    if (::renameat2(fromDir, from.constData(), toDir, to.constData(), RENAME_NOREPLACE) == 0)
        return {};
    // EINVAL: the file system does not offer the no-replace rename (the names are plain files).
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return lastError();
    return linkThenUnlink(fromDir, from, toDir, to);
}

FileResult linkThenUnlink(int fromDir, const QByteArray& from, int toDir, const QByteArray& to) {
    if (::linkat(fromDir, from.constData(), toDir, to.constData(), 0) != 0)
        return lastError();
    if (::unlinkat(fromDir, from.constData(), 0) != 0) {
        FileResult failure = lastError();
        ::unlinkat(toDir, to.constData(), 0); // the file keeps the one name it had
        return failure;
    }
    return {};
}

SiblingFile::SiblingFile(QByteArray target, QByteArray path, Descriptor file)
    : m_target(std::move(target)), m_path(std::move(path)), m_file(std::move(file)) {}

SiblingFile SiblingFile::create(const QByteArray& target, mode_t mode, FileResult& result) {
    const QByteArray folder = folderOf(target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QByteArray path = temporaryName(folder);
        Descriptor file(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (file.valid()) {
            result = {};
            return SiblingFile(target, path, std::move(file));
        }
        if (errno != EEXIST)
            break;
    }
    result = lastError();
    return SiblingFile({}, {}, Descriptor());
}

SiblingFile::~SiblingFile() {
    m_file.close();
    if (!m_named && !m_path.isEmpty())
        ::unlink(m_path.constData());
}

FileResult SiblingFile::commit(Commit how) {
    if (::fsync(m_file.get()) != 0 || !m_file.close())
        return lastError();
    if (how == Commit::Replace) {
        if (::rename(m_path.constData(), m_target.constData()) != 0)
            return lastError();
    } else if (FileResult named = renameWithoutReplacing(AT_FDCWD, m_path, AT_FDCWD, m_target);
               !named.ok()) {
        return named;
    }
    m_named = true;
    syncFolder(folderOf(m_target));
    return {};
}

} // namespace PosixFiles
