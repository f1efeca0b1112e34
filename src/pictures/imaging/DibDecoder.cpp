#include "DibDecoder.h"

#include "EmbeddedImage.h"
#include "FittedSize.h"

#include <QtEndian>

#include <algorithm>

namespace Dib {

bool isInfoHeaderSize(quint32 size) {
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

namespace {

bool supportedDepth(quint32 compression, int bits, bool inIcon) {
    switch (compression) {
    case Uncompressed:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
               bits == 32;
    case RunLength8:
        return bits == 8;
    case RunLength4:
        return bits == 4;
    case RunLength24:
        return bits == 24;
    case BitFields:
    case AlphaBitFields:
        return bits == 16 || bits == 32;
    case EmbeddedJpeg:
    case EmbeddedPng:
        return !inIcon;
    default:
        return false;
    }
}

// The colour channels of 16 and 32-bit pixels: masks inside headers of 52 bytes and more, else
// after a 40-byte header (then the colour table starts after them), else the default layouts.
bool readChannels(const ByteReader& bytes, qint64 infoAt, quint32 infoSize, Layout& layout,
                  qint64& tableAt, QString& error) {
    quint32 masks[4] = {0, 0, 0, 0};
    if (layout.compression == BitFields || layout.compression == AlphaBitFields) {
        const int count = layout.compression == AlphaBitFields ? 4 : 3;
        qint64 masksAt = infoAt + 40;
        if (infoSize == 40) {
            masksAt = tableAt;
            tableAt += 4 * count;
        }
        if (!bytes.has(masksAt, 4 * count)) {
            error = QStringLiteral("truncated bitmap colour masks");
            return false;
        }
        for (int i = 0; i < 4; ++i)
            if (i < count || infoSize >= 56)
                masks[i] = bytes.u32(masksAt + 4 * i);
    } else if (layout.bits == 16) {
        masks[0] = 0x7c00;
        masks[1] = 0x03e0;
        masks[2] = 0x001f;
    } else if (layout.bits == 32) {
        // The fourth byte is the opacity, unless it is zero everywhere (see dropUnusedAlpha).
        masks[0] = 0x00ff0000;
        masks[1] = 0x0000ff00;
        masks[2] = 0x000000ff;
        masks[3] = 0xff000000;
    }
    for (int i = 0; i < 4; ++i)
        layout.channels[i] = Channel(masks[i]);
    return true;
}

// The colour table: as many entries as the header says, limited by where the pixels start; and
// where the pixels start. A table larger than the pixels can index is a damaged header.
bool readColourTable(const ByteReader& bytes, qint64 tableAt, bool core, quint32 coloursUsed,
                     const HeaderOptions& options, Layout& layout, QString& error) {
    const int b = layout.bits;
    const bool indexed = b >= 1 && b <= 8; // 0 bits: the pixels are an embedded JPEG or PNG
    if (indexed && coloursUsed > (quint32(1) << b)) {
        error = QStringLiteral("bitmap colour table of %1 entries for %2-bit pixels")
                    .arg(coloursUsed)
                    .arg(b);
        return false;
    }
    const int entrySize = options.table == ColourTable::Indices ? 2 : core ? 3 : 4;
    qint64 entries = indexed ? (coloursUsed != 0 ? coloursUsed : qint64(1) << b) : coloursUsed;
    if (core)
        entries = indexed ? qint64(1) << b : 0;
    if (options.table == ColourTable::Absent)
        entries = 0;
    // A pixel offset inside the table shortens it (OS/2 files store only the colours they use);
    // one that points back into the headers, or leaves indexed pixels no colour, is ignored.
    const qint64 fileOffset = options.pixelOffset;
    const bool offsetUsable = fileOffset > tableAt || (fileOffset == tableAt && !indexed);
    if (offsetUsable)
        entries = std::min(entries, (fileOffset - tableAt) / entrySize);
    if (!bytes.has(tableAt, entries * entrySize)) {
        error = QStringLiteral("truncated bitmap colour table");
        return false;
    }
    layout.tableAt = tableAt;
    layout.tableEntries = entries;
    if (indexed && options.table == ColourTable::Colours) {
        const qint64 used = std::min<qint64>(entries, 256);
        layout.palette.reserve(static_cast<size_t>(used));
        for (qint64 i = 0; i < used; ++i) {
            const qint64 at = tableAt + i * entrySize;
            layout.palette.push_back(qRgb(bytes.u8(at + 2), bytes.u8(at + 1), bytes.u8(at)));
        }
    }
    layout.pixelsAt = offsetUsable ? fileOffset : tableAt + entries * entrySize;
    if (layout.pixelsAt > bytes.size()) {
        error = QStringLiteral("bitmap pixel data past the end of the file");
        return false;
    }
    return true;
}

// OS/2 headers number two compressions differently from Windows's: 3 is Huffman 1D (not bit
// fields) and 4 is 24-bit run lengths (not an embedded JPEG).
quint32 os2Compression(quint32 stored) {
    switch (stored) {
    case 3:
        return Huffman1D;
    case 4:
        return RunLength24;
    default:
        return stored;
    }
}

} // namespace

std::optional<Layout> readLayout(const ByteReader& bytes, qint64 infoAt,
                                 const HeaderOptions& options, QString& error) {
    if (!bytes.has(infoAt, 4)) {
        error = QStringLiteral("truncated bitmap header");
        return std::nullopt;
    }
    const quint32 infoSize = bytes.u32(infoAt);
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

    Layout layout;
    layout.largestPixels = options.largestPixels;
    qint64 storedHeight;
    if (core) {
        layout.width = bytes.u16(infoAt + 4);
        storedHeight = bytes.u16(infoAt + 6);
        layout.bits = bytes.u16(infoAt + 10);
    } else {
        layout.width = bytes.i32(infoAt + 4);
        storedHeight = bytes.i32(infoAt + 8);
        layout.bits = bytes.u16(infoAt + 14);
    }
    const quint32 rawCompression = infoSize >= 20 ? bytes.u32(infoAt + 16) : 0;
    const quint32 coloursUsed = infoSize >= 36 ? bytes.u32(infoAt + 32) : 0;

    layout.topDown = storedHeight < 0;
    layout.height = qAbs(storedHeight);
    if (options.inIcon)
        layout.height /= 2;
    if (!PictureLimits::withinPixelLimit(layout.width, layout.height, options.largestPixels)) {
        error = layout.width <= 0 || layout.height <= 0 ? QStringLiteral("empty bitmap")
                                                        : tooLarge(layout.width, layout.height);
        return std::nullopt;
    }

    layout.compression = os2 ? os2Compression(rawCompression) : rawCompression;
    if (!supportedDepth(layout.compression, layout.bits, options.inIcon)) {
        error = QStringLiteral("unsupported bitmap (%1 bits a pixel, compression %2)")
                    .arg(layout.bits)
                    .arg(rawCompression);
        return std::nullopt;
    }

    qint64 tableAt = infoAt + infoSize;
    if (!readChannels(bytes, infoAt, infoSize, layout, tableAt, error) ||
        !readColourTable(bytes, tableAt, core, coloursUsed, options, layout, error))
        return std::nullopt;
    return layout;
}

qint64 bytesPerRow(qint64 width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

int indexAt(const uchar* row, qint64 x, int bits) {
    const qint64 bit = x * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

namespace {

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

QImage newImage(const Layout& layout, bool alpha) {
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height),
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(alpha ? 0u : 0xff000000u);
    return image;
}

Decoded decodeUncompressed(const ByteReader& pixels, const Layout& layout, Opacity opacity) {
    const qint64 stride = bytesPerRow(layout.width, layout.bits);
    const qint64 lastRow = (layout.width * layout.bits + 7) / 8;
    if (!pixels.has(0, stride * (layout.height - 1) + lastRow))
        return refused(QStringLiteral("truncated bitmap pixel data"));

    const bool alpha =
        opacity != Opacity::Ignored && layout.bits >= 16 && layout.channels[3].present();
    QImage image = newImage(layout, alpha);
    if (image.isNull())
        return refused(QStringLiteral("not enough memory for the picture"));
    const auto& [red, green, blue, opacityBits] = layout.channels;
    for (qint64 row = 0; row < layout.height; ++row) {
        const uchar* in = pixels.bytes() + row * stride;
        const int y = static_cast<int>(layout.topDown ? row : layout.height - 1 - row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint64 x = 0; x < layout.width; ++x) {
            switch (layout.bits) {
            case 16:
            case 32: {
                const quint32 p = layout.bits == 16 ? qFromLittleEndian<quint16>(in + 2 * x)
                                                    : qFromLittleEndian<quint32>(in + 4 * x);
                out[x] = qRgba(red.value(p), green.value(p), blue.value(p),
                               alpha ? opacityBits.value(p) : 255);
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
    if (alpha && opacity == Opacity::FromPixels)
        dropUnusedAlpha(image);
    return {image, {}};
}

// Walks run-length data (8-bit, 4-bit or 24-bit), calling put(x, row, colour) for every pixel
// inside the picture; row counts from the first stored row. True when the data ends as a
// complete picture: an end-of-bitmap code, or every row reached. Runs past the end of a row are
// clipped; pixels the data skips keep their colour.
template <typename Put>
bool walkRunLength(const ByteReader& data, const Layout& layout, Put&& put) {
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
            const QRgb colours[2] = {colourOf(at + 1, 0), colourOf(at + 1, 1)};
            const qint64 inside = std::clamp<qint64>(layout.width - x, 0, count);
            for (qint64 i = 0; i < inside; ++i)
                put(x + i, row, colours[i % 2]);
            x += count;
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

Decoded decodeRunLength(const ByteReader& data, const Layout& layout) {
    // A first walk proves the data complete before any pixel memory is taken.
    if (!walkRunLength(data, layout, [](qint64, qint64, QRgb) {}))
        return refused(QStringLiteral("truncated run-length bitmap data"));
    QImage image = newImage(layout, false);
    if (image.isNull())
        return refused(QStringLiteral("not enough memory for the picture"));
    QRgb* line = nullptr;
    qint64 lineRow = -1;
    walkRunLength(data, layout, [&](qint64 x, qint64 row, QRgb colour) {
        if (row != lineRow) {
            const qint64 y = layout.topDown ? row : layout.height - 1 - row;
            line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
            lineRow = row;
        }
        line[x] = colour;
    });
    return {image, {}};
}

// Run-length data decoded straight to a smaller size. Source rows arrive in stored order, so
// the target rows do too: the pixels of one target row are summed per target column and written
// when the walk moves past the row. A target pixel is the average of all the source pixels it
// covers, those the data skips counting as black, as they show in a whole decode.
class ReducingSink {
public:
    ReducingSink(const Layout& layout, QImage& image)
        : m_layout(layout), m_image(image), m_sums(static_cast<std::size_t>(image.width())) {}

    void put(qint64 x, qint64 row, QRgb colour) {
        const qint64 y = m_layout.topDown ? row : m_layout.height - 1 - row;
        const qint64 targetRow = y * m_image.height() / m_layout.height;
        if (targetRow != m_row) {
            flush();
            m_row = targetRow;
        }
        Sum& sum = m_sums[static_cast<std::size_t>(x * m_image.width() / m_layout.width)];
        sum.red += qRed(colour);
        sum.green += qGreen(colour);
        sum.blue += qBlue(colour);
    }

    void flush() {
        if (m_row < 0)
            return;
        const qint64 rows = firstOf(m_row + 1, m_image.height(), m_layout.height) -
                            firstOf(m_row, m_image.height(), m_layout.height);
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(m_row)));
        for (int column = 0; column < m_image.width(); ++column) {
            const qint64 covered = rows * (firstOf(column + 1, m_image.width(), m_layout.width) -
                                           firstOf(column, m_image.width(), m_layout.width));
            Sum& sum = m_sums[static_cast<std::size_t>(column)];
            line[column] =
                qRgb(int(sum.red / covered), int(sum.green / covered), int(sum.blue / covered));
            sum = {};
        }
        m_row = -1;
    }

private:
    struct Sum {
        quint64 red = 0;
        quint64 green = 0;
        quint64 blue = 0;
    };
    // The first of the `source` positions that fall on target position `at` of `target`.
    static qint64 firstOf(qint64 at, qint64 target, qint64 source) {
        return (at * source + target - 1) / target;
    }

    const Layout& m_layout;
    QImage& m_image;
    std::vector<Sum> m_sums;
    qint64 m_row = -1;
};

Decoded decodeRunLengthAt(const ByteReader& data, const Layout& layout, QSize target) {
    if (!walkRunLength(data, layout, [](qint64, qint64, QRgb) {}))
        return refused(QStringLiteral("truncated run-length bitmap data"));
    QImage image(target, QImage::Format_RGB32);
    if (image.isNull())
        return refused(QStringLiteral("not enough memory for the picture"));
    image.fill(0xff000000u);
    ReducingSink sink(layout, image);
    walkRunLength(data, layout,
                  [&](qint64 x, qint64 row, QRgb colour) { sink.put(x, row, colour); });
    sink.flush();
    return {image, {}, QSize(static_cast<int>(layout.width), static_cast<int>(layout.height))};
}

bool isRunLength(quint32 compression) {
    return compression == RunLength8 || compression == RunLength4 || compression == RunLength24;
}

} // namespace

Decoded decodePixels(const ByteReader& pixels, const Layout& layout, Opacity opacity) {
    switch (layout.compression) {
    case RunLength8:
    case RunLength4:
    case RunLength24:
        return decodeRunLength(pixels, layout);
    case EmbeddedJpeg:
    case EmbeddedPng:
        return EmbeddedImage::decode(pixels.data(),
                                     layout.compression == EmbeddedJpeg ? "jpeg" : "png",
                                     layout.largestPixels);
    default:
        return decodeUncompressed(pixels, layout, opacity);
    }
}

Decoded decodeFile(const QByteArray& file, bool withFileHeader, QSize bound) {
    const ByteReader bytes(file);
    QString error;
    HeaderOptions options;
    options.pixelOffset = withFileHeader ? qint64(bytes.u32(10)) : -1;
    const auto layout = readLayout(bytes, withFileHeader ? 14 : 0, options, error);
    if (!layout)
        return refused(error);
    const QSize natural(static_cast<int>(layout->width), static_cast<int>(layout->height));
    const QSize target = fittedSize(natural, bound);
    if (isRunLength(layout->compression) && target != natural)
        return decodeRunLengthAt(bytes.from(layout->pixelsAt), *layout, target);
    return decodePixels(bytes.from(layout->pixelsAt), *layout, Opacity::FromPixels);
}

QByteArray embeddedProfile(const QByteArray& file, bool withFileHeader) {
    constexpr quint32 kVersion5HeaderSize = 124;
    constexpr quint32 kProfileEmbedded = 0x4d424544; // 'MBED'
    const ByteReader bytes(file);
    const qint64 infoAt = withFileHeader ? 14 : 0;
    if (bytes.u32(infoAt) != kVersion5HeaderSize || bytes.u32(infoAt + 56) != kProfileEmbedded)
        return {};
    const qint64 size = bytes.u32(infoAt + 116);
    if (size > PictureLimits::kLargestColourProfileBytes)
        return {};
    return bytes.slice(infoAt + bytes.u32(infoAt + 112), size).toByteArray();
}

} // namespace Dib
