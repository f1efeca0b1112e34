#include "MainWindowLayout.h"

#include "Twips.h"

#include <algorithm>
#include <array>

qint16 screenClassOf(QSize screenPixels) {
    if (screenPixels == QSize(640, 480))
        return 1;
    if (screenPixels == QSize(1024, 768))
        return 3;
    return 2;
}

namespace {
constexpr int kRestoredClientWidth = 9480; // twips
constexpr int kRestoredClientHeight = 6525;

using ClassPlacements = std::array<QRect, 7>; // in the order of MainControl

const std::array<ClassPlacements, 3> kPlacements{{
    {{QRect(1, 0, 2100, 0), QRect(1, 345, 2100, 1665), QRect(1, 2040, 2100, 0),
      QRect(1, 2340, 2100, 3405), QRect(1, 5880, 540, 540), QRect(600, 5880, 540, 540),
      QRect(1200, 5880, 840, 375)}},
    {{QRect(1, 120, 2100, 0), QRect(1, 465, 2100, 2565), QRect(1, 3075, 2100, 0),
      QRect(1, 3420, 2100, 3990), QRect(1, 7470, 540, 540), QRect(600, 7470, 540, 540),
      QRect(1200, 7560, 840, 375)}},
    {{QRect(1, 120, 2100, 0), QRect(1, 465, 2100, 3690), QRect(1, 4200, 2100, 0),
      QRect(1, 4560, 2100, 5355), QRect(1, 9990, 540, 540), QRect(600, 9990, 540, 540),
      QRect(1200, 10080, 840, 375)}},
}};
} // namespace

QRect controlPlacement(qint16 screenClass, MainControl control) {
    return kPlacements[std::clamp<int>(screenClass, 1, 3) - 1][static_cast<int>(control)];
}

QRect restoredWindowPlace(const QRect& availablePixels, const TwipsScale& scale) {
    const QSize client(scale.toPixels(kRestoredClientWidth), scale.toPixels(kRestoredClientHeight));
    const QSize room = (availablePixels.size() - client).expandedTo(QSize(0, 0));
    return {availablePixels.topLeft() + QPoint(room.width() / 2, room.height() / 2), client};
}
