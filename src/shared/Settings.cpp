#include "Settings.h"

#include "StoredFields.h"
#include "StringTable.h"

namespace {
constexpr qint16 kSmallestZoomDivisor = 2;
constexpr qint16 kLargestZoomDivisor = 4;
} // namespace

Settings Settings::startupDefaults(const QString& currentDirectory) {
    Settings s;
    StoredFields::applyStartupDefaults(s, currentDirectory);
    return s;
}

bool Settings::repairUnusableValues() {
    using StoredFields::startupNumber;
    bool repaired = false;
    if (StoredFields::geometryUnusable(*this)) {
        StoredFields::restoreGeometryDefaults(*this);
        repaired = true;
    }
    if (ZoomDivisor < kSmallestZoomDivisor || ZoomDivisor > kLargestZoomDivisor) {
        ZoomDivisor = startupNumber(&Settings::ZoomDivisor);
        repaired = true;
    }
    if (LanguageOffset != kSpanishOffset && LanguageOffset != kEnglishOffset) {
        LanguageOffset = startupNumber(&Settings::LanguageOffset);
        repaired = true;
    }
    return repaired;
}
