#pragma once

#include "FileWrite.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct Settings;

// The exchange file in the Windows directory: five quoted lines ended by CR LF that carry the
// folder, delay, pattern and protection switch from one program to the other. A double quote in
// the folder or the pattern is escaped as the stored record escapes its bytes (ByteEscape), so
// files of values without one read as they always did.

QString ExchangeFilePath(const Settings& settings);

// The file's exact bytes for the record.
QByteArray exchangeFileContents(const Settings& settings);
// Written atomically: a failed write leaves the earlier file as it was.
FileWriteResult WriteExchangeFile(const Settings& settings);

// Every line of a known key that is present overrides its field. Keys are matched without regard
// to letter case; values keep theirs. A delay or protection value that cannot be converted ends
// the reading there, keeping what was taken before it. Anything but a regular file of a sane size
// in the file's place counts as no file.
void ReadExchangeFile(Settings& settings);

// The items of the file's text: separated by commas and line ends; a quoted item runs to its
// closing quote, an unquoted one is taken without surrounding blanks.
QStringList exchangeFileItems(const QString& text);
