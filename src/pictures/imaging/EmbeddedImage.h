#pragma once

#include "Decoded.h"
#include "PictureLimits.h"

#include <QByteArrayView>

class ByteReader;

// JPEG and PNG streams held inside other files: a bitmap's pixel data, an icon's image.
namespace EmbeddedImage {

// Decodes the stream with Qt's reader for `format` ("jpeg" or "png") when the size its header
// gives is within largestPixels; a JPEG loses its surplus segments first (see JpegSegments).
Decoded decode(QByteArrayView data, const char* format,
               qint64 largestPixels = PictureLimits::kLargestPixels);

// True when the bytes hold a PNG whose chunks run whole up to its end chunk.
bool isCompletePng(const ByteReader& bytes);

} // namespace EmbeddedImage
