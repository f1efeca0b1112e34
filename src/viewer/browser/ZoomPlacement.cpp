#include "ZoomPlacement.h"

namespace {
constexpr double kHorizontalShift = 1025.0;
constexpr double kVerticalDivisor = 2.8;
} // namespace

QRectF zoomRectangle(QSize naturalSize, double zoomHeight, double maxZoomWidth,
                     QSizeF screenTwips) {
    // The ratio is taken in single precision, as the view's arithmetic has always been.
    const float ratio = static_cast<float>(naturalSize.width()) / static_cast<float>(naturalSize.height());
    double width = ratio * zoomHeight;
    double height = zoomHeight;
    if (width > maxZoomWidth) {
        const double k = maxZoomWidth * zoomHeight / width;
        width = ratio * k;
        height = k;
    }
    const double left = (screenTwips.width() - width) / 2.0 + kHorizontalShift;
    const double top = (screenTwips.height() - height) / kVerticalDivisor;
    return {left, top, width, height};
}
