#pragma once

#include "Decoded.h"

#include <QByteArray>

namespace PictureDecoders {

// The first frame of a GIF: the images up to the first one shown for a while (one with a
// delay), drawn over a transparent screen; images with no delay build a frame together.
Decoded decodeGif(const QByteArray& file);

} // namespace PictureDecoders
