#pragma once

#include <QFont>

// A caption's font and where its line's baseline lies below the caption's top.
struct CaptionFont {
    QFont font;
    int baseline = 0;
};

// The largest pixel size of the font at which accented capitals, descenders and underscores
// (which many fonts draw below their descent) all fit the height, with the baseline that keeps
// them inside it.
CaptionFont captionFontFitting(QFont font, int heightPixels);
