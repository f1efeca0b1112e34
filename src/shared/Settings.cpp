#include "Settings.h"

#include "StringTable.h"

namespace {
constexpr qint16 kDefaultThumbHeight = 500;
constexpr qint16 kDefaultThumbWidth = 500;
constexpr qint16 kDefaultCaptionWidth = 910;
constexpr qint16 kDefaultSpacingH = 420;
constexpr qint16 kDefaultSpacingV = 380;
constexpr qint16 kDefaultZoomDivisor = 2;
constexpr qint16 kSmallestZoomDivisor = 2;
constexpr qint16 kLargestZoomDivisor = 4;
} // namespace

Settings Settings::startupDefaults(const QString& currentDirectory) {
    Settings s;
    s.CurrentFolder = currentDirectory;
    s.CopyFolder = currentDirectory;
    s.ThumbHeight = kDefaultThumbHeight;
    s.ThumbWidth = kDefaultThumbWidth;
    s.CaptionWidth = kDefaultCaptionWidth;
    s.SpacingH = kDefaultSpacingH;
    s.SpacingV = kDefaultSpacingV;
    s.LanguageOffset = kSpanishOffset;
    s.ZoomDivisor = kDefaultZoomDivisor;
    return s;
}

bool Settings::repairUnusableValues() {
    bool repaired = false;
    if (ThumbHeight < 1 || ThumbWidth < 1 || SpacingH < 0 || SpacingV < 0 || CaptionWidth < 0) {
        ThumbHeight = kDefaultThumbHeight;
        ThumbWidth = kDefaultThumbWidth;
        CaptionWidth = kDefaultCaptionWidth;
        SpacingH = kDefaultSpacingH;
        SpacingV = kDefaultSpacingV;
        repaired = true;
    }
    if (ZoomDivisor < kSmallestZoomDivisor || ZoomDivisor > kLargestZoomDivisor) {
        ZoomDivisor = kDefaultZoomDivisor;
        repaired = true;
    }
    if (LanguageOffset != kSpanishOffset && LanguageOffset != kEnglishOffset) {
        LanguageOffset = kSpanishOffset;
        repaired = true;
    }
    return repaired;
}
