#pragma once

#include "FileResult.h"

#include <QByteArray>

// Whole-file writes that are never seen half-done: the contents go to a new file in the target's
// folder, which is flushed to the disk and then renamed over the target. A failed write leaves
// the earlier file as it was and no other file behind.
namespace AtomicFile {

// Replaces the file at `path` with `contents`, or creates it. An existing file keeps its
// permissions; a new one gets the usual ones (read and write for all, less the umask). A
// symbolic link at `path` stays and its file is replaced.
FileResult write(const QString& path, const QByteArray& contents);

} // namespace AtomicFile
