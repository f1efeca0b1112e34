#include "IconDecoder.h"

#include "ByteReader.h"
#include "DibDecoder.h"
#include "EmbeddedImage.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace PictureDecoders {
namespace {

struct IconEntry {
    ByteReader payload; // from the entry's offset to the end of the file
    bool png = false;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
};

// The size and depth an icon image declares in its own header (the directory's may be wrong).
std::optional<IconEntry> readIconEntry(const ByteReader& payload) {
    IconEntry entry;
    entry.payload = payload;
    if (payload.size() >= 24 && payload.be32(0) == 0x89504e47u && payload.be32(4) == 0x0d0a1a0au) {
        entry.png = true;
        entry.width = payload.be32(16);
        entry.height = payload.be32(20);
        entry.bits = 32;
    } else if (Dib::isInfoHeaderSize(payload.u32(0)) && payload.size() >= 40) {
        entry.width = payload.i32(4);
        entry.height = qAbs(qint64(payload.i32(8))) / 2;
        entry.bits = payload.u16(14);
    } else {
        return std::nullopt;
    }
    if (!PictureLimits::withinPixelLimit(entry.width, entry.height))
        return std::nullopt;
    return entry;
}

// Applies an icon's AND mask (one bit a pixel, set where the picture is transparent) that
// follows the colour pixels, when the colour pixels carry no opacity of their own.
void applyIconMask(const ByteReader& pixels, const Dib::Layout& layout, QImage& image) {
    if (image.hasAlphaChannel())
        return;
    const qint64 colourBytes = Dib::bytesPerRow(layout.width, layout.bits) * layout.height;
    const qint64 maskStride = Dib::bytesPerRow(layout.width, 1);
    if (!pixels.has(colourBytes, maskStride * layout.height))
        return; // no mask stored: the picture stays opaque
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (qint64 row = 0; row < layout.height; ++row) {
        const uchar* mask = pixels.bytes() + colourBytes + row * maskStride;
        const int y = static_cast<int>(layout.topDown ? row : layout.height - 1 - row);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (qint64 x = 0; x < layout.width; ++x)
            if (Dib::indexAt(mask, x, 1))
                out[x] = 0;
    }
}

Decoded decodeIconImage(const IconEntry& entry) {
    if (entry.png) {
        // The directory may claim more bytes than the file holds; the PNG counts if it is whole.
        if (!EmbeddedImage::isCompletePng(entry.payload))
            return refused(QStringLiteral("the icon's PNG image is cut short"));
        return EmbeddedImage::decode(entry.payload.data(), "png");
    }
    QString error;
    Dib::HeaderOptions options;
    options.inIcon = true;
    const auto layout = Dib::readLayout(entry.payload, 0, options, error);
    if (!layout)
        return refused(error);
    const ByteReader pixels = entry.payload.from(layout->pixelsAt);
    Decoded decoded = Dib::decodePixels(pixels, *layout, Dib::Opacity::FromPixels);
    const bool masked =
        layout->compression == Dib::Uncompressed || layout->compression == Dib::BitFields;
    if (masked && !decoded.image.isNull())
        applyIconMask(pixels, *layout, decoded.image);
    return decoded;
}

} // namespace

Decoded decodeIcon(const QByteArray& file) {
    const ByteReader bytes(file);
    const qint64 count = bytes.u16(4);
    const qint64 directoryEnd = 6 + count * 16;
    if (count == 0 || !bytes.has(6, count * 16))
        return refused(QStringLiteral("truncated icon directory"));
    std::vector<IconEntry> entries;
    for (qint64 at = 6; at < directoryEnd; at += 16) {
        const qint64 offset = bytes.u32(at + 12);
        if (offset < directoryEnd || !bytes.has(offset, 1))
            continue;
        if (const auto entry = readIconEntry(bytes.from(offset)))
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
