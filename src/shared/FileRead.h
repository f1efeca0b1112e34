#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The whole of a small file of our own, read without ever waiting on it: only a regular file is
// read, so a named pipe, a device, a socket or a folder in its place is refused at once, and a
// file larger than the given bound is refused too. Nothing when the path names no such file or
// it cannot be read.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 largestBytes);
