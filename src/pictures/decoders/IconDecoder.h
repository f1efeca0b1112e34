#pragma once

#include "Decoded.h"

#include <QByteArray>

// Icons and cursors.
namespace PictureDecoders {

// An icon or cursor file shows its largest image, the deepest of equally large ones; when that
// cannot be decoded, the next one. The size an entry declares is only a hint, since writers
// often get it wrong: an image is read from its offset for as long as its own header says.
Decoded decodeIcon(const QByteArray& file);

} // namespace PictureDecoders
