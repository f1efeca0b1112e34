#include "DibDecoder.h"

#include "MetafileLimits.h"

#include <QBuffer>
#include <QImageReader>
#include <bit>

namespace {

enum Compression {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    Jpeg = 4,
    Png = 5,
    AlphaBitFields = 6
};

struct Header {
    qint64 headerSize = 0;
    qint64 width = 0;
    qint64 height = 0; // positive: bottom-up
    int bitCount = 0;
    quint32 compression = Rgb;
    quint32 imageSize = 0;
    quint32 colorsUsed = 0;
    quint32 masks[4] = {0, 0, 0, 0};
    bool core = false;
};

bool readHeader(const ByteReader& info, Header& h) {
    h.headerSize = info.u32(0);
    if (h.headerSize == 12 && info.has(0, 12)) {
        h.core = true;
        h.width = info.u16(4);
        h.height = info.i16(6);
        h.bitCount = info.u16(10);
        return true;
    }
    if (h.headerSize < 40 || !info.has(0, h.headerSize) || h.headerSize > 1024)
        return false;
    h.width = info.i32(4);
    h.height = info.i32(8);
    h.bitCount = info.u16(14);
    h.compression = info.u32(16);
    h.imageSize = info.u32(20);
    h.colorsUsed = info.u32(32);
    if (h.headerSize >= 52) {
        for (int i = 0; i < 3; ++i)
            h.masks[i] = info.u32(40 + 4 * i);
        if (h.headerSize >= 56)
            h.masks[3] = info.u32(52);
    }
    return true;
}

bool sizeAcceptable(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        return false;
    if (width > MetafileLimits::kLargestBitmapPixels ||
        height > MetafileLimits::kLargestBitmapPixels)
        return false;
    return width * height <= MetafileLimits::kLargestBitmapPixels;
}

// A colour mask turned into a shift and a width so that a channel scales to 0..255.
struct Channel {
    int shift = 0;
    int bits = 0;
    quint32 mask = 0;

