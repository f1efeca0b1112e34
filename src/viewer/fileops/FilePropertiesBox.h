#pragma once

#include <QtGlobal>

class QString;
class QWidget;
struct FileProperties;

// The file-information box's text in the language of the offset, seven lines ended by CR LF
// (the first by two, the last by none): the name, an empty line, the whole path in upper case,
// the size in bytes with the type, and the times of creation, last access and last
// modification in the user's locale.
QString filePropertiesText(const FileProperties& file, qint16 languageOffset);

// Reads the properties of the file at `path` and, when `show` is nonzero, shows them in a box
// owned by `owner`, with an OK button, no icon and the title text 51. With `show` 0 it only
// tests that the file's properties can be read. False, and nothing shown, on any failure.
bool ShowFileProperties(const QString& path, int show, qint16 languageOffset, QWidget* owner);
