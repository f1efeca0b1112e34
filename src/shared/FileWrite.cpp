#include "FileWrite.h"

#include "AtomicFile.h"

FileWriteResult writeFileAtomically(const QString& path, const QByteArray& contents) {
    const FileResult written = AtomicFile::write(path, contents);
    return written.ok() ? FileWriteResult{} : FileWriteResult::failed(path, written.reason);
}
