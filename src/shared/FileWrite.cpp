#include "FileWrite.h"

#include <QSaveFile>

FileWriteResult writeFileAtomically(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return {};
    return FileWriteResult::failed(path, file.errorString());
}
