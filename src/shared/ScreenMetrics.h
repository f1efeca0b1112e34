#pragma once

#include "Twips.h"

#include <QPoint>
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

    // Where a dialog of that size in twips sits, in pixels: centred from top to bottom, and
    // 850 twips right of the screen's centre line.
    QPoint dialogPlace(const QSizeF& dialogTwips) const;
};

// The primary screen's metrics; the defaults above when the program has no screen.
ScreenMetrics probeScreen();
