#include "AtomicFile.h"

#include "PosixFiles.h"

#include <sys/stat.h>

namespace {
constexpr mode_t kNewFileMode = 0666; // less the umask
constexpr mode_t kPermissionBits = 07777;
} // namespace

FileResult AtomicFile::write(const QString& path, const QByteArray& contents) {
    using namespace PosixFiles;
    const QByteArray target = writeTarget(path);
    struct stat existing {};
    const bool replacing = ::stat(target.constData(), &existing) == 0;

    FileResult result;
    SiblingFile file = SiblingFile::create(target, kNewFileMode, result);
    if (!result.ok())
        return result;
    if (!writeAll(file.fd(), contents.constData(), contents.size()))
        return lastError();
    if (replacing && ::fchmod(file.fd(), existing.st_mode & kPermissionBits) != 0)
        return lastError();
    return file.commit(SiblingFile::Commit::Replace);
}
