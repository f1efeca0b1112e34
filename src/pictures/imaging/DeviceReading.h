#pragma once

#include <QByteArray>

#include <optional>

class QIODevice;

namespace DeviceReading {

// The rest of the device, read in pieces; nothing when it holds more than `limit` bytes, which
// is found out without reading much past the limit (a device need not tell its size).
std::optional<QByteArray> readAtMost(QIODevice& device, qint64 limit);

} // namespace DeviceReading
