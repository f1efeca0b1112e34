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
    if (record.type == ScaleViewportExtEx)
        player.dc().scaleViewportExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
    else
        player.dc().scaleWindowExt(r.i32(0), r.i32(4), r.i32(8), r.i32(12));
    return true;
}

// The records that set one mode or colour of the device context from their first value.
bool setMode(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
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
    // EMF names only earlier states, counting back from the latest.
    if (r.i32(0) < 0)
        player.canvas().restoreState(r.i32(0));
    return true;
}

bool clipRect(EmfPlayer& player, const Record& record) {
    const ByteReader& r = record.params;
    if (record.type == ExcludeClipRect)
        player.canvas().excludeClipRect(boxL(r, 0));
    else
        player.canvas().intersectClipRect(boxL(r, 0));
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
    const ByteReader& r = record.params;
    player.canvas().selectClipPath(int(r.u32(0)));
    return true;
}

constexpr RecordPlayback::Entry<EmfPlayer> kRecords[] = {
    {SetWindowExtEx, 8, atPoint},
    {SetWindowOrgEx, 8, atPoint},
    {SetViewportExtEx, 8, atPoint},
    {SetViewportOrgEx, 8, atPoint},
    {MoveToEx, 8, atPoint},
    {OffsetClipRgn, 8, atPoint},
    {ScaleViewportExtEx, 16, scaleExtent},
    {ScaleWindowExtEx, 16, scaleExtent},
    {SetMapMode, 4, setMode},
    {SetBkMode, 4, setMode},
    {SetPolyFillMode, 4, setMode},
    {SetRop2, 4, setMode},
    {SetStretchBltMode, 4, setMode},
    {SetTextAlign, 4, setMode},
    {SetTextColor, 4, setMode},
    {SetBkColor, 4, setMode},
    {SetArcDirection, 4, setMode},
    {SetMiterLimit, 4, setMiterLimit},
    {SetWorldTransform, 24, worldTransform},
    {ModifyWorldTransform, 28, worldTransform},
    {SaveDc, 0, saveDc},
    {RestoreDc, 4, restoreDc},
    {ExcludeClipRect, 16, clipRect},
    {IntersectClipRect, 16, clipRect},
    {ExtSelectClipRgn, 8, selectClipRegion},
    {SelectClipPath, 4, selectClipPath},
};

} // namespace

Family stateRecords() {
    return kRecords;
}

} // namespace EmfRecords
