#pragma once

#include <QByteArray>

// The colour profile of the screen, as colour daemons (colord, and the desktops' colour
// settings) publish it for X programs: the root window's _ICC_PROFILE property.
namespace DisplayProfile {

// The first screen's profile; empty when the program does not run on X, the property is absent,
// or it is not a byte array of at most PictureLimits::kLargestColourProfileBytes.
QByteArray ofX11Root();

} // namespace DisplayProfile
