#include "MetafileBitmap.h"

#include "ByteReader.h"
#include "DibDecoder.h"
#include "PictureLimits.h"

#include <optional>

namespace MetafileBitmap {
namespace {

constexpr quint32 kCoreHeaderSize = 12;

int bitsPerPixel(const ByteReader& info) {
    return info.u32(0) == kCoreHeaderSize ? info.u16(10) : info.u16(14);
}

Dib::ColourTable tableForm(int usage) {
    switch (usage) {
    case PaletteIndices:
        return Dib::ColourTable::Indices;
    case NoColourTable:
        return Dib::ColourTable::Absent;
    default:
        return Dib::ColourTable::Colours;
    }
}

// The layout with the colours the metafile's own tables give: palette indices resolved through
// the selected palette, and black and white for a monochrome bitmap that comes without colours
// (a brush or the text colours paint it).
std::optional<Dib::Layout> readLayout(const ByteReader& info, const Options& options) {
    Dib::HeaderOptions header;
    header.table = tableForm(options.usage);
    header.largestPixels = MetafileLimits::kLargestBitmapPixels;
    QString error;
    std::optional<Dib::Layout> layout = Dib::readLayout(info, 0, header, error);
    const bool monochrome = bitsPerPixel(info) == 1;
    if (!layout && monochrome && header.table == Dib::ColourTable::Colours) {
        header.table = Dib::ColourTable::Absent;
        layout = Dib::readLayout(info, 0, header, error);
    }
    if (!layout)
        return std::nullopt;
    if (header.table == Dib::ColourTable::Absent && layout->bits >= 1 && layout->bits <= 8) {
        if (!monochrome)
            return std::nullopt;
        layout->palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (header.table == Dib::ColourTable::Indices) {
        const QList<QRgb> none;
        const QList<QRgb>& entries = options.palette ? options.palette->entries : none;
        for (qint64 i = 0; i < layout->tableEntries && i < 256; ++i) {
            const quint16 index = info.u16(layout->tableAt + 2 * i);
            layout->palette.push_back(index < entries.size() ? entries[index] : qRgb(0, 0, 0));
        }
    }
    return layout;
}

// Always with an alpha channel: smooth scaling treats the edges of an opaque format otherwise.
QImage decodePixels(const ByteReader& bits, const Dib::Layout& layout, const Options& options) {
    const Dib::Opacity opacity = options.keepAlpha ? Dib::Opacity::Kept : Dib::Opacity::Ignored;
    return Dib::decodePixels(bits, layout, opacity).image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QImage decode(const ByteReader& info, const ByteReader& bits, const Options& options) {
    const auto layout = readLayout(info, options);
    return layout ? decodePixels(bits, *layout, options) : QImage();
}

QImage decodePacked(const ByteReader& packed, const Options& options) {
    const auto layout = readLayout(packed, options);
    return layout ? decodePixels(packed.from(layout->pixelsAt), *layout, options) : QImage();
}

QImage decodeDeviceDependent(const ByteReader& bitmap, qint64 bitsAt) {
    if (!bitmap.has(0, 10))
        return {};
    const qint64 width = bitmap.i16(2);
    const qint64 height = bitmap.i16(4);
    const qint64 stride = bitmap.i16(6);
    const int planes = bitmap.u8(8);
    const int bpp = bitmap.u8(9);
    if (!PictureLimits::withinPixelLimit(width, height, MetafileLimits::kLargestBitmapPixels) ||
        planes != 1 || stride <= 0)
        return {};
    if (bpp != 1 && bpp != 24 && bpp != 32)
        return {};
    if (!bitmap.has(bitsAt, stride * height) || stride * 8 < width * bpp)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    const uchar* base = bitmap.bytes() + bitsAt;
    for (qint64 y = 0; y < height; ++y) {
        const uchar* src = base + y * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < width; ++x) {
            if (bpp == 1)
                line[x] = Dib::indexAt(src, x, 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            else if (bpp == 24)
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            else
                line[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
        }
    }
    return image;
}

bool storedBottomUp(const ByteReader& info) {
    return info.u32(0) == kCoreHeaderSize || info.i32(8) > 0;
}

} // namespace MetafileBitmap
