#include "PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

// JPEG and the metafiles are decoded by Qt's readers, which can decode at a reduced size.
// Bitmaps, icons and GIFs are decoded here: Qt's readers for them accept truncated files,
// allocate from sizes the file only claims, misread several valid bitmap variants (bit-field
// colours, 2-bit palettes, version 2 and 3 headers, 24-bit run lengths) and show only the first
// entry of an icon. The decoders below check every size against the file and the pixel limit
// before they allocate anything.

namespace PictureLoader {
namespace {

constexpr qint64 kHeadBytes = 64;
// Files that are read whole into memory: bitmaps, icons and GIFs are never near this large.
constexpr qint64 kLargestReadBytes = qint64(1) << 30;

// Little-endian fields of a byte range; reads past its end give zero, so a caller checks the
// range's size once instead of before every field.
class Bytes {
public:
    Bytes() = default;
    Bytes(const char* data, qsizetype size)
        : m_data(reinterpret_cast<const uchar*>(data)), m_size(size) {}
    explicit Bytes(const QByteArray& bytes) : Bytes(bytes.constData(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    const uchar* data() const { return m_data; }
    bool has(qint64 at, qint64 count) const {
        return at >= 0 && count >= 0 && at + count <= m_size;
    }
    quint8 u8(qint64 at) const { return has(at, 1) ? m_data[at] : 0; }
    quint16 le16(qint64 at) const {
        return has(at, 2) ? qFromLittleEndian<quint16>(m_data + at) : 0;
    }
    quint32 le32(qint64 at) const {
        return has(at, 4) ? qFromLittleEndian<quint32>(m_data + at) : 0;
    }
    quint32 be32(qint64 at) const { return has(at, 4) ? qFromBigEndian<quint32>(m_data + at) : 0; }
    // The part from at on (count bytes, or up to the end), empty when at lies outside.
    Bytes mid(qint64 at, qint64 count = -1) const {
        if (at < 0 || at > m_size)
            return {};
        const qint64 rest = m_size - at;
        return {reinterpret_cast<const char*>(m_data + at),
                count < 0 ? rest : std::min(count, rest)};
    }
    QByteArray toByteArray() const {
        return QByteArray::fromRawData(reinterpret_cast<const char*>(m_data), m_size);
    }

private:
    const uchar* m_data = nullptr;
    qsizetype m_size = 0;
};

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return Bytes(bytes).le32(at);
}
quint16 le16(const QByteArray& bytes, qsizetype at) {
    return Bytes(bytes).le16(at);
}

bool isBitmapInfoSize(quint32 size) {
    switch (size) {
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

// A bitmap information header without the file header before it, as the clipboard keeps it.
bool isHeaderlessDib(const QByteArray& head) {
    if (!isBitmapInfoSize(le32(head, 0)))
        return false;
    const qint32 width = static_cast<qint32>(le32(head, 4));
    const quint16 planes = le16(head, 12);
    const quint16 bits = le16(head, 14);
    const bool knownDepth =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return width > 0 && planes == 1 && knownDepth;
}

bool withinPixelLimit(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kLargestNaturalPixels &&
           height <= kLargestNaturalPixels && width * height <= kLargestNaturalPixels;
}

// What a decoder of our own gives back: an image, or why there is none.
struct Decoded {
    QImage image;
    QString error;
};

Decoded refused(const QString& why) {
    return {{}, why};
}

QString tooLarge(qint64 width, qint64 height) {
    return QStringLiteral("picture too large (%1 x %2 pixels)").arg(width).arg(height);
}

// ----- Bitmaps (BMP, DIB, RLE) and the bitmaps inside icons -----

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

// Reads the headers of a bitmap whose information header starts at infoAt. fileOffset is the
// pixel offset that a file header gives, or -1 for a bare DIB, whose pixels follow its colour
// table. Inside an icon the stored height covers the picture and its mask.
std::optional<BitmapLayout> readBitmapLayout(Bytes bytes, qint64 infoAt, qint64 fileOffset,
                                             bool inIcon, QString& error) {
    if (!bytes.has(infoAt, 4)) {
        error = QStringLiteral("truncated bitmap header");
        return std::nullopt;
    }
    const quint32 infoSize = bytes.le32(infoAt);
    const bool core = infoSize == 12;
    if (!core && (infoSize < 16 || infoSize > 1024)) {
        error = QStringLiteral("unknown bitmap header of %1 bytes").arg(infoSize);
        return std::nullopt;
    }
    if (!bytes.has(infoAt, infoSize)) {
        error = QStringLiteral("truncated bitmap header");
        return std::nullopt;
    }
    // The OS/2 headers are those of 12 and of 16 to 64 bytes other than Windows's 40, 52, 56.
    const bool os2 = core || (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize <= 64);

    BitmapLayout layout;
    qint64 storedHeight;
    if (core) {
        layout.width = bytes.le16(infoAt + 4);
        storedHeight = bytes.le16(infoAt + 6);
        layout.bits = bytes.le16(infoAt + 10);
    } else {
        layout.width = static_cast<qint32>(bytes.le32(infoAt + 4));
        storedHeight = static_cast<qint32>(bytes.le32(infoAt + 8));
        layout.bits = bytes.le16(infoAt + 14);
    }
    const quint32 rawCompression = infoSize >= 20 ? bytes.le32(infoAt + 16) : 0;
    const quint32 coloursUsed = infoSize >= 36 ? bytes.le32(infoAt + 32) : 0;

    layout.topDown = storedHeight < 0;
    layout.height = qAbs(storedHeight);
    if (inIcon)
        layout.height /= 2;
    if (!withinPixelLimit(layout.width, layout.height)) {
        error = layout.width <= 0 || layout.height <= 0 ? QStringLiteral("empty bitmap")
                                                        : tooLarge(layout.width, layout.height);
        return std::nullopt;
    }

    layout.compression = rawCompression;
    if (os2 && rawCompression == 3)
        layout.compression = Huffman1D;
    else if (os2 && rawCompression == 4)
        layout.compression = RunLength24;

    const int b = layout.bits;
    bool supported = false;
    switch (layout.compression) {
    case Uncompressed:
        supported = b == 1 || b == 2 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32;
        break;
    case RunLength8:
        supported = b == 8;
        break;
    case RunLength4:
        supported = b == 4;
        break;
    case RunLength24:
        supported = b == 24;
        break;
    case BitFields:
    case AlphaBitFields:
        supported = b == 16 || b == 32;
        break;
    case EmbeddedJpeg:
    case EmbeddedPng:
        supported = !inIcon;
        break;
    default:
        break;
    }
    if (!supported) {
        error = QStringLiteral("unsupported bitmap (%1 bits a pixel, compression %2)")
                    .arg(b)
                    .arg(rawCompression);
        return std::nullopt;
    }

    // Colour masks: inside headers of 52 bytes and more, else after a 40-byte header.
    qint64 tableAt = infoAt + infoSize;
    quint32 masks[4] = {0, 0, 0, 0};
    if (layout.compression == BitFields || layout.compression == AlphaBitFields) {
        const int count = layout.compression == AlphaBitFields ? 4 : 3;
        qint64 masksAt = infoAt + 40;
        if (infoSize == 40) {
            masksAt = tableAt;
            tableAt += 4 * count;
        }
        for (int i = 0; i < 4; ++i)
            if (i < count || infoSize >= 56)
                masks[i] = bytes.le32(masksAt + 4 * i);
        if (!bytes.has(masksAt, 4 * count)) {
            error = QStringLiteral("truncated bitmap colour masks");
            return std::nullopt;
        }
    } else if (b == 16) {
        masks[0] = 0x7c00;
        masks[1] = 0x03e0;
        masks[2] = 0x001f;
    } else if (b == 32) {
        // The fourth byte is the opacity, unless it is zero everywhere (see dropUnusedAlpha).
        masks[0] = 0x00ff0000;
        masks[1] = 0x0000ff00;
        masks[2] = 0x000000ff;
        masks[3] = 0xff000000;
    }
    for (int i = 0; i < 4; ++i)
        layout.channels[i] = Channel(masks[i]);

    // The colour table: as many entries as the header says, limited by where the pixels start.
    // A table larger than the pixels can index is a damaged header.
    const int entrySize = core ? 3 : 4;
    const bool indexed = b >= 1 && b <= 8; // 0 bits: the pixels are an embedded JPEG or PNG
    if (indexed && coloursUsed > (quint32(1) << b)) {
        error = QStringLiteral("bitmap colour table of %1 entries for %2-bit pixels")
                    .arg(coloursUsed)
                    .arg(b);
        return std::nullopt;
    }
    qint64 entries = indexed ? (coloursUsed != 0 ? coloursUsed : qint64(1) << b) : coloursUsed;
    if (core)
        entries = indexed ? qint64(1) << b : 0;
    // A pixel offset inside the table shortens it (OS/2 files store only the colours they use);
    // one that points back into the headers, or leaves indexed pixels no colour, is ignored.
    const bool offsetUsable = fileOffset > tableAt || (fileOffset == tableAt && !indexed);
    if (offsetUsable)
        entries = std::min(entries, (fileOffset - tableAt) / entrySize);
    if (!bytes.has(tableAt, entries * entrySize)) {
        error = QStringLiteral("truncated bitmap colour table");
        return std::nullopt;
    }
    if (indexed) {
        const qint64 used = std::min<qint64>(entries, 256);
        layout.palette.reserve(static_cast<size_t>(used));
        for (qint64 i = 0; i < used; ++i) {
            const qint64 at = tableAt + i * entrySize;
            layout.palette.push_back(qRgb(bytes.u8(at + 2), bytes.u8(at + 1), bytes.u8(at)));
        }
    }

    const qint64 tableEnd = tableAt + entries * entrySize;
    layout.pixelsAt = offsetUsable ? fileOffset : tableEnd;
    if (layout.pixelsAt > bytes.size()) {
        error = QStringLiteral("bitmap pixel data past the end of the file");
        return std::nullopt;
    }
    return layout;
}

qint64 bytesPerRow(qint64 width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

// The index of pixel x in a row of packed indices of 1, 2, 4 or 8 bits.
int indexAt(const uchar* row, qint64 x, int bits) {
    const qint64 bit = x * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

QRgb paletteColour(const std::vector<QRgb>& palette, int index) {
    return index < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(index)]
                                                    : qRgb(0, 0, 0);
}

// Makes a picture with an alpha channel opaque when every pixel of it is fully transparent:
// such files carry no opacity at all, only an unused byte.
void dropUnusedAlpha(QImage& image) {
    if (!image.hasAlphaChannel())
        return;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0)
                return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xff000000u;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
}

QImage newImage(const BitmapLayout& layout, bool alpha) {
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height),
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(alpha ? 0u : 0xff000000u);
    return image;
}

Decoded decodeUncompressed(Bytes bytes, const BitmapLayout& layout) {
    const qint64 stride = bytesPerRow(layout.width, layout.bits);
    const qint64 lastRow = (layout.width * layout.bits + 7) / 8;
    if (!bytes.has(layout.pixelsAt, stride * (layout.height - 1) + lastRow))
        return refused(QStringLiteral("truncated bitmap pixel data"));

    const bool alpha = layout.bits >= 16 && layout.channels[3].present();
    QImage image = newImage(layout, alpha);
    if (image.isNull())
        return refused(QStringLiteral("not enough memory for the picture"));
    const auto& [red, green, blue, opacity] = layout.channels;
    for (qint64 row = 0; row < layout.height; ++row) {
        const uchar* in = bytes.data() + layout.pixelsAt + row * stride;
        const int y = static_cast<int>(layout.topDown ? row : layout.height - 1 - row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint64 x = 0; x < layout.width; ++x) {
            switch (layout.bits) {
            case 16:
            case 32: {
                const quint32 p = layout.bits == 16 ? qFromLittleEndian<quint16>(in + 2 * x)
                                                    : qFromLittleEndian<quint32>(in + 4 * x);
                out[x] = qRgba(red.value(p), green.value(p), blue.value(p),
                               alpha ? opacity.value(p) : 255);
                break;
            }
            case 24:
                out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
                break;
            default:
                out[x] = paletteColour(layout.palette, indexAt(in, x, layout.bits));
                break;
            }
        }
    }
    if (alpha)
        dropUnusedAlpha(image);
    return {image, {}};
}

// Walks run-length data (8-bit, 4-bit or 24-bit), calling put(x, row, colour) for every pixel
// inside the picture; row counts from the first stored row. True when the data ends as a
// complete picture: an end-of-bitmap code, or every row reached. Runs past the end of a row are
// clipped; pixels the data skips keep their colour.
template <typename Put> bool walkRunLength(Bytes data, const BitmapLayout& layout, Put&& put) {
    const int bits = layout.compression == RunLength8   ? 8
                     : layout.compression == RunLength4 ? 4
                                                        : 24;
    qint64 at = 0;
    qint64 x = 0;
    qint64 row = 0;
    auto colourOf = [&](qint64 from, int nibble) -> QRgb {
        if (bits == 24)
            return qRgb(data.u8(from + 2), data.u8(from + 1), data.u8(from));
        const int byte = data.u8(from);
        return paletteColour(layout.palette, bits == 8     ? byte
                                             : nibble == 0 ? byte >> 4
                                                           : byte & 15);
    };
    while (row < layout.height) {
        if (!data.has(at, 2))
            return false;
        const int count = data.u8(at);
        const int code = data.u8(at + 1);
        if (count > 0) { // a run of one colour (two alternating colours at 4 bits)
            if (bits == 24 && !data.has(at + 1, 3))
                return false;
            for (int i = 0; i < count; ++i, ++x)
                if (x < layout.width)
                    put(x, row, colourOf(at + 1, i % 2));
            at += bits == 24 ? 4 : 2;
            continue;
        }
        at += 2;
        if (code == 0) { // end of row
            x = 0;
            ++row;
        } else if (code == 1) { // end of bitmap
            return true;
        } else if (code == 2) { // move right and up
            if (!data.has(at, 2))
                return false;
            x += data.u8(at);
            row += data.u8(at + 1);
            at += 2;
        } else { // a literal run of code pixels, padded to an even number of bytes
            const qint64 length = bits == 24 ? qint64(code) * 3 : (qint64(code) * bits + 7) / 8;
            if (!data.has(at, length))
                return false;
            for (int i = 0; i < code; ++i, ++x)
                if (x < layout.width)
                    put(x, row,
                        bits == 4 ? colourOf(at + i / 2, i % 2)
                                  : colourOf(at + qint64(i) * (bits / 8), 0));
            at += length + (length & 1);
        }
    }
    return true;
}

Decoded decodeRunLength(Bytes bytes, const BitmapLayout& layout) {
    const Bytes data = bytes.mid(layout.pixelsAt);
    // A first walk proves the data complete before any pixel memory is taken.
    if (!walkRunLength(data, layout, [](qint64, qint64, QRgb) {}))
        return refused(QStringLiteral("truncated run-length bitmap data"));
    QImage image = newImage(layout, false);
    if (image.isNull())
        return refused(QStringLiteral("not enough memory for the picture"));
    walkRunLength(data, layout, [&](qint64 x, qint64 row, QRgb colour) {
        const qint64 y = layout.topDown ? row : layout.height - 1 - row;
        reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)))[x] = colour;
    });
    return {image, {}};
}

// A JPEG or PNG stream stored as a bitmap's pixel data.
Decoded decodeEmbedded(Bytes bytes, const BitmapLayout& layout) {
    QByteArray data = bytes.mid(layout.pixelsAt).toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, layout.compression == EmbeddedJpeg ? "jpeg" : "png");
    const QSize size = reader.size();
    if (!withinPixelLimit(size.width(), size.height()))
        return refused(QStringLiteral("unreadable picture inside the bitmap"));
    QImage image = reader.read();
    if (image.isNull())
        return refused(QStringLiteral("cannot decode the picture inside the bitmap: ") +
                       reader.errorString());
    return {image, {}};
}

