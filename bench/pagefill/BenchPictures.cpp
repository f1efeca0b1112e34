#include "BenchPictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <array>
#include <cmath>

namespace BenchPictures {
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
        qFatal("cannot encode a benchmark picture as %s: %s", format,
               qPrintable(writer.errorString()));
    return bytes;
}

// A well-mixed 32-bit hash of a pixel position, for noise that repeats nowhere.
quint32 mix(quint32 x, quint32 y, quint32 seed) {
    quint32 h = x * 0x9e3779b1u ^ y * 0x85ebca77u ^ seed * 0xc2b2ae3du;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

int clamp255(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

QImage indexedImage(const QImage& image, int maxColours) {
    const QImage result =
        image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    if (result.colorCount() > maxColours)
        qFatal("benchmark picture has %d colours, more than %d", int(result.colorCount()),
               maxColours);
    return result;
}

QByteArray bitmapHeaders(const QImage& img, int bits, int compression, quint32 dataSize) {
    const int entries = 1 << bits;
    const quint32 dataOffset = 14 + 40 + 4 * entries;
    QByteArray out("BM");
    putLe32(out, dataOffset + dataSize);
    putLe32(out, 0);
    putLe32(out, dataOffset);
    putLe32(out, 40);
    putLe32(out, static_cast<quint32>(img.width()));
    putLe32(out, static_cast<quint32>(img.height()));
    putLe16(out, 1);
    putLe16(out, bits);
    putLe32(out, static_cast<quint32>(compression));
    putLe32(out, dataSize);
    putLe32(out, 2835);
    putLe32(out, 2835);
    putLe32(out, static_cast<quint32>(entries));
    putLe32(out, 0);
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < img.colorCount() ? img.color(i) : 0;
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    return out;
}

// GIF image data in which every pixel is a literal 9-bit code, with a clear code every 254
// literals so the code width never grows: valid LZW, only not compressed.
QByteArray gifImageData(const QImage& img) {
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= static_cast<quint32>(code) << count;
        count += 9;
        while (count >= 8) {
            packed.append(static_cast<char>(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    put(256);
    int sinceClear = 0;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            if (sinceClear == 254) {
                put(256);
                sinceClear = 0;
            }
            put(line[x]);
            ++sinceClear;
        }
    }
    put(257);
    if (count > 0)
        packed.append(static_cast<char>(bits & 0xff));
    QByteArray blocks(1, '\x08');
    for (qsizetype i = 0; i < packed.size(); i += 255) {
        const QByteArray chunk = packed.mid(i, 255);
        blocks.append(static_cast<char>(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append('\0');
    return blocks;
}

} // namespace

QImage photo(int width, int height, quint32 seed) {
    // Shapes at three scales, each a sum of two waves whose phase depends on the seed.
    std::array<int, 4096> wave{};
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<int>(std::lround(std::sin(2 * M_PI * double(i) / wave.size()) * 64));
    const int phase = static_cast<int>(seed * 977 % 4096);
    const int horizon = height * (40 + static_cast<int>(seed % 25)) / 100;

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const bool sky = y < horizon;
        const int depth = sky ? y * 255 / std::max(horizon, 1)
                              : (y - horizon) * 255 / std::max(height - horizon, 1);
        for (int x = 0; x < width; ++x) {
            const int large =
                wave[(x / 3 + y / 5 + phase) & 4095] + wave[(y / 2 + phase * 3) & 4095];
            const int middle = wave[(x * 3 + y * 2 + phase) & 4095] / 2;
            const int fine = wave[(x * 29 + y * 17) & 4095] / 6;
            const int noise = static_cast<int>(mix(quint32(x), quint32(y), seed) & 15) - 8;
            int r, g, b;
            if (sky) {
                r = 90 + depth / 3 + large / 8 + noise;
                g = 140 + depth / 4 + large / 8 + noise;
                b = 230 - depth / 6 + large / 10 + noise;
            } else {
                const int texture = large / 2 + middle + fine;
                r = 80 + depth / 4 + texture + noise;
                g = 110 + texture - depth / 8 + noise;
                b = 50 + texture / 2 + noise;
            }
            line[x] = qRgb(clamp255(r), clamp255(g), clamp255(b));
        }
    }
    return image;
}

QImage posterized(const QImage& image, int colours) {
    // Levels per channel so that levels^3 stays within the number of colours.
    int levels = 2;
    while ((levels + 1) * (levels + 1) * (levels + 1) <= colours)
        ++levels;
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            auto level = [&](int v) { return (v * (levels - 1) + 127) / 255 * 255 / (levels - 1); };
            line[x] = qRgb(level(qRed(line[x])), level(qGreen(line[x])), level(qBlue(line[x])));
        }
    }
    return result;
}

QByteArray jpeg(const QImage& image, int quality) {
    return encode(image, "jpeg", quality);
}

QByteArray bmp(const QImage& image) {
    return encode(image, "bmp");
}

QByteArray bmp8(const QImage& image) {
    const QImage img = indexedImage(image, 256);
    const int stride = (img.width() + 3) / 4 * 4;
    QByteArray data;
    for (int y = img.height() - 1; y >= 0; --y) {
        data.append(reinterpret_cast<const char*>(img.constScanLine(y)), img.width());
        data.append(QByteArray(stride - img.width(), '\0'));
    }
    return bitmapHeaders(img, 8, 0, static_cast<quint32>(data.size())) + data;
}

QByteArray rle(const QImage& image, bool fourBit) {
    const QImage img = indexedImage(image, fourBit ? 16 : 256);
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
    return bitmapHeaders(img, fourBit ? 4 : 8, fourBit ? 2 : 1, static_cast<quint32>(data.size())) +
           data;
}

QByteArray gif(const QList<QImage>& frames) {
    QByteArray out("GIF89a");
    putLe16(out, frames.front().width());
    putLe16(out, frames.front().height());
    out.append(QByteArray(3, '\0')); // no global colour table
    for (const QImage& frame : frames) {
        const QImage img = indexedImage(frame, 256);
        out.append("\x21\xf9\x04\x00", 4); // graphic control: shown for 0.1 s
        putLe16(out, 10);
        out.append(QByteArray(2, '\0'));
        out.append(',');
        putLe16(out, 0);
        putLe16(out, 0);
        putLe16(out, img.width());
        putLe16(out, img.height());
        out.append('\x87'); // local colour table of 256 entries
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < img.colorCount() ? img.color(i) : 0;
            out.append(static_cast<char>(qRed(c)));
            out.append(static_cast<char>(qGreen(c)));
            out.append(static_cast<char>(qBlue(c)));
        }
        out.append(gifImageData(img));
    }
    out.append(';');
    return out;
}

QByteArray icon(const QList<QImage>& images, bool cursor) {
    QList<QByteArray> payloads;
    for (const QImage& source : images) {
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        const int maskStride = (image.width() + 31) / 32 * 4;
        QByteArray p;
        putLe32(p, 40);
        putLe32(p, static_cast<quint32>(image.width()));
        putLe32(p, static_cast<quint32>(2 * image.height()));
        putLe16(p, 1);
        putLe16(p, 32);
        putLe32(p, 0);
        putLe32(p, 0);
        putLe32(p, 0);
        putLe32(p, 0);
        putLe32(p, 0);
        putLe32(p, 0);
        for (int y = image.height() - 1; y >= 0; --y)
            for (int x = 0; x < image.width(); ++x)
                putLe32(p, image.pixel(x, y));
        p.append(QByteArray(maskStride * image.height(), '\0'));
        payloads.append(p);
    }
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, cursor ? 2 : 1);
    putLe16(out, static_cast<int>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out.append(static_cast<char>(images[i].width() & 0xff));
        out.append(static_cast<char>(images[i].height() & 0xff));
        out.append(QByteArray(2, '\0'));
        putLe16(out, cursor ? 0 : 1);
        putLe16(out, cursor ? 0 : 32);
        putLe32(out, static_cast<quint32>(payloads[i].size()));
        putLe32(out, offset);
        offset += static_cast<quint32>(payloads[i].size());
    }
    for (const QByteArray& p : payloads)
        out.append(p);
    return out;
}

} // namespace BenchPictures
