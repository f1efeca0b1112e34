#include "WmfPlayer.h"

#include "GdiCanvas.h"
#include "WmfRecords.h"

using namespace WmfRecords;

namespace {

constexpr quint16 kMetafileComment = 0x000f;
constexpr quint32 kEmbeddedEmfIdentifier = 0x43464d57; // "WMFC"

// The records that can put ink on the page.
const RecordPlayback::Table<WmfPlayer>& drawingRecordTable() {
    static const RecordPlayback::Table<WmfPlayer> table{drawingRecords(), textRecords(),
                                                        bitmapRecords()};
    return table;
}

} // namespace

WmfPlayer::WmfPlayer(GdiCanvas& canvas, quint16 declaredObjects)
    : Player(canvas), m_objects(declaredObjects) {}

// Escapes (comments, printer codes), palette realisation and animation, SetRelAbs, text
// justification, mapper flags, layout and flood fills are not in the table, and are skipped
// like unknown records.
const RecordPlayback::Table<WmfPlayer>& WmfPlayer::records() {
    static const RecordPlayback::Table<WmfPlayer> table{
        stateRecords(), objectRecords(), drawingRecords(), textRecords(), bitmapRecords()};
    return table;
}

bool WmfPlayer::findWindow(QByteArrayView data, qint64 start, QRectF* window) {
    RecordWalker walker(RecordWalker::Format::Wmf, data, start);
    RecordWalker::Record record;
    QPointF origin(0, 0);
    QPointF extent;
    bool extentSet = false;
    while (walker.next(record)) {
        const Params p{record.params};
        if (record.type == SetWindowOrg && p.has(2)) {
            origin = p.point(0);
        } else if (record.type == SetWindowExt && p.has(2)) {
            const QPointF e = p.point(0);
            if (e.x() != 0 && e.y() != 0) {
                extent = e;
                extentSet = true;
            }
        } else if (extentSet && drawingRecordTable().contains(record.type)) {
            break;
        }
    }
    if (!extentSet)
        return false;
    *window = QRectF(origin, QSizeF(extent.x(), extent.y()));
    return true;
}

QByteArray WmfPlayer::embeddedEmf(QByteArrayView data, qint64 start) {
    RecordWalker walker(RecordWalker::Format::Wmf, data, start);
    RecordWalker::Record record;
    QByteArray emf;
    qint64 expected = -1;
    while (walker.next(record)) {
        if (record.type != Escape)
            continue;
        const ByteReader& r = record.params;
        if (r.u16(0) != kMetafileComment || r.u32(4) != kEmbeddedEmfIdentifier)
            continue;
        const qint64 byteCount = r.u16(2);
        const ByteReader comment = r.sub(4, byteCount);
        // identifier, type, version, checksum, flags, record count, chunk size, remaining, total
        if (comment.size() < 34 || comment.u32(4) != 1)
            continue;
        const qint64 chunk = comment.u32(22);
        const qint64 total = comment.u32(30);
        if (expected < 0)
            expected = total;
        if (total != expected || total > data.size() || !comment.has(34, chunk))
            return {};
        emf.append(comment.slice(34, chunk));
        if (emf.size() > expected)
            return {};
    }
    return emf.size() == expected ? emf : QByteArray();
}
