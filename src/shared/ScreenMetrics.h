#pragma once

#include "Twips.h"

#include <QSize>
#include <QSizeF>

// The screen the windows lay themselves out on: its size in pixels, the twips of a pixel and the
// colour bits of a pixel (the display shows 2 to that power colours).
struct ScreenMetrics {
    QSize pixels{800, 600};
    TwipsScale scale;
    int bitsPerPixel = 24;

    QSizeF twips() const {
        return {scale.toTwips(pixels.width()), scale.toTwips(pixels.height())};
    }
};

// The primary screen's metrics; the defaults above when the program has no screen.
ScreenMetrics probeScreen();
