#pragma once

#include <QByteArrayView>

// The checks an ICC profile taken from a file passes before the colour engine reads it. The
// engine opens many damaged profiles without complaint (one cut short still makes a transform
// from whatever its tables then hold), so the header and the tag table are checked here against
// the bytes that are really there.
namespace IccProfile {

enum class Space { Unusable, Rgb, Grey, Cmyk };

struct Checked {
    Space space = Space::Unusable;
    // A display (monitor) profile, which a screen's colours may be converted to.
    bool display = false;
    // The profile's own bytes: those given, without any padding after its declared size.
    QByteArrayView bytes;
};

// The profile's colour space when its header and tag table are whole and within
// PictureLimits::kLargestColourProfileBytes, it describes input, display or colour-space
// conversions (or printing, for CMYK) from RGB, grey or CMYK to the standard connection
// spaces; Space::Unusable otherwise.
Checked check(QByteArrayView bytes);

} // namespace IccProfile
