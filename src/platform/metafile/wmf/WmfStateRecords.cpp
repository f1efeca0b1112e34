// WMF records that change the device context: colours and modes, the window, the current
// position, saved states and the clip. The viewport records are advice only (the player owns
// the viewport) and are skipped like unknown records.
#include "GdiCanvas.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;

bool setBkColor(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.dc().backgroundColor = p.colour(0);
    return true;
}

bool setTextColor(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.dc().textColor = p.colour(0);
    return true;
}

// The records that set one mode of the device context from their first word.
bool setMode(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    DeviceContext& dc = player.dc();
    const quint16 value = p.u(0);
    switch (record.type) {
    case SetBkMode:
        dc.backgroundMode = value == DeviceContext::Transparent ? DeviceContext::Transparent
                                                                : DeviceContext::Opaque;
        break;
    case SetMapMode:
        // The player maps the window onto the output; only the isotropic mode changes how.
        dc.setMapMode(value == DeviceContext::Isotropic ? DeviceContext::Isotropic
                                                        : DeviceContext::Anisotropic);
        break;
    case SetRop2:
        dc.rop2 = value;
        break;
    case SetPolyFillMode:
        dc.fillMode =
            value == DeviceContext::Winding ? DeviceContext::Winding : DeviceContext::Alternate;
        break;
    case SetStretchBltMode:
        dc.stretchMode = value;
        break;
    case SetTextCharExtra:
        dc.textCharExtra = p.s(0);
        break;
    default: // SetTextAlign
        dc.textAlign = value;
        break;
    }
    return true;
}

// The records that take one point: the window's origin, extent and offset, the current
// position and the clip's offset.
bool atPoint(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const QPointF point = p.point(0);
    switch (record.type) {
    case SetWindowOrg:
        player.dc().setWindowOrg(point);
        break;
    case SetWindowExt:
        player.dc().setWindowExt(point);
        break;
    case OffsetWindowOrg:
        player.dc().offsetWindowOrg(point);
        break;
    case MoveTo:
        player.canvas().moveTo(point);
        break;
    default: // OffsetClipRgn
        player.canvas().offsetClip(point);
        break;
    }
    return true;
}

bool scaleWindowExt(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.dc().scaleWindowExt(p.s(3), p.s(2), p.s(1), p.s(0));
    return true;
}

bool clipRect(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    if (record.type == ExcludeClipRect)
        player.canvas().excludeClipRect(p.rect(0));
    else
        player.canvas().intersectClipRect(p.rect(0));
    return true;
}

bool selectClipRegion(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    const GdiObject* region = player.object(p.u(0));
    player.canvas().selectLogicalClip(region ? std::get_if<GdiRegion>(region) : nullptr);
    return true;
}

bool saveDc(WmfPlayer& player, const Record&) {
    player.canvas().saveState();
    return true;
}

bool restoreDc(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.canvas().restoreState(p.s(0));
    return true;
}

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {SetBkColor, words(2), setBkColor},
    {SetTextColor, words(2), setTextColor},
    {SetBkMode, words(1), setMode},
    {SetMapMode, words(1), setMode},
    {SetRop2, words(1), setMode},
    {SetPolyFillMode, words(1), setMode},
    {SetStretchBltMode, words(1), setMode},
    {SetTextCharExtra, words(1), setMode},
    {SetTextAlign, words(1), setMode},
    {SetWindowOrg, words(2), atPoint},
    {SetWindowExt, words(2), atPoint},
    {OffsetWindowOrg, words(2), atPoint},
    {MoveTo, words(2), atPoint},
    {OffsetClipRgn, words(2), atPoint},
    {ScaleWindowExt, words(4), scaleWindowExt},
    {ExcludeClipRect, words(4), clipRect},
    {IntersectClipRect, words(4), clipRect},
    {SelectClipRegion, words(1), selectClipRegion},
    {SaveDc, 0, saveDc},
    {RestoreDc, words(1), restoreDc},
};

} // namespace

Family stateRecords() {
    return kRecords;
}

} // namespace WmfRecords