Decoded decodeBitmapBody(Bytes bytes, const BitmapLayout& layout) {
    switch (layout.compression) {
    case RunLength8:
    case RunLength4:
    case RunLength24:
        return decodeRunLength(bytes, layout);
    case EmbeddedJpeg:
    case EmbeddedPng:
        return decodeEmbedded(bytes, layout);
    default:
        return decodeUncompressed(bytes, layout);
    }
}

// A bitmap file ("BM", file header first) or a bare DIB (information header first).
Decoded decodeBitmap(const QByteArray& file, bool withFileHeader) {
    const Bytes bytes(file);
    QString error;
    const qint64 infoAt = withFileHeader ? 14 : 0;
    const qint64 offset = withFileHeader ? qint64(bytes.le32(10)) : -1;
    const auto layout = readBitmapLayout(bytes, infoAt, offset, false, error);
    if (!layout)
        return refused(error);
    return decodeBitmapBody(bytes, *layout);
}

// ----- Icons and cursors -----

struct IconEntry {
    Bytes payload;
    bool png = false;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
};

// The size and depth an icon image declares in its own header (the directory's may be wrong).
std::optional<IconEntry> readIconEntry(Bytes payload) {
    IconEntry entry;
    entry.payload = payload;
    if (payload.size() >= 24 && payload.be32(0) == 0x89504e47u && payload.be32(4) == 0x0d0a1a0au) {
        entry.png = true;
        entry.width = payload.be32(16);
        entry.height = payload.be32(20);
        entry.bits = 32;
    } else if (isBitmapInfoSize(payload.le32(0)) && payload.size() >= 40) {
        entry.width = static_cast<qint32>(payload.le32(4));
        entry.height = qAbs(static_cast<qint64>(static_cast<qint32>(payload.le32(8)))) / 2;
        entry.bits = payload.le16(14);
    } else {
        return std::nullopt;
    }
    if (!withinPixelLimit(entry.width, entry.height))
        return std::nullopt;
    return entry;
}

