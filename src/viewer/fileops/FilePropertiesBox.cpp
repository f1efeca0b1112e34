#include "FilePropertiesBox.h"

#include "FileProperties.h"
#include "StringTable.h"

#include <QLocale>
#include <QMessageBox>

namespace {

QString readable(const QDateTime& time) {
    const QLocale locale;
    return locale.toString(time.date(), QLocale::ShortFormat) + ' ' +
           locale.toString(time.time(), QLocale::LongFormat);
}

} // namespace

QString filePropertiesText(const FileProperties& file, qint16 languageOffset) {
    auto text = [languageOffset](TextId id) { return LocalText(id, languageOffset); };
    const QStringList lines = {
        text(kTextPropertyFile) + file.name,
        QString(),
        text(kTextPropertyPath) + file.path.toUpper(),
        text(kTextPropertySize) + QString::number(file.size) + " bytes,   " + file.type,
        text(kTextPropertyCreated) + readable(file.created),
        text(kTextPropertyLastAccess) + readable(file.lastAccessed),
        text(kTextPropertyLastModification) + readable(file.lastModified),
    };
    return lines.join("\r\n");
}

bool ShowFileProperties(const QString& path, int show, qint16 languageOffset, QWidget* owner) {
    const std::optional<FileProperties> file = readFileProperties(path);
    if (!file)
        return false;
    if (show != 0) {
        QMessageBox box(QMessageBox::NoIcon, LocalText(kTextFileInformation, languageOffset),
                        filePropertiesText(*file, languageOffset), QMessageBox::Ok, owner);
        // Names are shown as spelt: a name such as "<b>x.bmp" is no markup, and the lines keep
        // their breaks.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return true;
}
