#pragma once

#include "FileResult.h"

#include <functional>

// The file operations that copy and rename the user's files: the existence and identity tests,
// the copy with an overwrite flag and the rename in place. An interface, so that a test can steer
// it: make a file appear between a check and the operation that follows it, or hold a copy.
class FileLayer {
public:
    // Told by a copy, on the thread that copies, how many of the source's bytes it has written
    // so far and how many there are.
    using Progress = std::function<void(qint64 copied, qint64 total)>;

    virtual ~FileLayer() = default;

    // True for a file (or a symbolic link, even one to nothing) at the path; false for a folder
    // or nothing.
    virtual bool exists(const QString& path) const = 0;
    // True when both paths name one existing file or folder, however each is spelt: separators
    // doubled or trailing, "." and ".." steps, symbolic links, another hard link.
    virtual bool sameFile(const QString& a, const QString& b) const = 0;
    // Copies the file's contents, permissions and times to the target path, telling `progress`
    // (when it is set) as the contents go. Without `overwrite`, a file at the target fails with
    // FileFailure::AlreadyExists and is left alone. Safe to run on any thread.
    virtual FileResult copy(const QString& source, const QString& target, bool overwrite,
                            const Progress& progress) = 0;
    // Gives the file `name` of `folder` the name `newName` in the same folder. Never replaces a
    // file: a taken name fails with FileFailure::AlreadyExists. Either name holding a "/", or
    // being empty, "." or "..", fails with FileFailure::InvalidName.
    virtual FileResult rename(const QString& folder, const QString& name,
                              const QString& newName) = 0;
};
