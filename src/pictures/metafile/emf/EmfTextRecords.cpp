// EMF records that draw text.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "PictureLimits.h"
#include "TextDecoder.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;

constexpr quint32 kSmallChars = 0x200;

// UTF-16 text of `chars` characters at `at`.
QString wideText(const ByteReader& r, qint64 at, qint64 chars) {
    QString text(chars, Qt::Uninitialized);
    for (qint64 i = 0; i < chars; ++i)
        text[i] = QChar(char16_t(r.u16(at + 2 * i)));
    return text;
}

bool extTextOut(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const ByteReader& whole = record.whole;
    TextRun run;
    run.advancedMode = r.u32(16) == 2;
    run.reference = pointL(r, 28);
    const qint64 chars = r.u32(36);
    const qint64 stringAt = r.u32(40);
    run.options = r.u32(44);
    qint64 dxField = 48;
    if (!(run.options & TextRun::NoRect)) {
        if (!r.has(0, 68))
            return false;
        run.rectangle = boxL(r, 48);
        dxField = 64;
    }
    if (!r.has(dxField, 4))
        return false;
    const bool wide = record.type == ExtTextOutW;
    const qint64 bytes = chars * (wide ? 2 : 1);
    if (chars > MetafileLimits::kLongestText || (chars > 0 && !whole.has(stringAt, bytes)))
        return false;
    QList<int> bytesPerChar;
    if (wide) {
        run.text = wideText(whole, stringAt, chars);
        bytesPerChar = QList<int>(chars, 1);
    } else {
        const GdiFont& font = player.dc().font;
        run.text = TextDecoder::decode(whole.slice(stringAt, bytes), font.charSet, font.face,
                                       &bytesPerChar);
    }
    // Advances: one 32-bit value per character (two with PDY); optional.
    const qint64 dxAt = r.u32(dxField);
    const bool pdy = run.options & TextRun::PdY;
    const qint64 per = pdy ? 8 : 4;
    if (dxAt != 0 && chars > 0 && whole.has(dxAt, chars * per) &&
        bytesPerChar.size() == run.text.size()) {
        run.takeAdvances(bytesPerChar, [&](qint64 byte, bool rising) {
            return whole.i32(dxAt + byte * per + (rising ? 4 : 0));
        });
    }
    player.canvas().text(run);
    return true;
}

bool polyTextOut(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const ByteReader& whole = record.whole;
    const bool advanced = r.u32(16) == 2;
    const qint64 strings = r.u32(28);
    if (!r.has(32, strings * 40))
        return false;
    const bool wide = record.type == PolyTextOutW;
    for (qint64 s = 0; s < strings; ++s) {
        const qint64 at = 32 + s * 40;
        TextRun run;
        run.advancedMode = advanced;
        run.reference = pointL(r, at);
        const qint64 chars = r.u32(at + 8);
        const qint64 stringAt = r.u32(at + 12);
        run.options = r.u32(at + 16) | TextRun::NoRect;
        const qint64 bytes = chars * (wide ? 2 : 1);
        if (chars > MetafileLimits::kLongestText || !whole.has(stringAt, bytes))
            return false;
        if (wide) {
            run.text = wideText(whole, stringAt, chars);
        } else {
            const GdiFont& font = player.dc().font;
            run.text =
                TextDecoder::decode(whole.slice(stringAt, bytes), font.charSet, font.face, nullptr);
        }
        const qint64 dxAt = r.u32(at + 36);
        if (dxAt != 0 && whole.has(dxAt, chars * 4) && run.text.size() == chars)
            for (qint64 i = 0; i < chars; ++i)
                run.advances.append(whole.i32(dxAt + 4 * i));
        player.canvas().text(run);
    }
    return true;
}

bool smallTextOut(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    TextRun run;
    run.reference = pointL(r, 0);
    const qint64 chars = r.u32(8);
    const quint32 options = r.u32(12);
    run.options = options & ~kSmallChars;
    run.advancedMode = r.u32(16) == 2;
    qint64 at = 28;
    if (!(options & TextRun::NoRect)) {
        if (!r.has(0, 44))
            return false;
        run.rectangle = boxL(r, 28);
        at = 44;
    }
    const bool narrow = options & kSmallChars;
    const qint64 bytes = chars * (narrow ? 1 : 2);
    if (chars > MetafileLimits::kLongestText || !r.has(at, bytes))
        return false;
    if (narrow) {
        const GdiFont& font = player.dc().font;
        run.text = TextDecoder::decode(r.slice(at, bytes), font.charSet, font.face, nullptr);
    } else {
        run.text = wideText(r, at, chars);
    }
    player.canvas().text(run);
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {ExtTextOutA, 48, extTextOut},    {ExtTextOutW, 48, extTextOut},
    {PolyTextOutA, 32, polyTextOut},  {PolyTextOutW, 32, polyTextOut},
    {SmallTextOut, 28, smallTextOut},
};

} // namespace

Family textRecords() {
    return kRecords;
}

} // namespace EmfRecords
