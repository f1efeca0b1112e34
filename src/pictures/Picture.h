#pragma once

#include <QImage>
#include <QSize>

// A loaded picture: the pixels kept, which may be fewer than the picture's own, and the picture's
// natural size, which window layouts use for its proportions.
struct Picture {
    QImage image;
    QSize naturalSize; // in pixels, as the picture is seen upright

    bool isNull() const { return image.isNull(); }
};
