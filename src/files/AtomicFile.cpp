#include "AtomicFile.h"

#include "PosixFiles.h"

#include <sys/stat.h>

namespace {
constexpr mode_t kNewFileMode = 0666; // less the umask
constexpr mode_t kOwnerOnlyMode = 0600;
constexpr mode_t kPermissionBits = 07777;
} // namespace

FileResult AtomicFile::write(const QString& path, const QByteArray& contents, Access access) {
    using namespace PosixFiles;
    const QByteArray target = writeTarget(path);
    struct stat existing {};
    const bool replacing = ::stat(target.constData(), &existing) == 0;
    const bool ownerOnly = access == Access::OwnerOnly;

    FileResult result;
    // An owner-only file is never readable by others, not even while it is being written.
    SiblingFile file =
        SiblingFile::create(target, ownerOnly ? kOwnerOnlyMode : kNewFileMode, result);
    if (!result.ok())
        return result;
    if (!writeAll(file.fd(), contents.constData(), contents.size()))
        return lastError();
    if (ownerOnly || replacing) {
        const mode_t mode = ownerOnly ? kOwnerOnlyMode : existing.st_mode & kPermissionBits;
        if (::fchmod(file.fd(), mode) != 0)
            return lastError();
    }
    return file.commit(SiblingFile::Commit::Replace);
}
