#include "TextDecoder.h"

#include <QStringDecoder>

namespace TextDecoder {
namespace {

constexpr quint8 kSymbolCharSet = 2;

bool isDoubleByteSet(quint8 charSet) {
    return charSet == 128 || charSet == 129 || charSet == 130 || charSet == 134 || charSet == 136;
}

bool isLeadByte(quint8 charSet, quint8 byte) {
    if (charSet == 128) // Shift-JIS
        return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
    return byte >= 0x81 && byte <= 0xfe;
}

// The Symbol font's Greek letters and a few signs, by byte.
QChar symbolChar(quint8 byte) {
    static const char16_t upper[26] = {
        0x391, 0x392, 0x3a7, 0x394, 0x395, 0x3a6, 0x393, 0x397, 0x399, 0x3d1, 0x39a, 0x39b, 0x39c,
        0x39d, 0x39f, 0x3a0, 0x398, 0x3a1, 0x3a3, 0x3a4, 0x3a5, 0x3c2, 0x3a9, 0x39e, 0x3a8, 0x396};
    static const char16_t lower[26] = {
        0x3b1, 0x3b2, 0x3c7, 0x3b4, 0x3b5, 0x3c6, 0x3b3, 0x3b7, 0x3b9, 0x3d5, 0x3ba, 0x3bb, 0x3bc,
        0x3bd, 0x3bf, 0x3c0, 0x3b8, 0x3c1, 0x3c3, 0x3c4, 0x3c5, 0x3d6, 0x3c9, 0x3be, 0x3c8, 0x3b6};
    if (byte >= 'A' && byte <= 'Z')
        return QChar(upper[byte - 'A']);
    if (byte >= 'a' && byte <= 'z')
        return QChar(lower[byte - 'a']);
    // Mathematical signs and arrows; other bytes stand for themselves.
    static constexpr struct {
        quint8 byte;
        char16_t character;
    } kSigns[] = {{0xa3, 0x2264}, {0xa5, 0x221e}, {0xb0, 0x00b0}, {0xb1, 0x00b1}, {0xb3, 0x2265},
                  {0xb4, 0x00d7}, {0xb6, 0x2202}, {0xb7, 0x2022}, {0xb8, 0x00f7}, {0xb9, 0x2260},
                  {0xba, 0x2261}, {0xbb, 0x2248}, {0xd6, 0x221a}, {0xe5, 0x2211}, {0xf2, 0x222b},
                  {0xae, 0x2192}, {0xac, 0x2190}, {0xad, 0x2191}, {0xaf, 0x2193}, {0xc5, 0x2295},
                  {0xce, 0x2208}, {0xd1, 0x2207}, {0xc6, 0x2205}, {0xd7, 0x22c5}, {0xe1, 0x2329},
                  {0xf1, 0x232a}};
    for (const auto& sign : kSigns)
        if (sign.byte == byte)
            return QChar(sign.character);
    return QChar(byte);
}

} // namespace

const char* codePageFor(quint8 charSet) {
    switch (charSet) {
    case 128:
        return "Shift_JIS";
    case 129:
        return "windows-949";
    case 130:
        return "windows-1361";
    case 134:
        return "GBK";
    case 136:
        return "Big5";
    case 161:
        return "windows-1253";
    case 162:
        return "windows-1254";
    case 163:
        return "windows-1258";
    case 177:
        return "windows-1255";
    case 178:
        return "windows-1256";
    case 186:
        return "windows-1257";
    case 204:
        return "windows-1251";
    case 222:
        return "windows-874";
    case 238:
        return "windows-1250";
    case 255:
        return "IBM437";
    case kSymbolCharSet:
        return "";
    default:
        return "windows-1252";
    }
}

QString decode(QByteArrayView bytes, quint8 charSet, const QString& face,
               QList<int>* bytesPerChar) {
    QString text;
    QList<int> counts;
    if (charSet == kSymbolCharSet) {
        const bool symbolFace = face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
        for (char c : bytes) {
            text.append(symbolFace ? symbolChar(quint8(c)) : QChar(quint8(c)));
            counts.append(1);
        }
    } else {
        QStringDecoder decoder(codePageFor(charSet));
        if (!decoder.isValid())
            decoder = QStringDecoder(QStringDecoder::Latin1);
        if (isDoubleByteSet(charSet)) {
            for (qsizetype i = 0; i < bytes.size();) {
                const int n =
                    (isLeadByte(charSet, quint8(bytes[i])) && i + 1 < bytes.size()) ? 2 : 1;
                const QString piece = decoder(bytes.sliced(i, n));
                text += piece;
                for (qsizetype k = 0; k < piece.size(); ++k)
                    counts.append(k == 0 ? n : 0);
                i += n;
            }
        } else {
            text = decoder(bytes);
            if (text.size() == bytes.size())
                counts = QList<int>(text.size(), 1);
        }
    }
    if (bytesPerChar)
        *bytesPerChar = counts;
    return text;
}

} // namespace TextDecoder
