#pragma once

#include "ByteReader.h"
#include "GdiObjects.h"

#include <QImage>

// Turns the device-independent bitmaps that metafile records carry into images. Every size is
// checked against the bytes present and against MetafileLimits::kLargestBitmapPixels before
// anything is allocated; a bitmap that fails a check gives a null image.
class DibDecoder {
public:
    enum ColorUsage { RgbColors = 0, PaletteIndices = 1, NoColorTable = 2 };

    struct Options {
        int usage = RgbColors;
        const GdiPalette* palette = nullptr; // for PaletteIndices
        bool keepAlpha = false;              // 32-bit pixels keep their fourth byte as alpha
    };

    // info: the header and its colour table; bits: the pixel data. The image comes out top row
    // first whatever the bitmap's row order.
    static QImage decode(const ByteReader& info, const ByteReader& bits, const Options& options);
    // A bitmap whose pixels follow its header and colour table directly.
    static QImage decodePacked(const ByteReader& packed, const Options& options);
    // The old device-dependent bitmap of WMF BITBLT/STRETCHBLT and pattern brushes: a 10-byte
    // head (type, width, height, bytes per row, planes, bits per pixel) and, at bitsAt, the rows,
    // top first. Only 1, 24 and 32 bits per pixel need no device palette.
    static QImage decodeDeviceDependent(const ByteReader& bitmap, qint64 bitsAt = 10);

    // The bitmap's width and height (height negative for top-down) from its header; false when
    // the header is not one we know.
    static bool headerSize(const ByteReader& info, int* width, int* height);
};
