#pragma once

#include "FileResult.h"

#include <QByteArray>

// Whole-file writes that are never seen half-done: the contents go to a new file in the target's
// folder, which is flushed to the disk and then renamed over the target. A failed write leaves
// the earlier file as it was and no other file behind.
namespace AtomicFile {

// Who may read and write the file written.
enum class Access {
    // A new file: everyone, less the umask; a replaced file keeps its permissions.
    Usual,
    // Its owner alone (0600), whether the file is new or replaced, for what nobody else should
    // read.
    OwnerOnly,
};

// Replaces the file at `path` with `contents`, or creates it, with the permissions `access`
// gives. A symbolic link at `path` stays and its file is replaced.
FileResult write(const QString& path, const QByteArray& contents, Access access = Access::Usual);

} // namespace AtomicFile
