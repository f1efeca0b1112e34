#include "TestPictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>

namespace TestPictures {
namespace {

void putLe16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void putLe32(QByteArray& out, quint32 value) {
    putLe16(out, static_cast<int>(value & 0xffff));
    putLe16(out, static_cast<int>(value >> 16));
}

QByteArray encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot encode a test picture as %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

// The image reduced to an indexed picture of at most maxColours colours.
QImage indexed(const QImage& image, int maxColours) {
    QImage result = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    if (result.colorCount() > maxColours)
        qFatal("test picture has %d colours, more than %d", int(result.colorCount()), maxColours);
    return result;
}

// Headers of a bottom-up bitmap with a palette; the pixel data follows.
QByteArray bitmapHeaders(const QImage& indexedImage, int bitsPerPixel, int compression,
                         quint32 dataSize) {
    const int paletteEntries = 1 << bitsPerPixel;
    const quint32 dataOffset = 14 + 40 + 4 * paletteEntries;
    QByteArray out;
    out.append("BM");
    putLe32(out, dataOffset + dataSize);
    putLe32(out, 0);
    putLe32(out, dataOffset);
    putLe32(out, 40);
    putLe32(out, static_cast<quint32>(indexedImage.width()));
    putLe32(out, static_cast<quint32>(indexedImage.height()));
    putLe16(out, 1);
    putLe16(out, bitsPerPixel);
    putLe32(out, static_cast<quint32>(compression));
    putLe32(out, dataSize);
    putLe32(out, 2835);
    putLe32(out, 2835);
    putLe32(out, static_cast<quint32>(paletteEntries));
    putLe32(out, 0);
    for (int i = 0; i < paletteEntries; ++i) {
        const QRgb c = i < indexedImage.colorCount() ? indexedImage.color(i) : 0;
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    return out;
}

// Run-length data, bottom row first: runs of equal indices as encoded runs, each row ended by
// the end-of-line code and the picture by the end-of-bitmap code.
QByteArray runLengthData(const QImage& img, bool fourBit) {
    QByteArray data;
    for (int y = img.height() - 1; y >= 0; --y) {
        const uchar* row = img.constScanLine(y);
        int x = 0;
        while (x < img.width()) {
            int run = 1;
            while (x + run < img.width() && row[x + run] == row[x] && run < 255)
                ++run;
            data.append(static_cast<char>(run));
            data.append(static_cast<char>(fourBit ? (row[x] << 4) | row[x] : row[x]));
            x += run;
        }
        data.append('\0');
        data.append('\0');
    }
    data.append('\0');
    data.append('\x01');
    return data;
}

QByteArray runLengthBitmap(const QImage& image, bool fourBit) {
    const QImage img = indexed(image, fourBit ? 16 : 256);
    const QByteArray data = runLengthData(img, fourBit);
    return bitmapHeaders(img, fourBit ? 4 : 8, fourBit ? 2 : 1, static_cast<quint32>(data.size())) +
           data;
}

// GIF image data in which every pixel is a literal code and a clear code follows every 254
// literals, so the code width stays at 9 bits: valid LZW, simply not compressed.
QByteArray gifImageData(const QImage& img) {
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    QByteArray packed;
    quint32 bitBuffer = 0;
    int bitCount = 0;
    auto putCode = [&](int code) {
        bitBuffer |= static_cast<quint32>(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            packed.append(static_cast<char>(bitBuffer & 0xff));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    putCode(kClear);
    int sinceClear = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (sinceClear == 254) {
                putCode(kClear);
                sinceClear = 0;
            }
            putCode(img.constScanLine(y)[x]);
            ++sinceClear;
        }
    }
    putCode(kEnd);
    if (bitCount > 0)
        packed.append(static_cast<char>(bitBuffer & 0xff));

    QByteArray blocks;
    blocks.append('\x08');
    for (qsizetype i = 0; i < packed.size(); i += 255) {
        const QByteArray chunk = packed.mid(i, 255);
        blocks.append(static_cast<char>(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append('\0');
    return blocks;
}

// A colour table of 256 entries (red, green, blue) from an indexed image's colours.
QByteArray colourTable(const QImage& img) {
    QByteArray table;
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < img.colorCount() ? img.color(i) : 0;
        table.append(static_cast<char>(qRed(c)));
        table.append(static_cast<char>(qGreen(c)));
        table.append(static_cast<char>(qBlue(c)));
    }
    return table;
}

// An image descriptor at the origin, with a local colour table when asked, and its data.
QByteArray imageBlock(const QImage& img, bool localColours) {
    QByteArray out(",");
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, img.width());
    putLe16(out, img.height());
    out.append(localColours ? '\x87' : '\0');
    if (localColours)
        out.append(colourTable(img));
    out.append(gifImageData(img));
    return out;
}

// One icon directory entry's image: a bitmap information header with the doubled height of
// colour pixels and mask, the colour table, the bottom-up colour pixels and the AND mask.
QByteArray iconBitmap(const QImage& image, int bits) {
    const int width = image.width();
    const int height = image.height();
    const QImage img = bits == 4 ? indexed(image.convertToFormat(QImage::Format_RGB32), 16) : image;
    const int stride = ((width * bits + 31) / 32) * 4;
    const int maskStride = ((width + 31) / 32) * 4;
    QByteArray out;
    putLe32(out, 40);
    putLe32(out, static_cast<quint32>(width));
    putLe32(out, static_cast<quint32>(2 * height));
    putLe16(out, 1);
    putLe16(out, bits);
    putLe32(out, 0);
    putLe32(out, static_cast<quint32>((stride + maskStride) * height));
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, bits == 4 ? 16 : 0);
    putLe32(out, 0);
    if (bits == 4) {
        for (int i = 0; i < 16; ++i) {
            const QRgb c = i < img.colorCount() ? img.color(i) : 0;
            out.append(static_cast<char>(qBlue(c)));
            out.append(static_cast<char>(qGreen(c)));
            out.append(static_cast<char>(qRed(c)));
            out.append('\0');
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb c = image.pixel(x, y);
            if (bits == 4) {
                row[x / 2] =
                    static_cast<char>(row[x / 2] | (img.pixelIndex(x, y) << (x % 2 ? 0 : 4)));
            } else {
                const int at = x * bits / 8;
                row[at] = static_cast<char>(qBlue(c));
                row[at + 1] = static_cast<char>(qGreen(c));
                row[at + 2] = static_cast<char>(qRed(c));
                if (bits == 32)
                    row[at + 3] = static_cast<char>(qAlpha(c));
            }
        }
        out.append(row);
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < width; ++x)
            if (qAlpha(image.pixel(x, y)) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

} // namespace

QImage quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    const int hw = width / 2;
    const int hh = height / 2;
    p.fillRect(0, 0, hw, hh, Qt::red);
    p.fillRect(hw, 0, width - hw, hh, Qt::green);
    p.fillRect(0, hh, hw, height - hh, Qt::blue);
    p.fillRect(hw, hh, width - hw, height - hh, Qt::white);
    return image;
}

QImage photoLike(int width, int height, quint32 seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random.bounded(48)) - 24;
            const int r = (x * 255 / width + noise) & 0xff;
            const int g = (y * 255 / height + noise / 2) & 0xff;
            const int b = ((x + y) * 128 / (width + height) + 64 + noise) & 0xff;
            line[x] = qRgb(r, g, b);
        }
    }
    return image;
}

