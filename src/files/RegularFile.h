#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

namespace RegularFile {

// Opens a file for reading when it is a regular file, and never waits: a FIFO, a device, a
// socket or a folder is refused without being opened for reading (opening a FIFO waits for a
// writer, reading a device may never end). Empty on success, else why it failed.
QString open(const QString& path, QFile& file);

// The whole of a small file of our own (settings, the exchange file), opened as above: nothing
// when the path names no regular file, it cannot be read, or it holds more than largestBytes.
std::optional<QByteArray> readAll(const QString& path, qint64 largestBytes);

} // namespace RegularFile
