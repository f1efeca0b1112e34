#include "IconDecoder.h"

#include "BitmapDecoder.h"
#include "ByteRange.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <optional>
#include <vector>

namespace PictureDecoders {
namespace {

struct IconEntry {
    ByteRange payload;
    bool png = false;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
};

// The size and depth an icon image declares in its own header (the directory's may be wrong).
std::optional<IconEntry> readIconEntry(ByteRange payload) {
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
void applyIconMask(ByteRange payload, const BitmapLayout& layout, QImage& image) {
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

} // namespace

Decoded decodeIcon(const QByteArray& file) {
    const ByteRange bytes(file);
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

} // namespace PictureDecoders
