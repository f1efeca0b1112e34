#include "DialogGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTitleBarButtons = 3;
constexpr double kButtonWidthPerLineHeight = 4.0 / 3.0;
} // namespace

int DialogGeometry::leftOnScreen(int frameLeft, int frameWidth, int screenWidth) {
    if (frameLeft + frameWidth <= screenWidth)
        return frameLeft;
    return std::max(0, screenWidth - frameWidth);
}

int DialogGeometry::widthShowingTitle(int clientWidth, int titleWidth, int titleLineHeight) {
    const int button = static_cast<int>(std::lround(titleLineHeight * kButtonWidthPerLineHeight));
    return std::max(clientWidth, titleWidth + 2 * kTitleBarButtons * button);
}