// Applies an icon's AND mask (one bit a pixel, set where the picture is transparent) that
// follows the colour pixels, when the colour pixels carry no opacity of their own.
void applyIconMask(Bytes payload, const BitmapLayout& layout, QImage& image) {
    if (image.hasAlphaChannel())
        return;
    const qint64 colourBytes = bytesPerRow(layout.width, layout.bits) * layout.height;
    const qint64 maskStride = bytesPerRow(layout.width, 1);
    const qint64 maskAt = layout.pixelsAt + colourBytes;
    if (!payload.has(maskAt, maskStride * layout.height))
        return; // no mask stored: the picture stays opaque
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (qint64 row = 0; row < layout.height; ++row) {
        const uchar* mask = payload.data() + maskAt + row * maskStride;
        const int y = static_cast<int>(layout.topDown ? row : layout.height - 1 - row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint64 x = 0; x < layout.width; ++x)
            if (indexAt(mask, x, 1))
                out[x] = 0;
    }
}

Decoded decodeIconImage(const IconEntry& entry) {
    if (entry.png) {
        QByteArray data = entry.payload.toByteArray();
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        QImage image = reader.read();
        if (image.isNull())
            return refused(QStringLiteral("cannot decode the icon's PNG image: ") +
                           reader.errorString());
        return {image, {}};
    }
    QString error;
    const auto layout = readBitmapLayout(entry.payload, 0, -1, true, error);
    if (!layout)
        return refused(error);
    if (layout->compression != Uncompressed && layout->compression != BitFields)
        return decodeBitmapBody(entry.payload, *layout);
    Decoded decoded = decodeUncompressed(entry.payload, *layout);
    if (!decoded.image.isNull())
        applyIconMask(entry.payload, *layout, decoded.image);
    return decoded;
}

