#include "LocalFileLayer.h"

#include "PosixFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace PosixFiles;

namespace {

constexpr std::size_t kCopyChunkBytes = std::size_t{256} * 1024;
constexpr mode_t kPrivateMode = 0600;       // while the copy is being written
constexpr mode_t kCopiedPermissions = 0777; // set-id and sticky bits are not copied

FileResult systemFailure(FileFailure failure, int error) {
    return FileResult::failed(failure, QString::fromLocal8Bit(std::strerror(error)));
}

// A name that stays inside its folder.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// Copies the rest of `from` to `to`, telling `progress` after each chunk how much of `total`
// bytes is written.
bool copyContents(int from, int to, qint64 total, const FileLayer::Progress& progress) {
    std::vector<char> buffer(kCopyChunkBytes);
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(to, buffer.data(), got))
            return false;
        copied += got;
        if (progress)
            progress(copied, total);
    }
}

// Why an existing target cannot take a copy of the source; success when it can.
FileResult checkTarget(const QByteArray& target, const struct stat& source, bool overwrite) {
    struct stat existing {};
    if (::stat(target.constData(), &existing) != 0)
        return {};
    if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino)
        return FileResult::failed(FileFailure::SameFile,
                                  QStringLiteral("Source and target are the same file"));
    if (S_ISDIR(existing.st_mode))
        return systemFailure(FileFailure::NotAFile, EISDIR);
    if (!overwrite)
        return systemFailure(FileFailure::AlreadyExists, EEXIST);
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return lastError();
    return {};
}

} // namespace

bool LocalFileLayer::exists(const QString& path) const {
    const QByteArray name = encoded(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0)
        return !S_ISDIR(info.st_mode);
    return ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool LocalFileLayer::sameFile(const QString& a, const QString& b) const {
    struct stat first {};
    struct stat second {};
    return ::stat(encoded(a).constData(), &first) == 0 &&
           ::stat(encoded(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

FileResult LocalFileLayer::copy(const QString& source, const QString& target, bool overwrite,
                                const Progress& progress) {
    // Opened without blocking, so that a pipe under a picture's name cannot hang the program.
    const Descriptor in(::open(encoded(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat from {};
    if (!in.valid() || ::fstat(in.get(), &from) != 0)
        return lastError();
    if (!S_ISREG(from.st_mode))
        return systemFailure(FileFailure::NotAFile, S_ISDIR(from.st_mode) ? EISDIR : EINVAL);
    const QByteArray to = writeTarget(target);
    if (FileResult refusal = checkTarget(to, from, overwrite); !refusal.ok())
        return refusal;

    FileResult result;
    SiblingFile copy = SiblingFile::create(to, kPrivateMode, result);
    if (!result.ok())
        return result;
    const timespec times[2] = {from.st_atim, from.st_mtim};
    if (!copyContents(in.get(), copy.fd(), from.st_size, progress) ||
        ::fchmod(copy.fd(), from.st_mode & kCopiedPermissions) != 0 ||
        ::futimens(copy.fd(), times) != 0)
        return lastError();
    return copy.commit(overwrite ? SiblingFile::Commit::Replace
                                 : SiblingFile::Commit::KeepExisting);
}

FileResult LocalFileLayer::rename(const QString& folder, const QString& name,
                                  const QString& newName) {
    if (!isPlainName(name) || !isPlainName(newName))
        return systemFailure(FileFailure::InvalidName, EINVAL);
    const Descriptor dir(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return lastError();
    return renameWithoutReplacing(dir.get(), encoded(name), dir.get(), encoded(newName));
}
