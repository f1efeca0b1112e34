#pragma once

#include <QString>

class QSize;

// Facts about the display that the about box and the preferences show: its resolution and the
// number of colours it can show.
namespace DisplayFacts {

// The number of colours a device of that many bits per pixel (all planes together) shows:
// 2 to that power.
double ColourCount(int bitsPerPixel);

// The count as a single-precision number is written: up to seven significant digits, so that
// 65536 stays whole and 16777216 becomes 1.677722E+07.
QString colourCountText(double count);

// The size in pixels as width, " x ", height, for example 1024 x 768.
QString resolutionText(const QSize& pixels);

} // namespace DisplayFacts
