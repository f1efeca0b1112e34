#pragma once

#include "ByteReader.h"
#include "Decoded.h"
#include "PictureLimits.h"

#include <QRgb>

#include <array>
#include <bit>
#include <optional>
#include <vector>

// Device-independent bitmaps: the pixels of BMP and DIB files, of icon images and of the bitmaps
// metafile records carry. Every size is checked against the bytes present and the pixel limit
// before anything is allocated.
namespace Dib {

enum Compression : quint32 {
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

// How an indexed bitmap's colour table is stored.
enum class ColourTable {
    Colours, // colours: 4-byte quads, or 3-byte triples after the oldest (12-byte) header
    Indices, // 16-bit indices into a palette the caller resolves (palette is left empty)
    Absent,  // no table; the caller supplies the colours
};

// What the alpha bits of a pixel (a 32-bit pixel's fourth byte, or an alpha mask) mean.
enum class Opacity {
    FromPixels, // opacity, unless every pixel's is zero: such files carry an unused byte
    Kept,       // opacity, as stored
    Ignored,    // nothing: every pixel is opaque
};

struct HeaderOptions {
    qint64 pixelOffset = -1; // from a file header; -1: the pixels follow the colour table
    bool inIcon = false;     // the stored height covers the picture and its mask
    ColourTable table = ColourTable::Colours;
    qint64 largestPixels = PictureLimits::kLargestPixels;
};

// Where the parts of a bitmap lie and how its pixels are stored, read from its headers.
struct Layout {
    qint64 width = 0;
    qint64 height = 0; // rows of the picture (half the stored height inside an icon)
    bool topDown = false;
    int bits = 0;
    quint32 compression = Uncompressed;
    std::array<Channel, 4> channels; // red, green, blue, alpha
    std::vector<QRgb> palette;       // indices past its end read as black
    qint64 tableAt = 0;              // the colour table, in the bytes the header was read from
    qint64 tableEntries = 0;
    qint64 pixelsAt = 0; // the first pixel byte, in the same bytes
    qint64 largestPixels = PictureLimits::kLargestPixels;
};

// True for the sizes of the information headers that a bitmap without a file header may start
// with (a bare DIB, the image of an icon).
bool isInfoHeaderSize(quint32 size);

// Reads the headers of a bitmap whose information header starts at infoAt.
std::optional<Layout> readLayout(const ByteReader& bytes, qint64 infoAt,
                                 const HeaderOptions& options, QString& error);

// Bytes in one stored row of pixels, padded to a multiple of four.
qint64 bytesPerRow(qint64 width, int bits);

// The index of pixel x in a row of packed indices of 1, 2, 4 or 8 bits.
int indexAt(const uchar* row, qint64 x, int bits);

// Decodes the pixels, which start at the first byte of `pixels`, as the layout says. The image
// comes out top row first whatever the bitmap's row order.
Decoded decodePixels(const ByteReader& pixels, const Layout& layout, Opacity opacity);

// A bitmap file ("BM", file header first) or a bare DIB (information header first). With a
// bound, run-length pixels are decoded straight at the size that fits in it (see fittedSize),
// each pixel the average of those it covers, so a small file that claims a huge picture costs
// only the memory of what is shown; other bitmaps are decoded whole.
Decoded decodeFile(const QByteArray& file, bool withFileHeader, QSize bound = {});

// The ICC profile embedded in a bitmap with a version 5 header (which stores its offset from
// the start of the information header); empty for other headers, a linked profile, or one that
// lies outside the file or past PictureLimits::kLargestColourProfileBytes.
QByteArray embeddedProfile(const QByteArray& file, bool withFileHeader);

} // namespace Dib
