#pragma once

#include <QSize>

// The size a picture of `natural` pixels is decoded at within a bound: the largest that fits in
// it with the picture's proportions kept, never larger than the picture itself, at least one
// pixel each way; the natural size when the bound is invalid or empty.
inline QSize fittedSize(QSize natural, QSize bound) {
    if (!bound.isValid() || bound.isEmpty())
        return natural;
    if (natural.width() <= bound.width() && natural.height() <= bound.height())
        return natural;
    return natural.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}