    explicit Channel(quint32 m) : mask(m) {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        bits = std::popcount(m >> shift);
        if (bits > 8) {
            shift += bits - 8;
            bits = 8;
        }
    }
    int value(quint32 pixel, int missing = 0) const {
        if (bits == 0)
            return missing;
        const quint32 v = (pixel >> shift) & ((1u << bits) - 1);
        return int((v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
    }
};

// Decodes run-length coded indices into a plain buffer, one byte per pixel; bounded by the input.
bool decodeRunLength(const ByteReader& bits, qint64 width, qint64 height, bool fourBit,
                     QByteArray& out) {
    out = QByteArray(width * height, '\0');
    qint64 x = 0;
    qint64 y = 0; // rows from the bottom
    qint64 at = 0;
    auto put = [&](quint8 index) {
        if (x < width && y < height)
            out[y * width + x] = char(index);
        ++x;
    };
    while (at + 1 < bits.size()) {
        const quint8 count = bits.u8(at);
        const quint8 value = bits.u8(at + 1);
        at += 2;
        if (count > 0) {
            const qint64 n = qMin<qint64>(count, width - x + 1);
            for (qint64 i = 0; i < n; ++i)
                put(fourBit ? ((i & 1) ? (value & 0x0f) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
            if (y >= height)
                break;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (at + 1 >= bits.size())
                break;
            x += bits.u8(at);
            y += bits.u8(at + 1);
            at += 2;
            if (y >= height)
                break;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const qint64 n = value;
            const qint64 bytes = fourBit ? (n + 1) / 2 : n;
            if (!bits.has(at, bytes))
                break;
            for (qint64 i = 0; i < n; ++i) {
                if (x > width)
                    break;
                const quint8 b = bits.u8(at + (fourBit ? i / 2 : i));
                put(fourBit ? ((i & 1) ? (b & 0x0f) : (b >> 4)) : b);
            }
            at += (bytes + 1) & ~qint64(1);
        }
    }
    return true;
}

QImage decodeEmbedded(QByteArrayView data, const char* format) {
    QByteArray copy = data.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || !sizeAcceptable(size.width(), size.height()))
        return {};
    QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

bool DibDecoder::headerSize(const ByteReader& info, int* width, int* height) {
    Header h;
    if (!readHeader(info, h) || !sizeAcceptable(h.width, std::abs(h.height)))
        return false;
    *width = int(h.width);
    *height = int(h.height);
    return true;
}

QImage DibDecoder::decode(const ByteReader& info, const ByteReader& bits, const Options& options) {
    Header h;
    if (!readHeader(info, h))
        return {};
    const bool topDown = h.height < 0;
    const qint64 width = h.width;
    const qint64 height = std::abs(h.height);
    if (!sizeAcceptable(width, height))
        return {};

    if (h.compression == Jpeg || h.compression == Png) {
        const qint64 length = h.imageSize ? qMin<qint64>(h.imageSize, bits.size()) : bits.size();
        return decodeEmbedded(bits.slice(0, length), h.compression == Jpeg ? "jpeg" : "png");
    }

    const int bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return {};
    const bool rle = h.compression == Rle8 || h.compression == Rle4;
    if (rle &&
        (topDown || (h.compression == Rle8 && bpp != 8) || (h.compression == Rle4 && bpp != 4)))
        return {};
    if (h.compression != Rgb && !rle && h.compression != BitFields &&
        h.compression != AlphaBitFields)
        return {};

    // Colour table (or bit masks) after the header.
    qint64 tableAt = h.headerSize;
    QList<QRgb> colors;
    if (bpp <= 8) {
        const qint64 maxEntries = qint64(1) << bpp;
        qint64 entries = h.colorsUsed ? qMin<qint64>(h.colorsUsed, 256) : maxEntries;
        const qint64 entrySize = options.usage == PaletteIndices ? 2 : (h.core ? 3 : 4);
        const bool tableless =
            options.usage == NoColorTable || (bpp == 1 && !info.has(tableAt, entries * entrySize));
        if (tableless) {
            // Monochrome bitmaps may come without colours (brushes colour them); black and
            // white stand in.
            if (bpp != 1)
                return {};
            entries = 0;
            colors = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        } else if (!info.has(tableAt, entries * entrySize)) {
            // A short table is a broken bitmap; a long one past the maximum is only trimmed.
            return {};
        }
        for (qint64 i = 0; i < entries; ++i) {
            const qint64 at = tableAt + i * entrySize;
            if (options.usage == PaletteIndices) {
                const quint16 index = info.u16(at);
                const auto& pal = options.palette ? options.palette->entries : QList<QRgb>();
                colors.append(index < pal.size() ? pal[index] : qRgb(0, 0, 0));
            } else {
                colors.append(qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at)));
            }
        }
        while (colors.size() < maxEntries)
            colors.append(qRgb(0, 0, 0));
    } else if ((h.compression == BitFields || h.compression == AlphaBitFields) &&
               h.headerSize < 52) {
        const int count = h.compression == AlphaBitFields ? 4 : 3;
        if (!info.has(tableAt, count * 4))
            return {};
        for (int i = 0; i < count; ++i)
            h.masks[i] = info.u32(tableAt + 4 * i);
    }
    if ((h.compression == BitFields || h.compression == AlphaBitFields) && bpp != 16 && bpp != 32)
        return {};

    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        return {};

    if (rle) {
        QByteArray indices;
        decodeRunLength(bits, width, height, h.compression == Rle4, indices);
        for (qint64 y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(height - 1 - y)));
            const auto* src = reinterpret_cast<const quint8*>(indices.constData()) + y * width;
            for (qint64 x = 0; x < width; ++x)
                line[x] = colors.value(src[x], qRgb(0, 0, 0));
        }
        return image;
    }

    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (!bits.has(0, stride * height))
        return {};

