#include "FilePlayback.h"

#include "EmfPlayer.h"
#include "GdiCanvas.h"
#include "WmfPlayer.h"

namespace FilePlayback {
namespace {

Outcome ended(const GdiCanvas& canvas, bool malformed) {
    Outcome outcome;
    outcome.drawings = canvas.drawingCount();
    outcome.malformed = malformed;
    outcome.limited = canvas.limitReached();
    return outcome;
}

Outcome playWmf(GdiCanvas& canvas, QByteArrayView data, const MetafileHeader& header,
                const QRectF& window, QSizeF viewport) {
    DeviceContext& dc = canvas.dc();
    dc.setMapMode(DeviceContext::Anisotropic);
    dc.setWindowOrg(window.topLeft());
    dc.setWindowExt(QPointF(window.width(), window.height()));
    dc.setViewportExt(QPointF(viewport.width(), viewport.height()));
    WmfPlayer player(canvas, header.objectCount);
    player.play(data, header.recordsStart);
    return ended(canvas, player.malformed());
}

Outcome playEmf(GdiCanvas& canvas, QByteArrayView data, const MetafileHeader& header) {
    canvas.dc().setDevicePixelsPerMm(header.devicePixelsPerMm());
    EmfPlayer player(canvas, header.handles);
    player.play(data, header.recordsStart);
    Outcome outcome = ended(canvas, player.malformed());
    outcome.sawEmfPlus = player.sawEmfPlus();
    outcome.embeddedWmf = player.embeddedWmf();
    return outcome;
}

} // namespace

Outcome play(GdiCanvas& canvas, QByteArrayView data, const MetafileHeader& header,
             const QRectF& wmfWindow, QSizeF wmfViewport) {
    switch (header.format) {
    case MetafileHeader::Format::Wmf:
        return playWmf(canvas, data, header, wmfWindow, wmfViewport);
    case MetafileHeader::Format::Emf:
        return playEmf(canvas, data, header);
    case MetafileHeader::Format::Unknown:
        break;
    }
    return {};
}

} // namespace FilePlayback
