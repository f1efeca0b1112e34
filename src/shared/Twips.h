#pragma once

#include <QRectF>
#include <QSizeF>
#include <cmath>

// Positions and sizes of windows, controls and thumbnails are computed in twips (1/1440 inch);
// this is the one place where they become pixels: 15 twips per pixel at 96 logical dpi.
class TwipsScale {
public:
    TwipsScale() : TwipsScale(96.0) {}
    explicit TwipsScale(double logicalDpi) : m_twipsPerPixel(1440.0 / logicalDpi) {}

    double twipsPerPixel() const { return m_twipsPerPixel; }
    int toPixels(double twips) const { return static_cast<int>(std::lround(twips / m_twipsPerPixel)); }
    double toTwips(double pixels) const { return pixels * m_twipsPerPixel; }

    QRect toPixels(const QRectF& twips) const {
        const int left = toPixels(twips.left());
        const int top = toPixels(twips.top());
        return {left, top, toPixels(twips.right()) - left, toPixels(twips.bottom()) - top};
    }

private:
    double m_twipsPerPixel;
};
