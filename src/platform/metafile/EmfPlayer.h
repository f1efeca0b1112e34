#pragma once

#include "ObjectTable.h"
#include "RecordWalker.h"

#include <QByteArray>

class GdiCanvas;

// Plays the records of an EMF onto a canvas whose device-to-output placement the caller set
// from the picture frame. EMF+ records (carried in comments) are not drawn: in a dual file the
// plain records that follow draw the same picture, and emfPlusOnly() tells when the file holds
// EMF+ records and nothing else was drawn.
//
// Playback ends at the end record, at the end of the data, at a malformed record (one whose size
// breaks the walk, or whose counts or offsets point outside the record), or when the canvas
// reaches a limit. Records of unknown or unsupported kinds are skipped.
class EmfPlayer {
public:
    EmfPlayer(GdiCanvas& canvas, quint32 handles);

    void play(QByteArrayView data, qint64 start);
    bool malformed() const { return m_malformed; }
    bool sawEmfPlus() const { return m_sawEmfPlus; }
    bool emfPlusDual() const { return m_emfPlusDual; }
    // A WMF carried in a public comment (as Windows keeps the original of a converted WMF).
    const QByteArray& embeddedWmf() const { return m_embeddedWmf; }

private:
    bool playRecord(const RecordWalker::Record& record);
    void select(quint32 handle);
    void readComment(const RecordWalker::Record& record);

    GdiCanvas& m_canvas;
    ObjectTable m_objects;
    bool m_malformed = false;
    bool m_sawEmfPlus = false;
    bool m_emfPlusDual = false;
    QByteArray m_embeddedWmf;
};
