#include "ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

ScreenMetrics probeScreen() {
    ScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        metrics.pixels = screen->size();
        metrics.scale = TwipsScale(screen->logicalDotsPerInch());
        metrics.bitsPerPixel = screen->depth();
    }
    return metrics;
}
