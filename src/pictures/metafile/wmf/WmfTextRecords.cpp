// WMF records that draw text.
#include "GdiCanvas.h"
#include "TextDecoder.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;

bool textOut(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    const qint64 length = p.u(0);
    const qint64 padded = (length + 1) & ~qint64(1);
    if (!r.has(2, padded + 4))
        return false;
    const GdiFont& font = player.dc().font;
    TextRun run;
    run.text = TextDecoder::decode(r.slice(2, length), font.charSet, font.face, nullptr);
    run.reference = QPointF(r.i16(2 + padded + 2), r.i16(2 + padded));
    player.canvas().text(run);
    return true;
}

bool extTextOut(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const ByteReader& r = record.params;
    TextRun run;
    run.reference = p.point(0);
    const qint64 length = p.u(2);
    run.options = p.u(3);
    qint64 at = 8;
    if (run.options & (TextRun::Opaque | TextRun::Clipped)) {
        if (!r.has(at, 8))
            return false;
        run.rectangle =
            QRectF(QPointF(r.i16(at), r.i16(at + 2)), QPointF(r.i16(at + 4), r.i16(at + 6)));
        at += 8;
    } else {
        run.options |= TextRun::NoRect;
    }
    if (!r.has(at, length))
        return false;
    const GdiFont& font = player.dc().font;
    QList<int> bytesPerChar;
    run.text = TextDecoder::decode(r.slice(at, length), font.charSet, font.face, &bytesPerChar);
    at += (length + 1) & ~qint64(1);
    // The advances (one per byte) are optional; use them only when all are there.
    const bool pdy = run.options & TextRun::PdY;
    const qint64 perByte = pdy ? 4 : 2;
    if (length > 0 && r.has(at, length * perByte) && bytesPerChar.size() == run.text.size()) {
        run.takeAdvances(bytesPerChar, [&](qint64 byte, bool rising) {
            return r.i16(at + byte * perByte + (rising ? 2 : 0));
        });
    }
    player.canvas().text(run);
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {TextOut, words(1), textOut},
    {ExtTextOut, words(4), extTextOut},
};

} // namespace

Family textRecords() {
    return kRecords;
}

} // namespace WmfRecords
