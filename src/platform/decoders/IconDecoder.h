#pragma once

#include "Decoded.h"

#include <QByteArray>

// Icons and cursors.
namespace PictureDecoders {

// An icon or cursor file shows its largest image, the deepest of equally large ones; when that
// cannot be decoded, the next one. The size an entry declares must lie inside the file, but its
// image may run past it (some writers store a wrong size).
Decoded decodeIcon(const QByteArray& file);

} // namespace PictureDecoders
