#include "FileProperties.h"

#include "PosixFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QDateTime localTime(const struct statx_timestamp& t) {
    return QDateTime::fromMSecsSinceEpoch(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

} // namespace

std::optional<FileProperties> readFileProperties(const QString& path) {
    struct statx info {};
    constexpr unsigned kNeeded = STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME;
    if (::statx(AT_FDCWD, PosixFiles::encoded(path).constData(), 0, kNeeded | STATX_BTIME, &info) !=
            0 ||
        (info.stx_mask & kNeeded) != kNeeded || S_ISDIR(info.stx_mode))
        return std::nullopt;

    const QFileInfo file(path);
    FileProperties properties;
    properties.name = file.fileName();
    properties.path = QDir::cleanPath(file.absoluteFilePath());
    properties.size = static_cast<qint64>(info.stx_size);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    properties.type = type.comment().isEmpty() ? type.name() : type.comment();
    properties.createdIsBirthTime = (info.stx_mask & STATX_BTIME) != 0;
    properties.created = localTime(properties.createdIsBirthTime ? info.stx_btime : info.stx_ctime);
    properties.lastAccessed = localTime(info.stx_atime);
    properties.lastModified = localTime(info.stx_mtime);
    return properties;
}
