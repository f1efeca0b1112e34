#include "ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr double kDialogRightOfCentre = 850; // twips
} // namespace

QPoint ScreenMetrics::dialogPlace(const QSizeF& dialogTwips) const {
    const QSizeF screen = twips();
    return {scale.toPixels((screen.width() - dialogTwips.width()) / 2 + kDialogRightOfCentre),
            scale.toPixels((screen.height() - dialogTwips.height()) / 2)};
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
