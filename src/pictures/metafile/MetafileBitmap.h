#pragma once

#include "GdiObjects.h"

#include <QImage>

class ByteReader;

// The bitmaps that metafile records carry, turned into images (top row first) by the shared
// bitmap decoder; a bitmap that cannot be decoded, or is larger than
// MetafileLimits::kLargestBitmapPixels, gives a null image. What is the metafile's own: colour
// tables of palette indices, resolved through the selected palette; monochrome bitmaps stored
// without colours; and alpha, which only AlphaBlend's per-pixel blending sees (GDI draws every
// other bitmap opaque).
namespace MetafileBitmap {

enum ColourUsage { RgbColours = 0, PaletteIndices = 1, NoColourTable = 2 };

struct Options {
    int usage = RgbColours;
    const GdiPalette* palette = nullptr; // for PaletteIndices
    bool keepAlpha = false;              // the alpha bits are the pixels' opacity
};

// info: the header and its colour table; bits: the pixel data.
QImage decode(const ByteReader& info, const ByteReader& bits, const Options& options);
// A bitmap whose pixels follow its header and colour table directly.
QImage decodePacked(const ByteReader& packed, const Options& options);
// The old device-dependent bitmap of WMF BITBLT/STRETCHBLT and pattern brushes: a 10-byte head
// (type, width, height, bytes per row, planes, bits per pixel) and, at bitsAt, the rows, top
// first. Only 1, 24 and 32 bits per pixel need no device palette.
QImage decodeDeviceDependent(const ByteReader& bitmap, qint64 bitsAt = 10);

// True when the header says the rows are stored bottom row first (a positive height).
bool storedBottomUp(const ByteReader& info);

} // namespace MetafileBitmap
