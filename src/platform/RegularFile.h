#pragma once

#include <QString>

class QFile;

namespace RegularFile {

// Opens a file for reading when it is a regular file, and never waits: a FIFO, a device, a
// socket or a folder is refused without being opened for reading (opening a FIFO waits for a
// writer, reading a device may never end). Empty on success, else why it failed.
QString open(const QString& path, QFile& file);

} // namespace RegularFile
