#pragma once

#include "PictureLoader.h"

#include <QImage>
#include <QString>

// What the decoders of our own share: their result and the pixel limit every size is checked
// against before anything is allocated (the loader's own limit).
namespace PictureDecoders {

using PictureLoader::kLargestNaturalPixels;

inline bool withinPixelLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kLargestNaturalPixels &&
           height <= kLargestNaturalPixels && width * height <= kLargestNaturalPixels;
}

// What a decoder of our own gives back: an image, or why there is none.
struct Decoded {
    QImage image;
    QString error;
};

inline Decoded refused(const QString& why) {
    return {{}, why};
}

inline QString tooLarge(qint64 width, qint64 height) {
    return QStringLiteral("picture too large (%1 x %2 pixels)").arg(width).arg(height);
}

} // namespace PictureDecoders
