#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// Turns the 8-bit text of WMF and EMF (ANSI) records into Unicode by the character set of the
// selected font, and tells how many bytes each character came from, so per-byte advance arrays
// can be summed per character.
namespace TextDecoder {

QString decode(QByteArrayView bytes, quint8 charSet, const QString& face, QList<int>* bytesPerChar);

// The code page name for a LOGFONT character set; empty for the symbol set.
const char* codePageFor(quint8 charSet);

} // namespace TextDecoder
