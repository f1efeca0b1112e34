#pragma once

#include "ObjectTable.h"
#include "RecordPlayback.h"

#include <QByteArray>

// Plays the records of a WMF onto a canvas. In a WMF the player owns the device mapping: the
// caller sets the viewport to the output, and the file's viewport records are only advice, so
// they are ignored; the window records place the drawing in it.
//
// Playback ends at the end record, at the end of the data, at a malformed record (one whose size
// breaks the walk or is too short for what it says it holds), or when the canvas reaches a
// limit. Records of unknown or unsupported kinds are skipped. The records are played by family,
// one file each (WmfRecords.h).
class WmfPlayer : public RecordPlayback::Player<WmfPlayer> {
public:
    WmfPlayer(GdiCanvas& canvas, quint16 declaredObjects);

    static constexpr RecordWalker::Format kFormat = RecordWalker::Format::Wmf;
    // Every record the player draws or applies.
    static const RecordPlayback::Table<WmfPlayer>& records();

    // Scans the records for the window the drawing is placed in (the window origin and extent
    // set before the first drawing record); false when no extent is set there.
    static bool findWindow(QByteArrayView data, qint64 start, QRectF* window);
    // An EMF carried whole in the file's comment escapes, or empty.
    static QByteArray embeddedEmf(QByteArrayView data, qint64 start);

    // What the record handlers reach, besides the canvas.
    const GdiObject* object(quint32 index) const { return m_objects.find(index); }
    // Stores a new object in the lowest free slot. A slot is taken even by an object the
    // player cannot use, so that later indices keep pointing where the file means.
    void create(GdiObject object) { m_objects.addToLowestFree(std::move(object)); }
    void deleteObject(quint32 index) { m_objects.remove(index); }

private:
    ObjectTable m_objects;
};