// An icon or cursor file shows its largest image, the deepest of equally large ones; when that
// cannot be decoded, the next one. The size an entry declares must lie inside the file, but its
// image may run past it (some writers store a wrong size).
Decoded decodeIcon(const QByteArray& file) {
    const Bytes bytes(file);
    const qint64 count = bytes.le16(4);
    const qint64 directoryEnd = 6 + count * 16;
    if (count == 0 || !bytes.has(6, count * 16))
        return refused(QStringLiteral("truncated icon directory"));
    std::vector<IconEntry> entries;
    for (qint64 at = 6; at < directoryEnd; at += 16) {
        const qint64 size = bytes.le32(at + 8);
        const qint64 offset = bytes.le32(at + 12);
        if (offset < directoryEnd || !bytes.has(offset, size))
            continue;
        if (const auto entry = readIconEntry(bytes.mid(offset)))
            entries.push_back(*entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IconEntry& a, const IconEntry& b) {
        const qint64 areaA = a.width * a.height;
        const qint64 areaB = b.width * b.height;
        return areaA != areaB ? areaA > areaB : a.bits > b.bits;
    });
    QString firstError = QStringLiteral("no readable image in the icon");
    for (const IconEntry& entry : entries) {
        Decoded decoded = decodeIconImage(entry);
        if (!decoded.image.isNull())
            return decoded;
        if (&entry == &entries.front())
            firstError = decoded.error;
    }
    return refused(firstError);
}

