#include "DisplayFacts.h"

#include <QSize>
#include <cmath>

namespace DisplayFacts {

double ColourCount(int bitsPerPixel) {
    return std::exp2(static_cast<double>(bitsPerPixel));
}

QString colourCountText(double count) {
    // Narrowed to single precision first, so the digits are those a float holds.
    const auto single = static_cast<float>(count);
    return QString::asprintf("%.7G", static_cast<double>(single));
}

QString resolutionText(const QSize& pixels) {
    return QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height());
}

} // namespace DisplayFacts
