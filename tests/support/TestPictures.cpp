#include "TestPictures.h"
#include "Bytes.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>

namespace TestPictures {
namespace {

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

// A colour table of `entries` entries from an indexed image's colours: as a bitmap stores it
// (blue, green, red, unused) or as a GIF does (red, green, blue).
QByteArray colourTable(const QImage& img, int entries, bool bitmap) {
    Bytes table;
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < img.colorCount() ? img.color(i) : 0;
        if (bitmap)
            table.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
        else
            table.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    return table.data();
}

// A run-length bitmap: bottom row first, runs of equal indices as encoded runs, each row ended
// by the end-of-line code and the picture by the end-of-bitmap code.
QByteArray runLengthBitmap(const QImage& image, bool fourBit) {
    const int entries = fourBit ? 16 : 256;
    const QImage img = indexed(image, entries);
    Bytes data;
    for (int y = img.height() - 1; y >= 0; --y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0, run = 1; x < img.width(); x += run, run = 1) {
            while (x + run < img.width() && row[x + run] == row[x] && run < 255)
                ++run;
            data.u8(quint8(run)).u8(fourBit ? (row[x] << 4) | row[x] : row[x]);
        }
        data.u16(0);
    }
    data.u16(0x0100);
    const auto headers = quint32(14 + 40 + 4 * entries);
    Bytes out;
    out.raw("BM").u32(headers + quint32(data.size())).u32(0).u32(headers);
    out.dibInfo(img.width(), img.height(), fourBit ? 4 : 8, fourBit ? 2 : 1, quint32(data.size()),
                quint32(entries));
    return out.raw(colourTable(img, entries, true)).raw(data.data()).data();
}

// GIF image data in which every pixel is a literal code and a clear code follows every 254
// literals, so the code width stays at 9 bits: valid LZW, simply not compressed.
QByteArray gifImageData(const QImage& img) {
    QByteArray packed;
    quint32 bitBuffer = 0;
    int bitCount = 0;
    const auto putCode = [&](int code) {
        bitBuffer |= quint32(code) << bitCount;
        for (bitCount += 9; bitCount >= 8; bitCount -= 8, bitBuffer >>= 8)
            packed.append(char(bitBuffer & 0xff));
    };
    putCode(256); // clear
    for (int i = 0; i < img.width() * img.height(); ++i) {
        if (i > 0 && i % 254 == 0)
            putCode(256);
        putCode(img.constScanLine(i / img.width())[i % img.width()]);
    }
    putCode(257); // end
    if (bitCount > 0)
        packed.append(char(bitBuffer & 0xff));
    QByteArray blocks("\x08");
    for (qsizetype i = 0; i < packed.size(); i += 255)
        blocks.append(char(packed.mid(i, 255).size())).append(packed.mid(i, 255));
    return blocks.append('\0');
}

// An image descriptor at the origin, with a local colour table when asked, and its data.
QByteArray imageBlock(const QImage& img, bool localColours) {
    Bytes out;
    out.raw(",").u16(0).u16(0).u16(quint16(img.width())).u16(quint16(img.height()));
    out.u8(localColours ? 0x87 : 0).raw(localColours ? colourTable(img, 256, false) : QByteArray());
    return out.raw(gifImageData(img)).data();
}

// One icon directory entry's image: a 32-bit bitmap information header with the doubled height
// of colour pixels and mask, the bottom-up colour pixels and the AND mask.
QByteArray iconBitmap(const QImage& image) {
    const int width = image.width();
    const int height = image.height();
    const int maskStride = ((width + 31) / 32) * 4;
    Bytes out;
    out.dibInfo(width, 2 * height, 32, 0, quint32((width * 4 + maskStride) * height), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb c = image.pixel(x, y);
            out.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(qAlpha(c));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; x += 8) {
            quint8 mask = 0;
            for (int i = x; i < qMin(x + 8, width); ++i)
                mask |= qAlpha(image.pixel(i, y)) < 128 ? 0x80 >> (i - x) : 0;
            out.u8(mask);
        }
        out.pad(4);
    }
    return out.data();
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
    Bytes out;
    out.raw("GIF89a").u16(quint16(img.width())).u16(quint16(img.height()));
    out.u8(0xf7).u8(0).u8(0).raw(
        colourTable(img, 256, false)); // global colour table of 256 entries
    return out.raw(imageBlock(img, false)).raw(";").data();
}

