#include "ExchangeFile.h"

#include "ByteEscape.h"
#include "NumericText.h"
#include "RegularFile.h"
#include "Settings.h"

#include <limits>

namespace {

constexpr char kTitleItem[] = "Lumi Vart";
// The file holds five short lines; anything far larger is not ours.
constexpr qint64 kLargestFileBytes = 1 << 20;

bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Skips one delimiter at text[i] (a comma, or a line end with CR LF taken as one).
qsizetype skipDelimiter(const QString& text, qsizetype i) {
    if (i >= text.size())
        return i;
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        return i + 2;
    return i + 1;
}

QString valueOf(const QString& item) {
    const qsizetype equals = item.indexOf(u'=');
    return equals < 0 ? item : item.mid(equals + 1);
}

// A folder or pattern as it is written inside its quotes: a double quote in it would end the
// item early, and blanks at either end would be trimmed away by the reader (a folder name may
// end in a blank), so both are escaped, reversibly.
QByteArray quotableValue(const QString& value) {
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && value[start].isSpace())
        ++start;
    while (end > start && value[end - 1].isSpace())
        --end;
    const auto every = [](unsigned char) { return true; };
    const auto quote = [](unsigned char c) { return c == '"'; };
    return ByteEscape::encode(value.left(start).toLocal8Bit(), every) +
           ByteEscape::encode(value.mid(start, end - start).toLocal8Bit(), quote) +
           ByteEscape::encode(value.mid(end).toLocal8Bit(), every);
}

QString textValueOf(const QString& item) {
    return QString::fromLocal8Bit(ByteEscape::decode(valueOf(item).trimmed().toLocal8Bit()));
}

bool startsWithKey(const QString& item, QStringView key) {
    return item.startsWith(key, Qt::CaseInsensitive);
}

// Applies one item; false when its value cannot be taken, which ends the reading.
bool applyItem(Settings& s, const QString& item) {
    if (startsWithKey(item, u"IMAGEPATH"))
        s.ImagePath = textValueOf(item);
    if (startsWithKey(item, u"IMAGETEMPO")) {
        const auto tempo =
            NumericText::roundedInRange(NumericText::leadingNumber(valueOf(item)),
                                        std::numeric_limits<qint16>::min(),
                                        std::numeric_limits<qint16>::max());
        if (!tempo)
            return false;
        s.ImageTempo = static_cast<qint16>(*tempo);
    }
    if (startsWithKey(item, u"IMAGEFILTER"))
        s.ImageFilter = textValueOf(item);
    if (startsWithKey(item, u"IMAGEPROTECT")) {
        const auto number = NumericText::wholeNumber(valueOf(item));
        const auto protect = number ? NumericText::roundedInRange(*number, 0, 255) : std::nullopt;
        if (!protect)
            return false;
        s.ImageProtect = static_cast<quint8>(*protect);
    }
    return true;
}

} // namespace

QString ExchangeFilePath(const Settings& settings) { return settings.WindowsDir + "/Lumivart.ini"; }

QByteArray exchangeFileContents(const Settings& s) {
    const QByteArray items[] = {
        kTitleItem,
        "ImagePath = " + quotableValue(s.ImagePath),
        "ImageTempo = " + QByteArray::number(s.ImageTempo),
        "ImageFilter = " + quotableValue(s.ImageFilter),
        "ImageProtect = " + QByteArray::number(s.ImageProtect),
    };
    QByteArray contents;
    for (const QByteArray& item : items)
        contents += '"' + item + "\"\r\n";
    return contents;
}

FileWriteResult WriteExchangeFile(const Settings& settings) {
    return writePrivateFile(ExchangeFilePath(settings), exchangeFileContents(settings));
}

void ReadExchangeFile(Settings& settings) {
    const auto bytes = RegularFile::readAll(ExchangeFilePath(settings), kLargestFileBytes);
    if (bytes)
        applyExchangeFileContents(settings, *bytes);
}

void applyExchangeFileContents(Settings& settings, const QByteArray& contents) {
    for (const QString& item : exchangeFileItems(QString::fromLocal8Bit(contents))) {
        if (!applyItem(settings, item))
            return;
    }
}

QStringList exchangeFileItems(const QString& text) {
    QStringList items;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            items.append(text.mid(i + 1, end - i - 1));
            // Whatever stands between the closing quote and the delimiter is dropped.
            i = end + 1;
            while (i < text.size() && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < text.size() && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            items.append(text.mid(start, i - start).trimmed());
        }
        i = skipDelimiter(text, i);
    }
    return items;
}
