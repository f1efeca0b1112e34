#pragma once

#include <QFont>
#include <QLabel>

// A caption's font and where its line's baseline lies below the caption's top.
struct CaptionFont {
    QFont font;
    int baseline = 0;
};

// The largest pixel size of the font at which accented capitals, descenders and underscores
// (which many fonts draw below their descent) all fit the height, with the baseline that keeps
// them inside it.
CaptionFont captionFontFitting(QFont font, int heightPixels);

// A thumbnail's caption: one line of plain text whose whole ink shows. A plain QLabel clips its
// text to the font's line, which cuts accents that rise above the font's ascent; this one draws
// its line at the baseline of its caption font.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    void setCaptionFont(const CaptionFont& captionFont);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_baseline = 0;
};
