#include "DialogGeometry.h"

#include <algorithm>

int DialogGeometry::leftOnScreen(int frameLeft, int frameWidth, int screenWidth) {
    if (frameLeft + frameWidth <= screenWidth)
        return frameLeft;
    return std::max(0, screenWidth - frameWidth);
}
