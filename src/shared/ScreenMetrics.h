#pragma once

#include "Twips.h"

#include <QSize>
#include <QSizeF>

// The screen the windows lay themselves out on: its size in pixels, the twips of a pixel and the
// colour bits of a pixel.
struct ScreenMetrics {
    QSize pixels{800, 600};
    TwipsScale scale;
    int bitsPerPixel = 24;

    QSizeF twips() const { return {scale.toTwips(pixels.width()), scale.toTwips(pixels.height())}; }
    // The number of colours the display can show: 2 to the power of its bits per pixel.
    qint64 colourCount() const;
};

// The primary screen's metrics; the defaults above when the program has no screen.
ScreenMetrics probeScreen();