// ----- GIF: the first frame -----

// The first frame of a GIF: the images up to the first one shown for a while (one with a
// delay), drawn over a transparent screen; images with no delay build a frame together.
class GifFirstFrame {
public:
    explicit GifFirstFrame(const QByteArray& file) : m_bytes(file) {}

    Decoded decode() {
        m_width = m_bytes.le16(6);
        m_height = m_bytes.le16(8);
        if (m_width == 0 || m_height == 0)
            return refused(QStringLiteral("the GIF has an empty screen"));
        const quint8 flags = m_bytes.u8(10);
        qint64 at = 13;
        if (flags & 0x80) {
            m_globalColours = readColourTable(at, flags);
            at += 3 * (qint64(2) << (flags & 7));
        }
        if (const QString bomb = checkExtents(at); !bomb.isEmpty())
            return refused(bomb);

        QImage canvas(m_width, m_height, QImage::Format_ARGB32);
        if (canvas.isNull())
            return refused(QStringLiteral("not enough memory for the picture"));
        canvas.fill(0u);
        int delay = 0;
        int transparent = -1;
        while (m_bytes.has(at, 1)) {
            const quint8 block = m_bytes.u8(at);
            if (block == 0x21) { // extension
                if (m_bytes.u8(at + 1) == 0xf9 && m_bytes.u8(at + 2) >= 4) {
                    const quint8 control = m_bytes.u8(at + 3);
                    delay = m_bytes.le16(at + 4);
                    transparent = (control & 1) ? m_bytes.u8(at + 6) : -1;
                }
                at = skipSubBlocks(at + 2);
            } else if (block == 0x2c) { // image
                const QString error = drawImage(at, transparent, canvas);
                if (!error.isEmpty())
                    return refused(error);
                if (delay > 0)
                    break;
                delay = 0;
                transparent = -1;
            } else { // the trailer, or bytes that are no block: the frame ends here
                break;
            }
        }
        return {canvas, {}};
    }

private:
    std::vector<QRgb> readColourTable(qint64 at, quint8 flags) const {
        const int entries = 2 << (flags & 7);
        std::vector<QRgb> colours;
        for (int i = 0; i < entries && m_bytes.has(at + 3 * i, 3); ++i)
            colours.push_back(qRgb(m_bytes.u8(at + 3 * i), m_bytes.u8(at + 3 * i + 1),
                                   m_bytes.u8(at + 3 * i + 2)));
        return colours;
    }

