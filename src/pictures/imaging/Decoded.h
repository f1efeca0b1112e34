#pragma once

#include <QImage>
#include <QString>

// What a decoder of our own gives back: an image, or why there is none.
struct Decoded {
    QImage image;
    QString error;
    // The picture's own size when the image was decoded smaller; invalid: the image's size.
    QSize naturalSize = {};
};

inline Decoded refused(const QString& why) {
    return {{}, why};
}

inline QString tooLarge(qint64 width, qint64 height) {
    return QStringLiteral("picture too large (%1 x %2 pixels)").arg(width).arg(height);
}
