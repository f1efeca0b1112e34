#pragma once

#include "FileLayer.h"

// The file layer on the machine's own file systems.
//
// A copy never shows a partial file under the target's name and never harms the file it would
// replace when it fails (a full disk, a folder that cannot be written, a source that cannot be
// read): it writes a new file beside the target and renames it into place. A copy of a file onto
// itself, under whatever spelling of its path, fails with FileFailure::SameFile; a file that is
// write-protected is not replaced. A rename never replaces a file, even one that another program
// creates while it runs.
class LocalFileLayer final : public FileLayer {
public:
    bool exists(const QString& path) const override;
    bool sameFile(const QString& a, const QString& b) const override;
    FileResult copy(const QString& source, const QString& target, bool overwrite,
                    const Progress& progress) override;
    FileResult rename(const QString& folder, const QString& name, const QString& newName) override;
};
