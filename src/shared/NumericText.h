#pragma once

#include <QStringView>
#include <optional>

// Reading numbers out of stored texts the way the record and the exchange file have always been
// read: a lenient "number at the start" and a strict "the whole text is a number".
namespace NumericText {

// The number at the start of the text after leading blanks (sign, digits, decimals, exponent);
// 0 when the text does not start with a number.
double leadingNumber(QStringView text);

// The text, without surrounding blanks, read as one number; nothing when it is not exactly a
// number.
std::optional<double> wholeNumber(QStringView text);

// Rounds to the nearest whole number (halves go to the even neighbour) and checks the range.
std::optional<int> roundedInRange(double value, int lowest, int highest);

} // namespace NumericText