    // The position after a chain of data sub-blocks and its terminator.
    qint64 skipSubBlocks(qint64 at) const {
        while (m_bytes.has(at, 1) && m_bytes.u8(at) != 0)
            at += 1 + m_bytes.u8(at);
        return at + 1;
    }

    // Refuses a file whose screen, or the area that its screen and images span together,
    // exceeds the pixel limit: readers that grow the screen to hold every image would need it.
    QString checkExtents(qint64 at) const {
        qint64 right = m_width;
        qint64 bottom = m_height;
        if (!withinPixelLimit(right, bottom))
            return tooLarge(right, bottom);
        while (m_bytes.has(at, 1)) {
            const quint8 block = m_bytes.u8(at);
            if (block == 0x21) {
                at = skipSubBlocks(at + 2);
            } else if (block == 0x2c) {
                right =
                    std::max<qint64>(right, m_bytes.le16(at + 1) + qint64(m_bytes.le16(at + 5)));
                bottom =
                    std::max<qint64>(bottom, m_bytes.le16(at + 3) + qint64(m_bytes.le16(at + 7)));
                const quint8 flags = m_bytes.u8(at + 9);
                at += 10;
                if (flags & 0x80)
                    at += 3 * (qint64(2) << (flags & 7));
                at = skipSubBlocks(at + 1);
            } else {
                break;
            }
        }
        if (!withinPixelLimit(right, bottom))
            return QStringLiteral("GIF images reach beyond %1 x %2 pixels").arg(right).arg(bottom);
        return {};
    }

