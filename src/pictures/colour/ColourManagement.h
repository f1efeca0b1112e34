#pragma once

#include "ColourSource.h"

#include <QImage>

#include <optional>

// Colour management: pictures are converted from the colours their file declares (an ICC
// profile, or Adobe RGB by the EXIF convention, else sRGB) to the colours of the screen, whose
// profile the colour daemon publishes, or to sRGB where the screen has none. Conversions are made
// once per pair of profiles and kept for the process; they may be used from any thread.
namespace Colour {

// Where converted pixels are going: to the screen, or to sRGB, as thumbnails written to the
// shared cache and pictures handed to other programs are.
enum class Target { Display, Srgb };

// Sets the screen's profile, before any picture is converted. An empty profile, or one that is
// not a whole RGB display profile, leaves the screen sRGB; false then for a non-empty one.
bool setDisplayProfile(const QByteArray& icc);

// Converts the image, decoded from a file with these colour facts, to the target's colours, and
// clears any colour-space tag the decoder left on it. A profile that is damaged, too large, of
// another colour space than the pixels or of an unusable class is ignored: the pixels are then
// taken as sRGB. Nothing is done to an sRGB picture going to an sRGB target.
void convert(QImage& image, const ColourSource& source, Target target);

// True when the profile is one that CMYK samples can be converted through.
bool isCmykProfile(const QByteArray& icc);

// Converts rows of CMYK samples (four bytes a pixel, `size` pixels, no padding) through the
// profile to the target's colours. `inverted`: the samples are stored inverted, as Adobe's
// programs write CMYK and YCCK JPEG files. Nothing when the profile is not usable for CMYK.
std::optional<QImage> fromCmyk(const uchar* samples, QSize size, const QByteArray& icc,
                               bool inverted, Target target);

// How many conversions have been built (or tried and refused) since the start: each pair of
// profiles costs a few milliseconds once.
int conversionsBuilt();

} // namespace Colour
