#include "ExifThumbnail.h"

#include "ByteReader.h"
#include "EmbeddedImage.h"
#include "JpegSegments.h"
#include "TiffReader.h"

#include <QIODevice>
#include <QTransform>

namespace ExifThumbnail {
namespace {

// Segments before the frame header: a photo has a dozen; a file with far more is not one.
constexpr int kLargestSegmentCount = 512;
constexpr int kLargestFillBytes = 64;
// An EXIF segment holds at most 64 KiB, so its preview is small; a larger claim is a lie.
constexpr qint64 kLargestPreviewPixels = 1024 * 1024;

constexpr quint16 kPreviewOffsetTag = 0x0201;
constexpr quint16 kPreviewLengthTag = 0x0202;

// Reads the orientation and the preview from an EXIF segment's payload into the header.
void readExif(const QByteArray& payload, Header& header) {
    const TiffReader tiff(QByteArrayView(payload).sliced(6)); // after "Exif\0\0"
    if (!tiff.valid())
        return;
    const qint64 first = tiff.firstDirectory();
    const auto main = tiff.directoryAt(first);
    header.orientation = TiffReader::orientationIn(main);
    const qint64 second = tiff.nextAfter(first);
    if (second == first || main.empty())
        return;
    const auto preview = tiff.directoryAt(second);
    const auto offset = preview.find(kPreviewOffsetTag);
    const auto length = preview.find(kPreviewLengthTag);
    if (offset != preview.end() && length != preview.end())
        header.thumbnail = tiff.slice(offset->second, length->second).toByteArray();
    if (!header.thumbnail.startsWith("\xff\xd8"))
        header.thumbnail.clear();
}

std::optional<quint8> readByte(QIODevice& device) {
    char c = 0;
    if (!device.getChar(&c))
        return std::nullopt;
    return static_cast<quint8>(c);
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
        if (JpegSegments::standsAlone(*marker))
            continue; // markers without a length
        const QByteArray lengthBytes = device.read(2);
        if (lengthBytes.size() != 2)
            return std::nullopt;
        const int length =
            (static_cast<quint8>(lengthBytes[0]) << 8 | static_cast<quint8>(lengthBytes[1])) - 2;
        if (length < 0)
            return std::nullopt;

        if (JpegSegments::isFrameHeader(*marker)) {
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
            if (payload.startsWith(JpegSegments::kExifSignature)) {
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
    const Decoded decoded = EmbeddedImage::decode(header.thumbnail, "jpeg", kLargestPreviewPixels);
    if (decoded.image.isNull())
        return std::nullopt;
    const QImage preview = upright(decoded.image, header.orientation);
    if (preview.width() < pixels.width() || preview.height() < pixels.height())
        return std::nullopt;
    // Within a pixel's rounding of the photo's proportions, in either direction.
    const qint64 skew =
        qAbs(qint64(preview.width()) * photo.height() - qint64(preview.height()) * photo.width());
    if (skew > qMax(photo.width(), photo.height()))
        return std::nullopt;
    return preview;
}

} // namespace ExifThumbnail