QByteArray bmp(const QImage& image) {
    return encode(image, "bmp");
}

QByteArray headerlessDib(const QImage& image) {
    return bmp(image).mid(14);
}

QByteArray rle8(const QImage& image) {
    return runLengthBitmap(image, false);
}

QByteArray rle4(const QImage& image) {
    return runLengthBitmap(image, true);
}

QByteArray gif(const QImage& image) {
    const QImage img = indexed(image, 256);
    QByteArray out("GIF89a");
    putLe16(out, img.width());
    putLe16(out, img.height());
    out.append('\xf7'); // global colour table of 256 entries
    out.append('\0');
    out.append('\0');
    out.append(colourTable(img));
    out.append(imageBlock(img, false));
    out.append(';');
    return out;
}

QByteArray gifAnimation(const QList<QImage>& frames, int delay) {
    QByteArray out("GIF89a");
    putLe16(out, frames.front().width());
    putLe16(out, frames.front().height());
    out.append('\0'); // no global colour table
    out.append('\0');
    out.append('\0');
    for (const QImage& frame : frames) {
        // Index 255 is kept for the transparent pixels.
        const QImage opaque = indexed(frame.convertToFormat(QImage::Format_RGB32), 255);
        QImage img = opaque.copy();
        const bool hasTransparency = frame.hasAlphaChannel();
        if (hasTransparency) {
            img.setColorCount(256);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(frame.pixel(x, y)) < 128)
                        img.setPixel(x, y, 255);
        }
        out.append("\x21\xf9\x04", 3); // graphic control block
        out.append(static_cast<char>(hasTransparency ? 1 : 0));
        putLe16(out, delay);
        out.append(static_cast<char>(hasTransparency ? 255 : 0));
        out.append('\0');
        out.append(imageBlock(img, true));
    }
    out.append(';');
    return out;
}

