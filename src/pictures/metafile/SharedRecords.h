#pragma once

#include "GdiCanvas.h"
#include "RecordWalker.h"

// Records that WMF and EMF play alike once their fields are read: the modes and colours of the
// device context, the records that take one point or one rectangle, saving the state, and the
// logical font. Fields says how a format stores what they read:
//   kValueSize, value(r):  the record's first value (a 16-bit word in a WMF, 32 bits in an EMF)
//   kPointSize, point(r):  the record's point
//   kBoxSize, box(r):      the record's rectangle
// Each player lists the handlers it plays in its own tables, with the format's Fields.
namespace SharedRecords {

using Record = RecordWalker::Record;

// A colour reference: red, green, blue and a flags byte.
constexpr qint64 kColourSize = 4;
inline QColor colour(const ByteReader& r) {
    return QColor(r.u8(0), r.u8(1), r.u8(2));
}

template <typename Player> bool setBkColor(Player& player, const Record& record) {
    player.dc().backgroundColor = colour(record.params);
    return true;
}

template <typename Player> bool setTextColor(Player& player, const Record& record) {
    player.dc().textColor = colour(record.params);
    return true;
}

template <typename Fields, typename Player> bool setBkMode(Player& player, const Record& record) {
    player.dc().backgroundMode = Fields::value(record.params) == DeviceContext::Transparent
                                     ? DeviceContext::Transparent
                                     : DeviceContext::Opaque;
    return true;
}

template <typename Fields, typename Player>
bool setPolyFillMode(Player& player, const Record& record) {
    player.dc().fillMode = Fields::value(record.params) == DeviceContext::Winding
                               ? DeviceContext::Winding
                               : DeviceContext::Alternate;
    return true;
}

template <typename Fields, typename Player>
bool setTextAlign(Player& player, const Record& record) {
    player.dc().textAlign = Fields::value(record.params);
    return true;
}

// A record whose point moves the mapping: a window's or a viewport's origin or extent.
template <typename Fields, void (DeviceContext::*apply)(QPointF), typename Player>
bool mappingPoint(Player& player, const Record& record) {
    (player.dc().*apply)(Fields::point(record.params));
    return true;
}

// A record whose point goes to the canvas: the current position or the clip's offset.
template <typename Fields, void (GdiCanvas::*apply)(QPointF), typename Player>
bool canvasPoint(Player& player, const Record& record) {
    (player.canvas().*apply)(Fields::point(record.params));
    return true;
}

// A record whose rectangle goes to the canvas: a shape drawn in it, or a change of the clip.
template <typename Fields, void (GdiCanvas::*apply)(const QRectF&), typename Player>
bool canvasBox(Player& player, const Record& record) {
    (player.canvas().*apply)(Fields::box(record.params));
    return true;
}

template <typename Player> bool saveDc(Player& player, const Record&) {
    player.canvas().saveState();
    return true;
}

// A logical font as both formats store it, from `r` on: height, width, escapement,
// orientation and weight as integers of `integerBytes` (2 in a WMF, 4 in an EMF), then the
// italic, underline, strike-out and character-set bytes, four more bytes, and a face name of up
// to 32 characters (8-bit in a WMF, 16-bit in an EMF) that ends at a NUL or at the end.
GdiFont logFont(const ByteReader& r, int integerBytes);

} // namespace SharedRecords
