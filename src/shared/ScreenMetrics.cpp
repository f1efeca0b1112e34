#include "ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
// Beyond this the count no longer fits the integer; no display comes near it.
constexpr int kLargestCountedBits = 62;
} // namespace

qint64 ScreenMetrics::colourCount() const {
    return qint64(1) << qBound(0, bitsPerPixel, kLargestCountedBits);
}

ScreenMetrics probeScreen() {
    ScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        metrics.pixels = screen->size();
        metrics.scale = TwipsScale(screen->logicalDotsPerInch());
        metrics.bitsPerPixel = screen->depth();
    }
    return metrics;
}
