#include "GridLayout.h"

#include "Settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct ClassLimits {
    int right;  // the grid area's right limit
    int bottom; // the grid area's bottom limit
    qint16 maxZoomWidth;
};

constexpr ClassLimits kLimits[] = {
    {8865, 6475, 7450},   // class 1, 640 x 480
    {11815, 8275, 9500},  // class 2, every other size
    {15565, 10960, 13000} // class 3, 1024 x 768
};

constexpr int kGridLeft = 2400;
constexpr int kColumnShift = 300;
constexpr int kGridTop = 75;

const ClassLimits& limitsOf(qint16 screenClass) {
    return kLimits[std::clamp<int>(screenClass, 1, 3) - 1];
}

std::optional<qint16> int16Of(long long value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

// The whole number of steps of one 16-bit sum that fit in a span.
std::optional<qint16> stepsIn(int span, qint16 size, qint16 gap) {
    const auto step = int16Of(static_cast<long long>(size) + gap);
    if (!step || *step == 0)
        return std::nullopt;
    const double steps = std::floor(static_cast<double>(span) / *step);
    if (steps < 0)
        return std::nullopt;
    return int16Of(static_cast<long long>(steps));
}

} // namespace

qint16 maxZoomWidthOf(qint16 screenClass) { return limitsOf(screenClass).maxZoomWidth; }

std::optional<GridLayout> Calculos(qint16 screenClass, const Settings& s, qint16 captionHeight) {
    const ClassLimits& limits = limitsOf(screenClass);
    const auto columns = stepsIn(limits.right - kGridLeft, s.ThumbWidth, s.SpacingH);
    const auto rows = stepsIn(limits.bottom - kGridTop, s.ThumbHeight, s.SpacingV);
    if (!columns || !rows)
        return std::nullopt;
    const auto lastCell = int16Of(static_cast<long long>(*rows) * *columns - 1);
    if (!lastCell)
        return std::nullopt;

    GridLayout grid;
    grid.GridColumns = *columns;
    grid.GridRows = *rows;
    grid.LastCell = *lastCell;
    grid.MaxZoomWidth = limits.maxZoomWidth;
    grid.cells.reserve(static_cast<std::size_t>(*rows) * *columns);
    for (int r = 0; r < *rows; ++r) {
        const int top = kGridTop + r * (s.ThumbHeight + s.SpacingV);
        const int captionTop = top + s.ThumbHeight;
        for (int c = 0; c < *columns; ++c) {
            const int left = kGridLeft + c * (s.ThumbWidth + s.SpacingH) + kColumnShift;
            grid.cells.push_back({QRect(left, top, s.ThumbWidth, s.ThumbHeight),
                                  QRect(left, captionTop, s.CaptionWidth, captionHeight)});
        }
    }
    return grid;
}
