#include "ExifThumbnail.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QTransform>

namespace ExifThumbnail {
namespace {

// Segments before the frame header: a photo has a dozen; a file with far more is not one.
constexpr int kLargestSegmentCount = 512;
constexpr int kLargestFillBytes = 64;
// An EXIF segment holds at most 64 KiB, so its preview is small; a larger claim is a lie.
constexpr int kLargestPreviewSide = 1024;

constexpr quint16 kOrientationTag = 0x0112;
constexpr quint16 kPreviewOffsetTag = 0x0201;
constexpr quint16 kPreviewLengthTag = 0x0202;
constexpr quint16 kShortType = 3;
constexpr quint16 kLongType = 4;

// The TIFF structure inside an EXIF segment, read in its own byte order; every read outside
// the segment gives nothing.
class TiffView {
public:
    explicit TiffView(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    bool readByteOrder() {
        if (m_bytes.startsWith("II*\0"))
            m_bigEndian = false;
        else if (m_bytes.startsWith(QByteArray("MM\0*", 4)))
            m_bigEndian = true;
        else
            return false;
        return true;
    }

    std::optional<quint32> u16(qint64 at) const { return number(at, 2); }
    std::optional<quint32> u32(qint64 at) const { return number(at, 4); }
    QByteArray slice(qint64 at, qint64 length) const {
        if (at < 0 || length <= 0 || at + length > m_bytes.size())
            return {};
        return m_bytes.mid(at, length);
    }

private:
    std::optional<quint32> number(qint64 at, int width) const {
        if (at < 0 || at + width > m_bytes.size())
            return std::nullopt;
        quint32 value = 0;
        for (int i = 0; i < width; ++i) {
            const int index = m_bigEndian ? i : width - 1 - i;
            value = (value << 8) | static_cast<quint8>(m_bytes[at + index]);
        }
        return value;
    }

    QByteArray m_bytes;
    bool m_bigEndian = false;
};

// One entry of an image directory: its tag and its value when that is a single short or long.
struct Entry {
    quint16 tag = 0;
    std::optional<quint32> value;
};

std::vector<Entry> directoryAt(const TiffView& tiff, quint32 offset) {
    std::vector<Entry> entries;
    const auto count = tiff.u16(offset);
    if (!count)
        return entries;
    for (quint32 i = 0; i < *count; ++i) {
        const qint64 at = qint64(offset) + 2 + qint64(i) * 12;
        const auto tag = tiff.u16(at);
        const auto type = tiff.u16(at + 2);
        const auto items = tiff.u32(at + 4);
        if (!tag || !type || !items)
            break; // the directory runs past the segment
        Entry entry{static_cast<quint16>(*tag), {}};
        if (*items == 1 && *type == kShortType)
            entry.value = tiff.u16(at + 8);
        else if (*items == 1 && *type == kLongType)
            entry.value = tiff.u32(at + 8);
        entries.push_back(entry);
    }
    return entries;
}

std::optional<quint32> valueOf(const std::vector<Entry>& entries, quint16 tag) {
    for (const Entry& entry : entries)
        if (entry.tag == tag)
            return entry.value;
    return std::nullopt;
}

// Reads the orientation and the preview from an EXIF segment's payload into the header.
void readExif(const QByteArray& payload, Header& header) {
    TiffView tiff(payload.mid(6)); // after "Exif\0\0"
    if (!tiff.readByteOrder())
        return;
    const auto first = tiff.u32(4);
    if (!first)
        return;
    const std::vector<Entry> main = directoryAt(tiff, *first);
    const quint32 orientation = valueOf(main, kOrientationTag).value_or(1);
    header.orientation = orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;

    const auto count = tiff.u16(*first);
    const auto second = count ? tiff.u32(qint64(*first) + 2 + qint64(*count) * 12) : std::nullopt;
    if (!second || *second == 0 || *second == *first)
        return;
    const std::vector<Entry> preview = directoryAt(tiff, *second);
    const auto offset = valueOf(preview, kPreviewOffsetTag);
    const auto length = valueOf(preview, kPreviewLengthTag);
    if (offset && length)
        header.thumbnail = tiff.slice(*offset, *length);
    if (!header.thumbnail.startsWith("\xff\xd8"))
        header.thumbnail.clear();
}

std::optional<quint8> readByte(QIODevice& device) {
    char c = 0;
    if (!device.getChar(&c))
        return std::nullopt;
    return static_cast<quint8>(c);
}

bool isFrameHeader(quint8 marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

bool isExifPayload(const QByteArray& payload) {
    return payload.startsWith(QByteArray("Exif\0\0", 6));
}

} // namespace

QSize Header::uprightSize() const {
    return orientation >= 5 ? storedSize.transposed() : storedSize;
}

std::optional<Header> readHeader(QIODevice& device) {
    if (device.read(2) != "\xff\xd8")
        return std::nullopt;
    Header header;
    bool exifSeen = false;
    for (int segment = 0; segment < kLargestSegmentCount; ++segment) {
        if (readByte(device) != 0xff)
            return std::nullopt;
        std::optional<quint8> marker = readByte(device);
        for (int fill = 0; marker == 0xff && fill < kLargestFillBytes; ++fill)
            marker = readByte(device);
        if (!marker || *marker == 0xff || *marker == 0xd8 || *marker == 0xd9 || *marker == 0xda)
            return std::nullopt; // no frame header before the image data or its end
        if ((*marker >= 0xd0 && *marker <= 0xd7) || *marker == 0x01)
            continue; // markers without a length
        const QByteArray lengthBytes = device.read(2);
        if (lengthBytes.size() != 2)
            return std::nullopt;
        const int length =
            (static_cast<quint8>(lengthBytes[0]) << 8 | static_cast<quint8>(lengthBytes[1])) - 2;
        if (length < 0)
            return std::nullopt;

        if (isFrameHeader(*marker)) {
            const QByteArray frame = device.read(5);
            if (frame.size() != 5 || length < 5)
                return std::nullopt;
            const int height = static_cast<quint8>(frame[1]) << 8 | static_cast<quint8>(frame[2]);
            const int width = static_cast<quint8>(frame[3]) << 8 | static_cast<quint8>(frame[4]);
            header.storedSize = QSize(width, height);
            return header;
        }
        if (*marker == 0xe1 && !exifSeen) {
            const QByteArray payload = device.read(length);
            if (payload.size() != length)
                return std::nullopt;
            if (isExifPayload(payload)) {
                exifSeen = true;
                readExif(payload, header);
            }
        } else if (device.skip(length) != length) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

QImage upright(const QImage& stored, int orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5: // transposed
        return stored.transformed(quarter).mirrored(true, false);
    case 6:
        return stored.transformed(quarter);
    case 7: // transversed
        return stored.transformed(quarter).mirrored(false, true);
    case 8:
        return stored.transformed(QTransform().rotate(270));
    default:
        return stored;
    }
}

std::optional<QImage> usableThumbnail(const Header& header, QSize pixels) {
    const QSize photo = header.uprightSize();
    if (header.thumbnail.isEmpty() || photo.isEmpty())
        return std::nullopt;
    QByteArray bytes = header.thumbnail;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the photo's orientation applies, not the preview's own
    const QSize stored = reader.size();
    if (stored.isEmpty() || stored.width() > kLargestPreviewSide ||
        stored.height() > kLargestPreviewSide)
        return std::nullopt;
    // Cheap tests first: the preview's size and proportions, before decoding it.
    const QSize preview = header.orientation >= 5 ? stored.transposed() : stored;
    if (preview.width() < pixels.width() || preview.height() < pixels.height())
        return std::nullopt;
    const qint64 skew =
        qAbs(qint64(preview.width()) * photo.height() - qint64(preview.height()) * photo.width());
    if (skew > qMax(photo.width(), photo.height()))
        return std::nullopt;
    const QImage image = reader.read();
    if (image.size() != stored)
        return std::nullopt;
    return upright(image, header.orientation);
}

} // namespace ExifThumbnail
