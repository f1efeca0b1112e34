#include "RegularFile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace RegularFile {

QString open(const QString& path, QFile& file) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    auto systemError = [&] {
        return QStringLiteral("cannot open %1: %2")
            .arg(path, QString::fromLocal8Bit(strerror(errno)));
    };
    // Anything but a regular file is refused before it is opened (opening some devices acts on
    // them); the open itself does not wait, and the check is made again on what was opened, in
    // case something else was put in the file's place in between.
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return systemError();
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is not a regular file").arg(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return systemError();
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return QStringLiteral("%1 is not a regular file").arg(path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    }
    return {};
#else
    if (!QFileInfo(path).isFile())
        return QStringLiteral("%1 is not a regular file").arg(path);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
    return {};
#endif
}

std::optional<QByteArray> readAll(const QString& path, qint64 largestBytes) {
    QFile file;
    if (!open(path, file).isEmpty() || file.size() > largestBytes)
        return std::nullopt;
    // One byte more than allowed tells a file that grew since it was measured.
    QByteArray bytes = file.read(largestBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > largestBytes)
        return std::nullopt;
    return bytes;
}

} // namespace RegularFile
