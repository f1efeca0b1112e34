#include "EmfPlayer.h"

#include "EmfRecords.h"
#include "GdiCanvas.h"

using namespace EmfRecords;

namespace {

constexpr quint32 kEmfPlusIdentifier = 0x2b464d45; // "EMF+"
constexpr quint32 kPublicIdentifier = 0x43494447;  // "GDIC"
constexpr quint32 kWindowsMetafileComment = 0x80000001;

bool comment(EmfPlayer& player, const RecordWalker::Record& record) {
    player.readComment(record);
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kCommentRecords[] = {{GdiComment, 0, comment}};

} // namespace

EmfPlayer::EmfPlayer(GdiCanvas& canvas, quint32 handles) : Player(canvas), m_objects(handles) {}

// Palette realisation and animation, colour management, layout, flood fills, masked and
// parallelogram blits, path flattening and widening and the OpenGL and printer records are not
// in the table, and are skipped like unknown records.
const RecordPlayback::Table<EmfPlayer>& EmfPlayer::records() {
    static const RecordPlayback::Table<EmfPlayer> table{
        stateRecords(), objectRecords(), drawingRecords(),
        textRecords(),  bitmapRecords(), RecordPlayback::Family<EmfPlayer>(kCommentRecords)};
    return table;
}

GdiObject EmfPlayer::object(quint32 handle) const {
    if (handle & GdiStockObjects::kStockFlag)
        return GdiStockObjects::object(handle);
    const GdiObject* object = m_objects.find(handle);
    return object ? *object : GdiObject();
}

void EmfPlayer::select(quint32 handle) {
    if (handle & GdiStockObjects::kStockFlag) {
        dc().select(GdiStockObjects::object(handle));
        return;
    }
    if (const GdiObject* object = m_objects.find(handle))
        dc().select(*object);
}

void EmfPlayer::readComment(const RecordWalker::Record& record) {
    const ByteReader& r = record.params;
    if (r.u32(4) == kPublicIdentifier && r.u32(8) == kWindowsMetafileComment) {
        // version, checksum, flags, then the size and bytes of the WMF
        const qint64 size = r.u32(24);
        if (m_embeddedWmf.isEmpty() && r.has(28, size))
            m_embeddedWmf = r.slice(28, size).toByteArray();
        return;
    }
    if (r.u32(4) == kEmfPlusIdentifier)
        m_sawEmfPlus = true;
}