    // Decodes the image whose descriptor starts at `at` onto the canvas and moves `at` past it.
    QString drawImage(qint64& at, int transparent, QImage& canvas) {
        const int left = m_bytes.le16(at + 1);
        const int top = m_bytes.le16(at + 3);
        const int width = m_bytes.le16(at + 5);
        const int height = m_bytes.le16(at + 7);
        const quint8 flags = m_bytes.u8(at + 9);
        at += 10;
        std::vector<QRgb> colours = m_globalColours;
        if (flags & 0x80) {
            colours = readColourTable(at, flags);
            at += 3 * (qint64(2) << (flags & 7));
        }
        const int minimumCodeSize = m_bytes.u8(at);
        QByteArray data;
        at += 1;
        while (m_bytes.has(at, 1) && m_bytes.u8(at) != 0) {
            const int length = m_bytes.u8(at);
            data.append(m_bytes.mid(at + 1, length).toByteArray());
            at += 1 + length;
        }
        at += 1;
        if (width == 0 || height == 0)
            return {};
        if (minimumCodeSize < 1 || minimumCodeSize > 11)
            return QStringLiteral("invalid GIF code size %1").arg(minimumCodeSize);
        if (colours.empty()) // no colour table at all: a grey ramp stands in
            for (int i = 0, n = 1 << minimumCodeSize; i < n; ++i)
                colours.push_back(qRgb(i * 255 / std::max(n - 1, 1), i * 255 / std::max(n - 1, 1),
                                       i * 255 / std::max(n - 1, 1)));

        const std::vector<int> rows = rowOrder(height, flags & 0x40);
        qint64 pixel = 0;
        const qint64 pixels = qint64(width) * height;
        QString error;
        auto put = [&](int index) {
            const int x = left + static_cast<int>(pixel % width);
            const int y = top + rows[static_cast<size_t>(pixel / width)];
            ++pixel;
            if (index != transparent) {
                if (index >= static_cast<int>(colours.size())) {
                    error = QStringLiteral("GIF pixel of colour %1 outside its colour table")
                                .arg(index);
                    return false;
                }
                if (x < m_width && y < m_height)
                    reinterpret_cast<QRgb*>(canvas.scanLine(y))[x] =
                        colours[static_cast<size_t>(index)];
            }
            return pixel < pixels; // data past the image's last pixel is not read
        };
        const bool valid = decodeLzw(data, minimumCodeSize, put);
        if (!error.isEmpty())
            return error;
        return valid ? QString() : QStringLiteral("invalid GIF image data");
    }

    static std::vector<int> rowOrder(int height, bool interlaced) {
        std::vector<int> rows;
        rows.reserve(static_cast<size_t>(height));
        if (!interlaced) {
            for (int y = 0; y < height; ++y)
                rows.push_back(y);
            return rows;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < height; y += kStep[pass])
                rows.push_back(y);
        return rows;
    }

    // LZW decoding of GIF image data, giving each colour index to put, which returns false when
    // it wants no more. False on a code that the table cannot hold yet; data that ends early,
    // with or without its end code, simply ends the image.
    template <typename Put>
    static bool decodeLzw(const QByteArray& data, int minimumCodeSize, Put&& put) {
        constexpr int kTableSize = 4096;
        std::array<quint16, kTableSize> prefix{};
        std::array<quint8, kTableSize> suffix{};
        std::array<quint8, kTableSize> first{};
        std::array<quint8, kTableSize + 1> stack{};
        const int clear = 1 << minimumCodeSize;
        const int end = clear + 1;
        for (int i = 0; i < clear; ++i) {
            suffix[static_cast<size_t>(i)] = static_cast<quint8>(i);
            first[static_cast<size_t>(i)] = static_cast<quint8>(i);
        }
        int codeSize = minimumCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        quint32 buffer = 0;
        int buffered = 0;
        qsizetype at = 0;
        while (true) {
            while (buffered < codeSize) {
                if (at >= data.size())
                    return true;
                buffer |= quint32(static_cast<uchar>(data[at++])) << buffered;
                buffered += 8;
            }
            const int code = static_cast<int>(buffer & ((1u << codeSize) - 1));
            buffer >>= codeSize;
            buffered -= codeSize;

            if (code == clear) {
                codeSize = minimumCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                return true;
            if (previous < 0) {
                if (code > clear)
                    return false;
                if (!put(code))
                    return true;
                previous = code;
                continue;
            }
            if (code > next || (code == next && next >= kTableSize))
                return false;
            // Unwind the code's string (for the code being defined: the previous string
            // followed by its own first index).
            size_t depth = 0;
            int walk = code == next ? previous : code;
            if (code == next)
                stack[depth++] = first[static_cast<size_t>(previous)];
            while (walk >= clear) {
                stack[depth++] = suffix[static_cast<size_t>(walk)];
                walk = prefix[static_cast<size_t>(walk)];
            }
            stack[depth++] = static_cast<quint8>(walk);
            const quint8 head = static_cast<quint8>(walk);
            while (depth > 0)
                if (!put(stack[--depth]))
                    return true;
            if (next < kTableSize) {
                prefix[static_cast<size_t>(next)] = static_cast<quint16>(previous);
                suffix[static_cast<size_t>(next)] = head;
                first[static_cast<size_t>(next)] = first[static_cast<size_t>(previous)];
                ++next;
                if (next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
            previous = code;
        }
    }

    Bytes m_bytes;
    int m_width = 0;
    int m_height = 0;
    std::vector<QRgb> m_globalColours;
};

// ----- Common -----

Result failure(const QString& message) {
    return {{}, message};
}

QSize fitted(QSize natural, QSize bound) {
    if (!bound.isValid() || bound.isEmpty())
        return natural;
    if (natural.width() <= bound.width() && natural.height() <= bound.height())
        return natural;
    return natural.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

Result finished(QImage image, QSize natural, QSize bound) {
    const QSize target = fitted(natural, bound);
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {{std::move(image), natural}, {}};
}

// The size to have libjpeg decode a stored picture at for a target size: the smallest of its
// reduced sizes (m/8 of the stored size, m = 1 to 7) that reaches at least 95% of the target in
// both directions, or nothing when only the whole size will do. The rest is scaled after
// decoding: enlarging by at most 5% cannot be seen, and decoding at 1/8 instead of 2/8 of a
// camera photo saves about a quarter of its decoding time. The size asked for is rounded down,
// so that Qt's reader, which picks the scale from it, does not step up to the next scale.
std::optional<QSize> jpegDecodeSize(QSize stored, QSize target) {
    constexpr int kSmallestSharePercent = 95;
    for (int m = 1; m < 8; ++m) {
        const QSize reduced(stored.width() * m / 8, stored.height() * m / 8);
        if (reduced.isEmpty())
            continue;
        if (reduced.width() * 100 >= target.width() * kSmallestSharePercent &&
            reduced.height() * 100 >= target.height() * kSmallestSharePercent)
            return reduced;
    }
    return std::nullopt;
}

// JPEG and metafiles, through Qt's readers, at a reduced size when the reader can scale while
// decoding: JPEG at one of libjpeg's reduced sizes, metafiles drawn at the target size.
Result readWithQt(QIODevice& device, const QByteArray& format, QSize bound) {
    QImageReader reader(&device, format);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>((kLargestNaturalPixels * 4) >> 20));
    const QSize stored = reader.size();
    if (stored.isValid() && !withinPixelLimit(stored.width(), stored.height()))
        return failure(tooLarge(stored.width(), stored.height()));

    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    if (stored.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize target = fitted(upright, bound);
        const QSize storedTarget = turned ? target.transposed() : target;
        if (format == "jpeg") {
            if (const auto size = jpegDecodeSize(stored, storedTarget))
                reader.setScaledSize(*size);
        } else if (target != upright) {
            reader.setScaledSize(storedTarget);
        }
    }

    QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), reader.errorString()));
    return finished(std::move(image), stored.isValid() ? upright : image.size(), bound);
}

} // namespace

