#include "FileRead.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<QByteArray> readRegularFile(const QString& path, qint64 largestBytes) {
    // Opening a named pipe for reading waits for a writer unless it is opened without blocking;
    // the kind of file is then told from the open file itself, so it cannot change in between.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > largestBytes)
        return std::nullopt;
    // One byte more than allowed tells a file that grew since it was measured.
    QByteArray bytes = file.read(largestBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > largestBytes)
        return std::nullopt;
    return bytes;
}