QByteArray bmp16(const QImage& image, bool fiveSixFive) {
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * 16 + 31) / 32) * 4;
    const quint32 dataOffset = 14 + 40 + (fiveSixFive ? 12 : 0);
    QByteArray out("BM");
    putLe32(out, dataOffset + static_cast<quint32>(stride * height));
    putLe32(out, 0);
    putLe32(out, dataOffset);
    putLe32(out, 40);
    putLe32(out, static_cast<quint32>(width));
    putLe32(out, static_cast<quint32>(height));
    putLe16(out, 1);
    putLe16(out, 16);
    putLe32(out, fiveSixFive ? 3 : 0);
    putLe32(out, static_cast<quint32>(stride * height));
    putLe32(out, 2835);
    putLe32(out, 2835);
    putLe32(out, 0);
    putLe32(out, 0);
    if (fiveSixFive) {
        putLe32(out, 0xf800);
        putLe32(out, 0x07e0);
        putLe32(out, 0x001f);
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < width; ++x) {
            const QRgb c = image.pixel(x, y);
            const int value =
                fiveSixFive ? ((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3)
                            : ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
            putLe16(row, value);
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        out.append(row);
    }
    return out;
}

QByteArray ico(const QImage& image) {
    return encode(image, "ico");
}

QByteArray cur(const QImage& image, QPoint hotspot) {
    // A cursor file is an icon file of type 2 whose entries hold the hotspot where an icon
    // holds its planes and bit count.
    QByteArray bytes = ico(image);
    bytes[2] = 2;
    const int count = qFromLittleEndian<quint16>(bytes.constData() + 4);
    for (int i = 0; i < count; ++i) {
        char* entry = bytes.data() + 6 + 16 * i;
        qToLittleEndian<quint16>(static_cast<quint16>(hotspot.x()), entry + 4);
        qToLittleEndian<quint16>(static_cast<quint16>(hotspot.y()), entry + 6);
    }
    return bytes;
}

QByteArray iconFile(const QList<QImage>& images, int bits, bool cursor) {
    QList<QByteArray> payloads;
    for (const QImage& image : images)
        payloads.append(bits == 0 ? encode(image, "png") : iconBitmap(image, bits));
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, cursor ? 2 : 1);
    putLe16(out, static_cast<int>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out.append(static_cast<char>(images[i].width() & 0xff)); // 256 is written as 0
        out.append(static_cast<char>(images[i].height() & 0xff));
        out.append(static_cast<char>(bits == 4 ? 16 : 0));
        out.append('\0');
        putLe16(out, cursor ? 0 : 1);    // planes, or the hotspot's x
        putLe16(out, cursor ? 0 : bits); // bits a pixel, or the hotspot's y
        putLe32(out, static_cast<quint32>(payloads[i].size()));
        putLe32(out, offset);
        offset += static_cast<quint32>(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.append(payload);
    return out;
}

QByteArray jpeg(const QImage& image, int quality) {
    return encode(image, "jpeg", quality);
}

QByteArray jpegWithOrientation(const QImage& stored, int orientation) {
    return withExif(jpeg(stored), orientation, {});
}

QByteArray withExif(QByteArray jpegBytes, int orientation, const QByteArray& preview) {
    constexpr quint32 kFirstDirectory = 8;
    constexpr quint32 kSecondDirectory = kFirstDirectory + 2 + 12 + 4;
    constexpr quint32 kPreviewAt = kSecondDirectory + 2 + 3 * 12 + 4;
    auto entry = [](QByteArray& out, int tag, int type, quint32 value) {
        putLe16(out, tag);
        putLe16(out, type);
        putLe32(out, 1);
        if (type == 3) { // SHORT: left-justified in the value field
            putLe16(out, static_cast<int>(value));
            putLe16(out, 0);
        } else {
            putLe32(out, value);
        }
    };
    QByteArray tiff("II*\0", 4);
    putLe32(tiff, kFirstDirectory);
    putLe16(tiff, 1);
    entry(tiff, 0x0112, 3, static_cast<quint32>(orientation));
    putLe32(tiff, preview.isEmpty() ? 0 : kSecondDirectory);
    if (!preview.isEmpty()) {
        putLe16(tiff, 3);
        entry(tiff, 0x0103, 3, 6); // JPEG compression
        entry(tiff, 0x0201, 4, kPreviewAt);
        entry(tiff, 0x0202, 4, static_cast<quint32>(preview.size()));
        putLe32(tiff, 0); // no further directory
        tiff.append(preview);
    }
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;

    QByteArray segment("\xff\xe1", 2);
    segment.append(static_cast<char>(((exif.size() + 2) >> 8) & 0xff));
    segment.append(static_cast<char>((exif.size() + 2) & 0xff));
    segment.append(exif);

    jpegBytes.insert(2, segment); // right after the start-of-image marker
    return jpegBytes;
}

QColor colourAt(const QImage& image, double fx, double fy) {
    const int x = qBound(0, static_cast<int>(fx * image.width()), image.width() - 1);
    const int y = qBound(0, static_cast<int>(fy * image.height()), image.height() - 1);
    return image.pixelColor(x, y);
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace TestPictures
