#include "CaptionFont.h"

#include <QFontMetrics>
#include <algorithm>

CaptionFont captionFontFitting(QFont font, int heightPixels) {
    const QString tallestInk = QString::fromUtf16(u"ÁÉÑgjpqy_|");
    for (int size = heightPixels; size > 1; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect ink = metrics.tightBoundingRect(tallestInk);
        const int above = std::max(metrics.ascent(), -ink.top());
        const int below = std::max(metrics.descent(), ink.bottom() + 1);
        if (above + below <= heightPixels)
            return {font, above};
    }
    font.setPixelSize(1);
    return {font, 1};
}