QByteArray formatOf(const QByteArray& head) {
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (le16(head, 0) == 0 && (le16(head, 2) == 1 || le16(head, 2) == 2) && le16(head, 4) > 0)
        return "ico";
    if (le32(head, 0) == 0x9ac6cdd7u)
        return "wmf";
    if ((le16(head, 0) == 1 || le16(head, 0) == 2) && le16(head, 2) == 9 &&
        (le16(head, 4) == 0x0100 || le16(head, 4) == 0x0300))
        return "wmf";
    if (le32(head, 0) == 1 && head.mid(40, 4) == " EMF")
        return "emf";
    if (isHeaderlessDib(head))
        return "dib";
    return {};
}

Result load(const QString& path, QSize bound) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    return load(file, bound);
}

Result load(QIODevice& device, QSize bound) {
    const QByteArray format = formatOf(device.peek(kHeadBytes));
    if (format.isEmpty())
        return failure(QStringLiteral("not a picture in a supported format"));
    if (format == "jpeg" || format == "wmf" || format == "emf")
        return readWithQt(device, format, bound);

    if (!device.isSequential() && device.size() > kLargestReadBytes)
        return failure(QStringLiteral("file too large"));
    const QByteArray bytes = device.readAll();
    Decoded decoded;
    if (format == "bmp" || format == "dib")
        decoded = decodeBitmap(bytes, format == "bmp");
    else if (format == "ico")
        decoded = decodeIcon(bytes);
    else
        decoded = GifFirstFrame(bytes).decode();
    if (decoded.image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), decoded.error.isEmpty()
                                                                 ? QStringLiteral("no image")
                                                                 : decoded.error));
    const QSize natural = decoded.image.size();
    return finished(std::move(decoded.image), natural, bound);
}

std::vector<Result> loadAll(const QStringList& paths, QSize bound) {
    std::vector<QString> inputs(paths.begin(), paths.end());
    return QtConcurrent::blockingMapped<std::vector<Result>>(
        inputs, [bound](const QString& path) { return load(path, bound); });
}

} // namespace PictureLoader
