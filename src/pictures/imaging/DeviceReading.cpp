#include "DeviceReading.h"

#include <QIODevice>

#include <algorithm>

namespace DeviceReading {

std::optional<QByteArray> readAtMost(QIODevice& device, qint64 limit) {
    constexpr qint64 kPiece = qint64(1) << 16;
    if (!device.isSequential() && device.size() - device.pos() > limit)
        return std::nullopt;
    // A file that tells its size is read in one piece; one byte more shows whether it grew.
    qint64 piece = std::max(device.isSequential() ? 0 : device.size() - device.pos() + 1, kPiece);
    QByteArray bytes;
    for (;;) {
        const QByteArray more = device.read(std::min(piece, limit + 1 - bytes.size()));
        if (more.isEmpty())
            return bytes;
        bytes += more;
        if (bytes.size() > limit)
            return std::nullopt;
        piece = kPiece;
    }
}

} // namespace DeviceReading
