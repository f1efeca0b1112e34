#include "CaptionLabel.h"

#include <QFontMetrics>
#include <QPainter>
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

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText); // a file named like markup is shown as it is named
}

void CaptionLabel::setCaptionFont(const CaptionFont& captionFont) {
    setFont(captionFont.font);
    m_baseline = captionFont.baseline;
    update();
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPoint(0, m_baseline), text());
}