QByteArray gifAnimation(const QList<QImage>& frames, int delay) {
    Bytes out;
    out.raw("GIF89a").u16(quint16(frames.front().width())).u16(quint16(frames.front().height()));
    out.u8(0).u8(0).u8(0); // no global colour table
    for (const QImage& frame : frames) {
        // Index 255 is kept for the transparent pixels.
        QImage img = indexed(frame.convertToFormat(QImage::Format_RGB32), 255);
        const bool hasTransparency = frame.hasAlphaChannel();
        if (hasTransparency) {
            img.setColorCount(256);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(frame.pixel(x, y)) < 128)
                        img.setPixel(x, y, 255);
        }
        out.u8(0x21).u8(0xf9).u8(4).u8(hasTransparency ? 1 : 0).u16(quint16(delay)); // control
        out.u8(hasTransparency ? 255 : 0).u8(0).raw(imageBlock(img, true));
    }
    return out.raw(";").data();
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
        payloads.append(bits == 0 ? encode(image, "png") : iconBitmap(image));
    Bytes out;
    out.u16(0).u16(cursor ? 2 : 1).u16(quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out.u8(images[i].width() & 0xff).u8(images[i].height() & 0xff); // 256 is written as 0
        out.u8(0).u8(0);
        out.u16(cursor ? 0 : 1).u16(cursor ? 0 : quint16(bits)); // planes and bits, or hotspot
        out.u32(quint32(payloads[i].size())).u32(offset);
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.raw(payload);
    return out.data();
}

QByteArray jpeg(const QImage& image, int quality) {
    return encode(image, "jpeg", quality);
}

QByteArray jpegWithOrientation(const QImage& stored, int orientation) {
    return withExif(jpeg(stored), orientation, {});
}

QByteArray withExif(QByteArray jpegBytes, int orientation, const QByteArray& preview) {
    // A TIFF header, a first directory holding the orientation and, with a preview, a second
    // directory pointing at the preview's JPEG bytes that follow it.
    constexpr quint32 kFirstDirectory = 8;
    constexpr quint32 kSecondDirectory = kFirstDirectory + 2 + 12 + 4;
    constexpr quint32 kPreviewAt = kSecondDirectory + 2 + 3 * 12 + 4;
    Bytes tiff;
    const auto entry = [&tiff](quint16 tag, quint16 type, quint32 value) {
        tiff.u16(tag).u16(type).u32(1);
        type == 3 ? tiff.u16(quint16(value)).u16(0) : tiff.u32(value); // SHORT: left-justified
    };
    tiff.raw(QByteArray("II*\0", 4)).u32(kFirstDirectory).u16(1);
    entry(0x0112, 3, quint32(orientation));
    tiff.u32(preview.isEmpty() ? 0 : kSecondDirectory);
    if (!preview.isEmpty()) {
        tiff.u16(3);
        entry(0x0103, 3, 6); // JPEG compression
        entry(0x0201, 4, kPreviewAt);
        entry(0x0202, 4, quint32(preview.size()));
        tiff.u32(0).raw(preview); // no further directory
    }
    return withSegment(jpegBytes, 0xe1, QByteArray("Exif\0\0", 6) + tiff.data());
}

QByteArray withSegment(QByteArray jpegBytes, quint8 marker, const QByteArray& payload) {
    QByteArray head("\xff\0\0\0", 4);
    head[1] = char(marker);
    qToBigEndian<quint16>(quint16(payload.size() + 2), head.data() + 2);
    return jpegBytes.insert(2, head + payload);
}

QByteArray withIccProfile(QByteArray jpegBytes, const QByteArray& icc, const QList<int>& order) {
    const int count = *std::max_element(order.begin(), order.end());
    const qsizetype chunk = (icc.size() + count - 1) / count;
    for (qsizetype i = order.size() - 1; i >= 0; --i) // each in front of those that follow it
        jpegBytes = withSegment(jpegBytes, 0xe2,
                                QByteArray("ICC_PROFILE\0", 12) + char(order[i]) + char(count) +
                                    icc.mid((order[i] - 1) * chunk, chunk));
    return jpegBytes;
}

QByteArray bmpWithProfile(const QImage& image, const QByteArray& icc, const char (&kind)[5]) {
    // 24-bit rows, bottom row first, as Qt writes them.
    const QByteArray pixels = headerlessDib(image.convertToFormat(QImage::Format_RGB888)).mid(40);
    const auto pixelBytes = quint32(pixels.size());
    Bytes out;
    out.raw("BM").u32(14 + 124 + pixelBytes + quint32(icc.size())).u32(0).u32(14 + 124);
    out.u32(124).i32(image.width()).i32(image.height()).u16(1).u16(24).u32(0).u32(pixelBytes);
    out.i32(2835).i32(2835).u32(0).u32(0).raw(QByteArray(16, '\0')); // no colour masks
    out.u32(qFromBigEndian<quint32>(kind));    // the four letters read as a number
    out.raw(QByteArray(36 + 12, '\0')).u32(4); // no end points or gammas; picture intent
    out.u32(124 + pixelBytes).u32(quint32(icc.size())).u32(0);
    return out.raw(pixels).raw(icc).data();
}

QByteArray installedProfile(const QString& path) {
    QFile file(QStringLiteral("/usr/share/color/icc/") + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
