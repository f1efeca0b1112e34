#include "SharedRecords.h"

namespace SharedRecords {

GdiFont logFont(const ByteReader& r, int integerBytes) {
    const auto integer = [&](int field) {
        const qint64 at = qint64(field) * integerBytes;
        return integerBytes == 2 ? int(r.i16(at)) : int(r.i32(at));
    };
    GdiFont font;
    font.height = integer(0);
    font.width = integer(1);
    font.escapement = integer(2);
    font.weight = integer(4);
    const qint64 flags = 5 * qint64(integerBytes);
    font.italic = r.u8(flags);
    font.underline = r.u8(flags + 1);
    font.strikeOut = r.u8(flags + 2);
    font.charSet = r.u8(flags + 3);
    const qint64 faceAt = flags + 8;
    const int charBytes = integerBytes / 2;
    QString face;
    for (int i = 0; i < 32; ++i) {
        const qint64 at = faceAt + qint64(i) * charBytes;
        const char16_t ch = charBytes == 1 ? r.u8(at) : r.u16(at);
        if (ch == 0)
            break;
        face.append(QChar(ch));
    }
    font.face = face.trimmed();
    return font;
}

} // namespace SharedRecords
