// EMF records that change the device context: the mapping and the world transform, colours and
// modes, the current position, saved states and the clip.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"
#include "SharedRecords.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;
using namespace SharedRecords;

template <void (DeviceContext::*scale)(double, double, double, double)>
bool scaleExtent(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    (player.dc().*scale)(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
    return true;
}

bool setMapMode(EmfPlayer& player, const Record& record) {
    player.dc().setMapMode(int(Fields::value(record.params)));
    return true;
}

bool setRop2(EmfPlayer& player, const Record& record) {
    player.dc().rop2 = int(Fields::value(record.params) & 0xff);
    return true;
}

bool setStretchBltMode(EmfPlayer& player, const Record& record) {
    player.dc().stretchMode = int(Fields::value(record.params) & 0xff);
    return true;
}

bool setArcDirection(EmfPlayer& player, const Record& record) {
    player.dc().arcDirection = Fields::value(record.params) == DeviceContext::Clockwise
                                   ? DeviceContext::Clockwise
                                   : DeviceContext::CounterClockwise;
    return true;
}

bool setMiterLimit(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    // Written as an integer by GDI and as a float by some other writers.
    const quint32 raw = r.u32(0);
    double limit = raw;
    if (raw > 0xffff)
        limit = r.f32(0);
    if (limit >= 1 && limit < 1000)
        player.dc().miterLimit = limit;
    return true;
}

bool setWorldTransform(EmfPlayer& player, const Record& record) {
    player.dc().setWorld(xform(record.params, 0));
    return true;
}

bool modifyWorldTransform(EmfPlayer& player, const Record& record) {
    player.dc().modifyWorld(xform(record.params, 0), record.params.u32(24));
    return true;
}

bool restoreDc(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    // EMF names only earlier states, counting back from the latest.
    if (r.i32(0) < 0)
        player.canvas().restoreState(r.i32(0));
    return true;
}

bool selectClipRegion(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const qint64 size = r.u32(0);
    const int mode = int(r.u32(4));
    if (size == 0) {
        player.canvas().combineDeviceClip(nullptr, mode);
        return true;
    }
    GdiRegion region;
    if (!r.has(8, size) || !readRegion(r.sub(8, size), region))
        return false;
    player.canvas().combineDeviceClip(&region, mode);
    return true;
}

bool selectClipPath(EmfPlayer& player, const Record& record) {
    player.canvas().selectClipPath(int(record.params.u32(0)));
    return true;
}

constexpr qint64 kValue = Fields::kValueSize;
constexpr qint64 kPoint = Fields::kPointSize;

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {SetWindowExtEx, kPoint, mappingPoint<Fields, &DeviceContext::setWindowExt>},
    {SetWindowOrgEx, kPoint, mappingPoint<Fields, &DeviceContext::setWindowOrg>},
    {SetViewportExtEx, kPoint, mappingPoint<Fields, &DeviceContext::setViewportExt>},
    {SetViewportOrgEx, kPoint, mappingPoint<Fields, &DeviceContext::setViewportOrg>},
    {MoveToEx, kPoint, canvasPoint<Fields, &GdiCanvas::moveTo>},
    {OffsetClipRgn, kPoint, canvasPoint<Fields, &GdiCanvas::offsetClip>},
    {ScaleViewportExtEx, 16, scaleExtent<&DeviceContext::scaleViewportExt>},
    {ScaleWindowExtEx, 16, scaleExtent<&DeviceContext::scaleWindowExt>},
    {SetMapMode, kValue, setMapMode},
    {SetBkMode, kValue, setBkMode<Fields>},
    {SetPolyFillMode, kValue, setPolyFillMode<Fields>},
    {SetRop2, kValue, setRop2},
    {SetStretchBltMode, kValue, setStretchBltMode},
    {SetTextAlign, kValue, setTextAlign<Fields>},
    {SetTextColor, kColourSize, setTextColor},
    {SetBkColor, kColourSize, setBkColor},
    {SetArcDirection, kValue, setArcDirection},
    {SetMiterLimit, 4, setMiterLimit},
    {SetWorldTransform, 24, setWorldTransform},
    {ModifyWorldTransform, 28, modifyWorldTransform},
    {SaveDc, 0, saveDc},
    {RestoreDc, 4, restoreDc},
    {ExcludeClipRect, Fields::kBoxSize, canvasBox<Fields, &GdiCanvas::excludeClipRect>},
    {IntersectClipRect, Fields::kBoxSize, canvasBox<Fields, &GdiCanvas::intersectClipRect>},
    {ExtSelectClipRgn, 8, selectClipRegion},
    {SelectClipPath, 4, selectClipPath},
};

} // namespace

Family stateRecords() {
    return kRecords;
}

} // namespace EmfRecords
