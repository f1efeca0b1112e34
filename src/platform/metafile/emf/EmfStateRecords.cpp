// EMF records that change the device context: the mapping and the world transform, colours and
// modes, the current position, saved states and the clip.
#include "EmfPlayer.h"
#include "EmfRecords.h"
#include "GdiCanvas.h"

namespace EmfRecords {
namespace {

using Record = RecordWalker::Record;

// The records that take one point: the window's and the viewport's origin and extent, the
// current position and the clip's offset.
bool atPoint(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 8))
        return false;
    const QPointF point = pointL(r, 0);
    DeviceContext& dc = player.dc();
    switch (record.type) {
    case SetWindowExtEx:
        dc.setWindowExt(point);
        break;
    case SetWindowOrgEx:
        dc.setWindowOrg(point);
        break;
    case SetViewportExtEx:
        dc.setViewportExt(point);
        break;
    case SetViewportOrgEx:
        dc.setViewportOrg(point);
        break;
    case MoveToEx:
        player.canvas().moveTo(point);
        break;
    default: // OffsetClipRgn
        player.canvas().offsetClip(point);
        break;
    }
    return true;
}

bool scaleExtent(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 16))
        return false;
    if (record.type == ScaleViewportExtEx)
        player.dc().scaleViewportExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
    else
        player.dc().scaleWindowExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
    return true;
}

// The records that set one mode or colour of the device context from their first value.
bool setMode(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 4))
        return false;
    DeviceContext& dc = player.dc();
    const quint32 value = r.u32(0);
    switch (record.type) {
    case SetMapMode:
        dc.setMapMode(int(value));
        break;
    case SetBkMode:
        dc.backgroundMode = value == DeviceContext::Transparent ? DeviceContext::Transparent
                                                                : DeviceContext::Opaque;
        break;
    case SetPolyFillMode:
        dc.fillMode =
            value == DeviceContext::Winding ? DeviceContext::Winding : DeviceContext::Alternate;
        break;
    case SetRop2:
        dc.rop2 = int(value & 0xff);
        break;
    case SetStretchBltMode:
        dc.stretchMode = int(value & 0xff);
        break;
    case SetTextAlign:
        dc.textAlign = value;
        break;
    case SetTextColor:
        dc.textColor = colorRef(r, 0);
        break;
    case SetBkColor:
        dc.backgroundColor = colorRef(r, 0);
        break;
    default: // SetArcDirection
        dc.arcDirection = value == DeviceContext::Clockwise ? DeviceContext::Clockwise
                                                            : DeviceContext::CounterClockwise;
        break;
    }
    return true;
}

bool setMiterLimit(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 4))
        return false;
    // Written as an integer by GDI and as a float by some other writers.
    const quint32 raw = r.u32(0);
    double limit = raw;
    if (raw > 0xffff)
        limit = r.f32(0);
    if (limit >= 1 && limit < 1000)
        player.dc().miterLimit = limit;
    return true;
}

bool worldTransform(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    const bool modify = record.type == ModifyWorldTransform;
    if (!r.has(0, modify ? 28 : 24))
        return false;
    if (modify)
        player.dc().modifyWorld(xform(r, 0), r.u32(24));
    else
        player.dc().setWorld(xform(r, 0));
    return true;
}

bool saveDc(EmfPlayer& player, const Record&) {
    player.canvas().saveState();
    return true;
}

bool restoreDc(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 4))
        return false;
    // EMF names only earlier states, counting back from the latest.
    if (r.i32(0) < 0)
        player.canvas().restoreState(r.i32(0));
    return true;
}

bool clipRect(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 16))
        return false;
    if (record.type == ExcludeClipRect)
        player.canvas().excludeClipRect(boxL(r, 0));
    else
        player.canvas().intersectClipRect(boxL(r, 0));
    return true;
}

bool selectClipRegion(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (!r.has(0, 8))
        return false;
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
    const ByteReader& r = record.params;
    if (!r.has(0, 4))
        return false;
    player.canvas().selectClipPath(int(r.u32(0)));
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {SetWindowExtEx, atPoint},
    {SetWindowOrgEx, atPoint},
    {SetViewportExtEx, atPoint},
    {SetViewportOrgEx, atPoint},
    {MoveToEx, atPoint},
    {OffsetClipRgn, atPoint},
    {ScaleViewportExtEx, scaleExtent},
    {ScaleWindowExtEx, scaleExtent},
    {SetMapMode, setMode},
    {SetBkMode, setMode},
    {SetPolyFillMode, setMode},
    {SetRop2, setMode},
    {SetStretchBltMode, setMode},
    {SetTextAlign, setMode},
    {SetTextColor, setMode},
    {SetBkColor, setMode},
    {SetArcDirection, setMode},
    {SetMiterLimit, setMiterLimit},
    {SetWorldTransform, worldTransform},
    {ModifyWorldTransform, worldTransform},
    {SaveDc, saveDc},
    {RestoreDc, restoreDc},
    {ExcludeClipRect, clipRect},
    {IntersectClipRect, clipRect},
    {ExtSelectClipRgn, selectClipRegion},
    {SelectClipPath, selectClipPath},
};

} // namespace

Family stateRecords() {
    return kRecords;
}

} // namespace EmfRecords
