#include "ByteEscape.h"

namespace ByteEscape {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray encode(const QByteArray& bytes, bool (*mustEscape)(unsigned char)) {
    QByteArray encoded;
    encoded.reserve(bytes.size());
    for (const char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        if (c == kEscape || mustEscape(value)) {
            encoded.append(kEscape);
            encoded.append(QByteArray::number(value, 16).toUpper().rightJustified(2, '0'));
        } else {
            encoded.append(c);
        }
    }
    return encoded;
}

QByteArray decode(const QByteArray& bytes) {
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == kEscape && i + 2 < bytes.size() && hexDigit(bytes[i + 1]) >= 0 &&
            hexDigit(bytes[i + 2]) >= 0) {
            decoded.append(static_cast<char>(hexDigit(bytes[i + 1]) * 16 + hexDigit(bytes[i + 2])));
            i += 2;
        } else {
            decoded.append(bytes[i]);
        }
    }
    return decoded;
}

} // namespace ByteEscape
