#pragma once

#include "GdiObjects.h"

#include <QFont>
#include <QHash>

// Chooses the Qt font for a metafile font and gives the vertical metrics GDI would use for it.
// The metrics of common Windows faces are built in, since the substitutes found here (Nimbus,
// DejaVu) have other ascents; a font's cell height and its top-aligned text then land where the
// original put them. Other faces use the substitute's own metrics. Caches per face, so one
// mapper serves one playback (it is not shared between threads).
class FontMapper {
public:
    struct Metrics {
        double ascent = 0.9;        // in ems
        double descent = 0.2;       // in ems
        double averageWidth = 0.45; // in ems
    };

    // A font of the metafile's face and style at an integer pixel size.
    QFont font(const GdiFont& gdiFont, int pixelSize) const;
    Metrics metrics(const GdiFont& gdiFont);
    // Em height for a LOGFONT height: negative is the em height itself, positive the cell.
    double emHeight(const GdiFont& gdiFont, double height);

private:
    QHash<QString, Metrics> m_cache;
};
