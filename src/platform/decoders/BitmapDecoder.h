#pragma once

#include "ByteRange.h"
#include "Decoded.h"

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <array>
#include <bit>
#include <optional>
#include <vector>

// Bitmaps (BMP, DIB, RLE) and the bitmaps inside icons.
namespace PictureDecoders {

enum BitmapCompression : quint32 {
    Uncompressed = 0,
    RunLength8 = 1,
    RunLength4 = 2,
    BitFields = 3,
    EmbeddedJpeg = 4,
    EmbeddedPng = 5,
    AlphaBitFields = 6,
    RunLength24 = 0x100, // OS/2's code 4 with 24 bits a pixel, renumbered so it is distinct
    Huffman1D = 0x101,   // OS/2's code 3 with 1 bit a pixel
};

// One colour channel of a bit-field pixel: the bits of the mask as a level of 0 to 255. Fewer
// than 8 bits are stretched over the whole range (31 of 5 bits is 255); more are cut to their
// top 8 bits.
class Channel {
public:
    Channel() = default;
    explicit Channel(quint32 mask)
        : m_mask(mask), m_shift(mask ? std::countr_zero(mask) : 0), m_max(mask >> m_shift) {}

    bool present() const { return m_max != 0; }
    int value(quint32 pixel) const {
        if (m_max == 0)
            return 0;
        const quint64 v = (pixel & m_mask) >> m_shift;
        if (m_width > 8)
            return static_cast<int>(v >> (m_width - 8));
        return static_cast<int>((v * 255 + m_max / 2) / m_max);
    }

private:
    quint32 m_mask = 0;
    int m_shift = 0;
    quint64 m_max = 0;
    int m_width = static_cast<int>(std::bit_width(m_max));
};

// Where the parts of a bitmap lie and how its pixels are stored, read from its headers.
struct BitmapLayout {
    qint64 width = 0;
    qint64 height = 0; // rows of the picture (half the stored height inside an icon)
    bool topDown = false;
    int bits = 0;
    quint32 compression = Uncompressed;
    std::array<Channel, 4> channels; // red, green, blue, alpha
    std::vector<QRgb> palette;       // opaque colours; indices past its end read as black
    qint64 pixelsAt = 0;
};

// True for the sizes of the information headers that a bitmap without a file header may start
// with (a bare DIB, the image of an icon).
bool isBitmapInfoSize(quint32 size);

// Reads the headers of a bitmap whose information header starts at infoAt. fileOffset is the
// pixel offset that a file header gives, or -1 for a bare DIB, whose pixels follow its colour
// table. Inside an icon the stored height covers the picture and its mask.
std::optional<BitmapLayout> readBitmapLayout(ByteRange bytes, qint64 infoAt, qint64 fileOffset,
                                             bool inIcon, QString& error);

// Bytes in one stored row of pixels, padded to a multiple of four.
qint64 bytesPerRow(qint64 width, int bits);

// The index of pixel x in a row of packed indices of 1, 2, 4 or 8 bits.
int indexAt(const uchar* row, qint64 x, int bits);

// Decodes uncompressed pixels: packed palette indices, 24-bit colours, or 16 and 32-bit pixels
// split by their channel masks.
Decoded decodeUncompressed(ByteRange bytes, const BitmapLayout& layout);

// Decodes the pixels of a bitmap whose layout has been read, as its compression says.
Decoded decodeBitmapBody(ByteRange bytes, const BitmapLayout& layout);

// A bitmap file ("BM", file header first) or a bare DIB (information header first).
Decoded decodeBitmap(const QByteArray& file, bool withFileHeader);

} // namespace PictureDecoders
