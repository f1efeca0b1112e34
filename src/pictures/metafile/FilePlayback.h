#pragma once

#include "MetafileHeader.h"

#include <QByteArray>
#include <QRectF>

class GdiCanvas;

// Plays a whole WMF or EMF onto a canvas: the one place that picks the format's player and the
// mapping it starts from, for measuring a drawing and for painting it alike.
namespace FilePlayback {

// What playing a file's records came to.
struct Outcome {
    qint64 drawings = 0;    // operations that could have put ink on the page
    bool malformed = false; // stopped at a malformed record
    bool limited = false;   // stopped at a limit
    bool sawEmfPlus = false;
    QByteArray embeddedWmf; // an EMF's copy of the WMF it was converted from
};

// The canvas's output placement is the caller's; a WMF starts with `wmfWindow` mapped onto a
// viewport of `wmfViewport` device units, an EMF with its header's reference device.
Outcome play(GdiCanvas& canvas, QByteArrayView data, const MetafileHeader& header,
             const QRectF& wmfWindow, QSizeF wmfViewport);

} // namespace FilePlayback
