#pragma once

#include <QByteArray>

// A reversible escape for bytes that a stored text cannot hold as they are. Each such byte, and
// the escape byte (1) itself, is written as the escape byte and two upper-case hexadecimal
// digits; every other byte stays as it is. A text that holds none of them is written unchanged,
// so texts stored before a byte needed escaping read the same.
namespace ByteEscape {

inline constexpr char kEscape = '\x01';

// mustEscape tells which bytes, besides the escape byte, cannot stand as they are.
QByteArray encode(const QByteArray& bytes, bool (*mustEscape)(unsigned char));
// An escape byte not followed by two hexadecimal digits stays as it is.
QByteArray decode(const QByteArray& bytes);

} // namespace ByteEscape
