#include "PictureLoader.h"

#include "Decoded.h"
#include "DeviceReading.h"
#include "DibDecoder.h"
#include "FittedSize.h"
#include "GifDecoder.h"
#include "IconDecoder.h"
#include "JpegSegments.h"
#include "RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <optional>

// JPEG and the metafiles are decoded by Qt's readers, which can decode at a reduced size.
// Bitmaps, icons and GIFs are decoded by our own decoders (decoders/ and imaging/): Qt's readers
// for them accept truncated files, allocate from sizes the file only claims, misread several
// valid bitmap variants (bit-field colours, 2-bit palettes, version 2 and 3 headers, 24-bit run
// lengths) and show only the first entry of an icon. Our decoders check every size against the
// file and the pixel limit before they allocate anything.

namespace PictureLoader {
namespace {

constexpr qint64 kHeadBytes = 64;

// A bitmap information header without the file header before it, as the clipboard keeps it.
bool isHeaderlessDib(const QByteArray& head) {
    const ByteReader bytes(head);
    if (!Dib::isInfoHeaderSize(bytes.u32(0)))
        return false;
    const qint32 width = bytes.i32(4);
    const quint16 planes = bytes.u16(12);
    const quint16 bits = bytes.u16(14);
    const bool knownDepth =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return width > 0 && planes == 1 && knownDepth;
}

bool isMetafile(const QByteArray& format) {
    return format == "wmf" || format == "emf";
}

Result failure(const QString& message) {
    return {{}, message};
}

Result finished(QImage image, QSize natural, QSize bound) {
    const QSize target = fittedSize(natural, bound);
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {{std::move(image), natural}, {}};
}

// The size to have libjpeg decode a stored picture at for a target size: the smallest of its
// reduced sizes (m/8 of the stored size, m = 1 to 7) that reaches at least 95% of the target in
// both directions, or nothing when only the whole size will do. The rest is scaled after
// decoding: enlarging by at most 5% cannot be seen, and decoding at 1/8 instead of 2/8 of a
// camera photo saves about a quarter of its decoding time. The size asked for is rounded down,
// so that Qt's reader, which picks the scale from it, does not step up to the next scale.
std::optional<QSize> jpegDecodeSize(QSize stored, QSize target) {
    constexpr int kSmallestSharePercent = 95;
    for (int m = 1; m < 8; ++m) {
        const QSize reduced(stored.width() * m / 8, stored.height() * m / 8);
        if (reduced.isEmpty())
            continue;
        if (reduced.width() * 100 >= target.width() * kSmallestSharePercent &&
            reduced.height() * 100 >= target.height() * kSmallestSharePercent)
            return reduced;
    }
    return std::nullopt;
}

// JPEG and metafiles, through Qt's readers, at a reduced size when the reader can scale while
// decoding: JPEG at one of libjpeg's reduced sizes, metafiles drawn at the target size. A JPEG's
// `scans` are decoded over the whole picture each, whatever the size: one whose scans would take
// far longer than any photo's is refused.
Result readWithQt(QIODevice& device, const QByteArray& format, QSize bound, int scans = 1) {
    QImageReader reader(&device, format);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>((PictureLimits::kLargestPixels * 4) >> 20));
    const QSize stored = reader.size();
    if (stored.isValid() && !PictureLimits::withinPixelLimit(stored.width(), stored.height()))
        return failure(tooLarge(stored.width(), stored.height()));
    if (!PictureLimits::withinJpegScanLimit(scans, stored.width(), stored.height()))
        return failure(QStringLiteral("%1 scans are too many for a picture of %2 x %3")
                           .arg(scans)
                           .arg(stored.width())
                           .arg(stored.height()));

    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    if (stored.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize target = fittedSize(upright, bound);
        const QSize storedTarget = turned ? target.transposed() : target;
        if (format == "jpeg") {
            if (const auto size = jpegDecodeSize(stored, storedTarget))
                reader.setScaledSize(*size);
        } else if (target != upright) {
            reader.setScaledSize(storedTarget);
        }
    }

    QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), reader.errorString()));
    // The natural size is taken before the image is handed over: arguments are evaluated in
    // no fixed order, and a moved-from image has no size.
    const QSize natural = stored.isValid() ? upright : image.size();
    return finished(std::move(image), natural, bound);
}

// A JPEG is read by Qt from the file itself, unless it holds so many application segments that
// the JPEG library would take very long over them: those past the limit are then left out of a
// copy in memory.
Result readJpeg(QIODevice& device, QSize bound) {
    const qint64 start = device.pos();
    if (device.size() - start > PictureLimits::kLargestFileBytes)
        return failure(QStringLiteral("file too large"));
    const JpegSegments::Census census = JpegSegments::census(device);
    if (!device.seek(start))
        return failure(QStringLiteral("cannot read the file again"));
    if (!census.surplusSegments)
        return readWithQt(device, "jpeg", bound, census.scans);
    std::optional<QByteArray> bytes =
        DeviceReading::readAtMost(device, PictureLimits::kLargestFileBytes);
    if (!bytes)
        return failure(QStringLiteral("file too large"));
    QByteArray kept = JpegSegments::withoutSurplusSegments(*bytes);
    QBuffer buffer(&kept);
    buffer.open(QIODevice::ReadOnly);
    return readWithQt(buffer, "jpeg", bound, census.scans);
}

// Bitmaps, icons and GIFs, by our own decoders, decoded whole and then scaled; run-length
// bitmaps straight at the size the bound allows.
Result decodeOwn(const QByteArray& bytes, const QByteArray& format, QSize bound) {
    Decoded decoded;
    if (format == "bmp" || format == "dib")
        decoded = Dib::decodeFile(bytes, format == "bmp", bound);
    else if (format == "ico")
        decoded = PictureDecoders::decodeIcon(bytes);
    else
        decoded = PictureDecoders::decodeGif(bytes);
    if (decoded.image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), decoded.error.isEmpty()
                                                                 ? QStringLiteral("no image")
                                                                 : decoded.error));
    const QSize natural =
        decoded.naturalSize.isValid() ? decoded.naturalSize : decoded.image.size();
    return finished(std::move(decoded.image), natural, bound);
}

} // namespace

QByteArray formatOf(const QByteArray& head) {
    const ByteReader bytes(head);
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (bytes.u16(0) == 0 && (bytes.u16(2) == 1 || bytes.u16(2) == 2) && bytes.u16(4) > 0)
        return "ico";
    if (bytes.u32(0) == 0x9ac6cdd7u)
        return "wmf";
    if ((bytes.u16(0) == 1 || bytes.u16(0) == 2) && bytes.u16(2) == 9 &&
        (bytes.u16(4) == 0x0100 || bytes.u16(4) == 0x0300))
        return "wmf";
    if (bytes.u32(0) == 1 && head.mid(40, 4) == " EMF")
        return "emf";
    if (isHeaderlessDib(head))
        return "dib";
    return {};
}

Result load(const QString& path, QSize bound) {
    QFile file;
    if (const QString problem = RegularFile::open(path, file); !problem.isEmpty())
        return failure(problem);
    return load(file, bound);
}

Result load(QIODevice& device, QSize bound) {
    if (device.isSequential())
        return failure(QStringLiteral("not a file: pictures are not read from streams"));
    const QByteArray format = formatOf(device.peek(kHeadBytes));
    if (format.isEmpty())
        return failure(QStringLiteral("not a picture in a supported format"));
    if (format == "jpeg")
        return readJpeg(device, bound);
    if (isMetafile(format)) {
        // The metafile reader reads the file itself, within the same limit.
        if (device.size() - device.pos() > MetafileLimits::kLargestFileBytes)
            return failure(QStringLiteral("file too large"));
        return readWithQt(device, format, bound);
    }
    const std::optional<QByteArray> bytes =
        DeviceReading::readAtMost(device, PictureLimits::kLargestFileBytes);
    if (!bytes)
        return failure(QStringLiteral("file too large"));
    return decodeOwn(*bytes, format, bound);
}

} // namespace PictureLoader
