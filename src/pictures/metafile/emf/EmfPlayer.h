#pragma once

#include "ObjectTable.h"
#include "RecordPlayback.h"

#include <QByteArray>

// Plays the records of an EMF onto a canvas whose device-to-output placement the caller set
// from the picture frame. EMF+ records (carried in comments) are not drawn: in a dual file the
// plain records that follow draw the same picture; sawEmfPlus() tells that the file holds some.
//
// Playback ends at the end record, at the end of the data, at a malformed record (one whose size
// breaks the walk, or whose counts or offsets point outside the record), or when the canvas
// reaches a limit. Records of unknown or unsupported kinds are skipped. The records are played
// by family, one file each (EmfRecords.h).
class EmfPlayer : public RecordPlayback::Player<EmfPlayer> {
public:
    EmfPlayer(GdiCanvas& canvas, quint32 handles);

    static constexpr RecordWalker::Format kFormat = RecordWalker::Format::Emf;
    // Every record the player draws or applies.
    static const RecordPlayback::Table<EmfPlayer>& records();
    bool sawEmfPlus() const { return m_sawEmfPlus; }
    // A WMF carried in a public comment (as Windows keeps the original of a converted WMF).
    const QByteArray& embeddedWmf() const { return m_embeddedWmf; }

    // What the record handlers reach, besides the canvas.
    ObjectTable& objects() { return m_objects; }
    // The object a handle names: a stock object (top bit set) or a slot of the table; monostate
    // when there is none.
    GdiObject object(quint32 handle) const;
    void select(quint32 handle);
    // Notes what a comment carries: EMF+ records, or the WMF the file was converted from.
    void readComment(const RecordWalker::Record& record);

private:
    ObjectTable m_objects;
    bool m_sawEmfPlus = false;
    QByteArray m_embeddedWmf;
};
