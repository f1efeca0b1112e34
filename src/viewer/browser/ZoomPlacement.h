#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>

// The zoom view's rectangle in twips for a picture of the given natural size: ZoomHeight high
// with the picture's proportions, narrowed to the widest allowed view, then placed on the whole
// screen (shifted right of the centre by 1025, and a little above the middle).
QRectF zoomRectangle(QSize naturalSize, double zoomHeight, double maxZoomWidth,
                     QSizeF screenTwips);
