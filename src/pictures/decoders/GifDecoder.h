#pragma once

#include "Decoded.h"

#include <QByteArray>

namespace PictureDecoders {

// Decodes the first frame of a GIF at the size of its logical screen (GifFirstFrame, in the
// source file, says which of its images make up that frame).
Decoded decodeGif(const QByteArray& file);

} // namespace PictureDecoders
