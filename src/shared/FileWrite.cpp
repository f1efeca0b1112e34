#include "FileWrite.h"

#include "AtomicFile.h"

FileWriteResult writePrivateFile(const QString& path, const QByteArray& contents) {
    const FileResult written = AtomicFile::write(path, contents, AtomicFile::Access::OwnerOnly);
    return written.ok() ? FileWriteResult{} : FileWriteResult::failed(path, written.reason);
}