    const bool masked = h.compression == BitFields || h.compression == AlphaBitFields;
    quint32 m0 = h.masks[0], m1 = h.masks[1], m2 = h.masks[2], m3 = h.masks[3];
    if (!masked) {
        if (bpp == 16) {
            m0 = 0x7c00;
            m1 = 0x03e0;
            m2 = 0x001f;
            m3 = 0;
        } else {
            m0 = 0x00ff0000;
            m1 = 0x0000ff00;
            m2 = 0x000000ff;
            m3 = options.keepAlpha ? 0xff000000 : 0;
        }
    }
    const Channel red(m0), green(m1), blue(m2), alpha(m3);

    const auto* base = reinterpret_cast<const quint8*>(bits.data().data());
    for (qint64 row = 0; row < height; ++row) {
        const quint8* src = base + row * stride;
        const qint64 outRow = topDown ? row : height - 1 - row;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(outRow)));
        for (qint64 x = 0; x < width; ++x) {
            switch (bpp) {
            case 1:
                line[x] = colors[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                line[x] = colors[(x & 1) ? (src[x >> 1] & 0x0f) : (src[x >> 1] >> 4)];
                break;
            case 8:
                line[x] = colors[src[x]];
                break;
            case 24:
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 16: {
                const quint32 p = quint32(src[2 * x]) | (quint32(src[2 * x + 1]) << 8);
                line[x] = qRgba(red.value(p), green.value(p), blue.value(p), alpha.value(p, 255));
                break;
            }
            default: {
                const quint32 p = quint32(src[4 * x]) | (quint32(src[4 * x + 1]) << 8) |
                                  (quint32(src[4 * x + 2]) << 16) | (quint32(src[4 * x + 3]) << 24);
                line[x] = qRgba(red.value(p), green.value(p), blue.value(p), alpha.value(p, 255));
                break;
            }
            }
        }
    }
    return image;
}

QImage DibDecoder::decodePacked(const ByteReader& packed, const Options& options) {
    Header h;
    if (!readHeader(packed, h))
        return {};
    qint64 tableBytes = 0;
    if (h.bitCount <= 8 && h.bitCount > 0) {
        const qint64 entries =
            h.colorsUsed ? qMin<qint64>(h.colorsUsed, 256) : (qint64(1) << h.bitCount);
        tableBytes = options.usage == NoColorTable
                         ? 0
                         : entries * (options.usage == PaletteIndices ? 2 : (h.core ? 3 : 4));
    } else if ((h.compression == BitFields || h.compression == AlphaBitFields) &&
               h.headerSize < 52) {
        tableBytes = h.compression == AlphaBitFields ? 16 : 12;
    }
    const qint64 bitsAt = h.headerSize + tableBytes;
    if (!packed.has(0, bitsAt))
        return {};
    return decode(packed.sub(0, bitsAt), packed.sub(bitsAt, packed.size() - bitsAt), options);
}

QImage DibDecoder::decodeDeviceDependent(const ByteReader& bitmap, qint64 bitsAt) {
    if (!bitmap.has(0, 10))
        return {};
    const qint64 width = bitmap.i16(2);
    const qint64 height = bitmap.i16(4);
    const qint64 stride = bitmap.i16(6);
    const int planes = bitmap.u8(8);
    const int bpp = bitmap.u8(9);
    if (!sizeAcceptable(width, height) || planes != 1 || stride <= 0)
        return {};
    if (bpp != 1 && bpp != 24 && bpp != 32)
        return {};
    if (!bitmap.has(bitsAt, stride * height) || stride * 8 < width * bpp)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    const auto* base = reinterpret_cast<const quint8*>(bitmap.data().data()) + bitsAt;
    for (qint64 y = 0; y < height; ++y) {
        const quint8* src = base + y * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < width; ++x) {
            if (bpp == 1)
                line[x] =
                    ((src[x >> 3] >> (7 - (x & 7))) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            else if (bpp == 24)
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            else
                line[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
        }
    }
    return image;
}
