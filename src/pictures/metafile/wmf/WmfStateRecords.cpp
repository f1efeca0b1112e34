// WMF records that change the device context: colours and modes, the window, the current
// position, saved states and the clip. The viewport records are advice only (the player owns
// the viewport) and are skipped like unknown records.
#include "GdiCanvas.h"
#include "SharedRecords.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"

namespace WmfRecords {
namespace {

using Record = RecordWalker::Record;
using namespace SharedRecords;

bool setMapMode(WmfPlayer& player, const Record& record) {
    // The player maps the window onto the output; only the isotropic mode changes how.
    player.dc().setMapMode(Fields::value(record.params) == DeviceContext::Isotropic
                               ? DeviceContext::Isotropic
                               : DeviceContext::Anisotropic);
    return true;
}

bool setRop2(WmfPlayer& player, const Record& record) {
    player.dc().rop2 = int(Fields::value(record.params));
    return true;
}

bool setStretchBltMode(WmfPlayer& player, const Record& record) {
    player.dc().stretchMode = int(Fields::value(record.params));
    return true;
}

bool setTextCharExtra(WmfPlayer& player, const Record& record) {
    player.dc().textCharExtra = Params{record.params}.s(0);
    return true;
}

bool scaleWindowExt(WmfPlayer& player, const Record& record) {
    const Params p{record.params};
    player.dc().scaleWindowExt(p.s(3), p.s(2), p.s(1), p.s(0));
    return true;
}

bool selectClipRegion(WmfPlayer& player, const Record& record) {
    const GdiObject* region = player.object(Params{record.params}.u(0));
    player.canvas().selectLogicalClip(region ? std::get_if<GdiRegion>(region) : nullptr);
    return true;
}

bool restoreDc(WmfPlayer& player, const Record& record) {
    player.canvas().restoreState(Params{record.params}.s(0));
    return true;
}

constexpr qint64 kValue = Fields::kValueSize;
constexpr qint64 kPoint = Fields::kPointSize;

constexpr RecordPlayback::Entry<WmfPlayer> kRecords[] = {
    {SetBkColor, kColourSize, setBkColor},
    {SetTextColor, kColourSize, setTextColor},
    {SetBkMode, kValue, setBkMode<Fields>},
    {SetMapMode, kValue, setMapMode},
    {SetRop2, kValue, setRop2},
    {SetPolyFillMode, kValue, setPolyFillMode<Fields>},
    {SetStretchBltMode, kValue, setStretchBltMode},
    {SetTextCharExtra, kValue, setTextCharExtra},
    {SetTextAlign, kValue, setTextAlign<Fields>},
    {SetWindowOrg, kPoint, mappingPoint<Fields, &DeviceContext::setWindowOrg>},
    {SetWindowExt, kPoint, mappingPoint<Fields, &DeviceContext::setWindowExt>},
    {OffsetWindowOrg, kPoint, mappingPoint<Fields, &DeviceContext::offsetWindowOrg>},
    {MoveTo, kPoint, canvasPoint<Fields, &GdiCanvas::moveTo>},
    {OffsetClipRgn, kPoint, canvasPoint<Fields, &GdiCanvas::offsetClip>},
    {ScaleWindowExt, words(4), scaleWindowExt},
    {ExcludeClipRect, Fields::kBoxSize, canvasBox<Fields, &GdiCanvas::excludeClipRect>},
    {IntersectClipRect, Fields::kBoxSize, canvasBox<Fields, &GdiCanvas::intersectClipRect>},
    {SelectClipRegion, words(1), selectClipRegion},
    {SaveDc, 0, saveDc},
    {RestoreDc, words(1), restoreDc},
};

} // namespace

Family stateRecords() {
    return kRecords;
}

} // namespace WmfRecords
