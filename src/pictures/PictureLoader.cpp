#include "PictureLoader.h"

#include "CmykJpegDecoder.h"
#include "Decoded.h"
#include "DeviceReading.h"
#include "DibDecoder.h"
#include "ExifThumbnail.h"
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
//
// Every picture leaves the loader in the colours asked for: those of the screen or sRGB,
// converted from the profile its file carries (see Colour::convert), after scaling, so that
// only the pixels shown are converted.

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

// What the caller asked for: the bound to fit the picture in and the colours to give it.
struct Wanted {
    QSize bound;
    Colour::Target colours;
};

// The picture scaled to fit the bound; its colours are already those wanted.
Result fitted(QImage image, QSize natural, QSize bound) {
    const QSize target = fittedSize(natural, bound);
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {{std::move(image), natural}, {}};
}

Result finished(QImage image, QSize natural, const Wanted& wanted, const ColourSource& colour) {
    Result result = fitted(std::move(image), natural, wanted.bound);
    Colour::convert(result.picture.image, colour, wanted.colours);
    return result;
}

QSize eighthsOf(QSize stored, int eighths) {
    return {stored.width() * eighths / 8, stored.height() * eighths / 8};
}

// The eighths of its stored size to have libjpeg decode a picture at for a target size: the
// smallest of its reduced sizes (m/8 of the stored size, m = 1 to 7) that reaches at least 95%
// of the target in both directions, or nothing when only the whole size will do. The rest is scaled
// after decoding: enlarging by at most 5% cannot be seen, and decoding at 1/8 instead of 2/8 of a
// camera photo saves about a quarter of its decoding time. The size asked for is rounded down,
// so that Qt's reader, which picks the scale from it, does not step up to the next scale.
std::optional<int> jpegEighths(QSize stored, QSize target) {
    constexpr int kSmallestSharePercent = 95;
    for (int m = 1; m < 8; ++m) {
        const QSize reduced = eighthsOf(stored, m);
        if (reduced.isEmpty())
            continue;
        if (reduced.width() * 100 >= target.width() * kSmallestSharePercent &&
            reduced.height() * 100 >= target.height() * kSmallestSharePercent)
            return m;
    }
    return std::nullopt;
}

// JPEG and metafiles, through Qt's readers, at a reduced size when the reader can scale while
// decoding: JPEG at one of libjpeg's reduced sizes, metafiles drawn at the target size.
Result readWithQt(QIODevice& device, const QByteArray& format, const Wanted& wanted,
                  const ColourSource& colour) {
    QImageReader reader(&device, format);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>((PictureLimits::kLargestPixels * 4) >> 20));
    const QSize stored = reader.size();
    if (stored.isValid() && !PictureLimits::withinPixelLimit(stored.width(), stored.height()))
        return failure(tooLarge(stored.width(), stored.height()));

    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    if (stored.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize target = fittedSize(upright, wanted.bound);
        const QSize storedTarget = turned ? target.transposed() : target;
        if (format == "jpeg") {
            if (const auto eighths = jpegEighths(stored, storedTarget))
                reader.setScaledSize(eighthsOf(stored, *eighths));
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
    return finished(std::move(image), natural, wanted, colour);
}

// A four-component JPEG with a CMYK profile, decoded to its samples and converted through the
// profile; nothing when the profile turns out unusable, and Qt's reader then shows the file.
std::optional<Result> readCmykJpeg(const QByteArray& file, const JpegSegments::Census& census,
                                   const Wanted& wanted) {
    const bool turned = census.orientation >= 5;
    const QSize upright = turned ? census.storedSize.transposed() : census.storedSize;
    const QSize target = fittedSize(upright, wanted.bound);
    const int eighths =
        jpegEighths(census.storedSize, turned ? target.transposed() : target).value_or(8);
    const PictureDecoders::CmykSamples decoded = PictureDecoders::decodeCmykJpeg(file, eighths);
    if (!decoded.error.isEmpty())
        return failure(QStringLiteral("cannot decode the jpeg picture: %1").arg(decoded.error));
    std::optional<QImage> image =
        Colour::fromCmyk(decoded.samples.data(), decoded.size, census.colour.iccProfile,
                         census.adobe, wanted.colours);
    if (!image)
        return std::nullopt;
    return fitted(ExifThumbnail::upright(*image, census.orientation), upright, wanted.bound);
}

// A JPEG is read by Qt from the file itself, unless it holds so many application segments that
// the JPEG library would take very long over them (those past the limit are then left out of a
// copy in memory), or it holds CMYK samples with a profile to convert them through. Its scans
// are decoded over the whole picture each, whatever the size: one whose scans would take far
// longer than any photo's is refused.
Result readJpeg(QIODevice& device, const Wanted& wanted) {
    const qint64 start = device.pos();
    if (device.size() - start > PictureLimits::kLargestFileBytes)
        return failure(QStringLiteral("file too large"));
    const JpegSegments::Census census = JpegSegments::census(device);
    const QSize stored = census.storedSize;
    if (!PictureLimits::withinJpegScanLimit(census.scans, stored.width(), stored.height()))
        return failure(QStringLiteral("%1 scans are too many for a picture of %2 x %3")
                           .arg(census.scans)
                           .arg(stored.width())
                           .arg(stored.height()));
    if (!device.seek(start))
        return failure(QStringLiteral("cannot read the file again"));
    const bool profiledCmyk =
        census.components == 4 && Colour::isCmykProfile(census.colour.iccProfile);
    if (!census.surplusSegments && !profiledCmyk)
        return readWithQt(device, "jpeg", wanted, census.colour);
    std::optional<QByteArray> bytes =
        DeviceReading::readAtMost(device, PictureLimits::kLargestFileBytes);
    if (!bytes)
        return failure(QStringLiteral("file too large"));
    if (profiledCmyk && PictureLimits::withinPixelLimit(stored.width(), stored.height()))
        if (std::optional<Result> read = readCmykJpeg(*bytes, census, wanted))
            return *read;
    QByteArray kept = JpegSegments::withoutSurplusSegments(*bytes);
    QBuffer buffer(&kept);
    buffer.open(QIODevice::ReadOnly);
    return readWithQt(buffer, "jpeg", wanted, census.colour);
}

// Bitmaps, icons and GIFs, by our own decoders, decoded whole and then scaled; run-length
// bitmaps straight at the size the bound allows.
Result decodeOwn(const QByteArray& bytes, const QByteArray& format, const Wanted& wanted) {
    Decoded decoded;
    ColourSource colour;
    if (format == "bmp" || format == "dib") {
        decoded = Dib::decodeFile(bytes, format == "bmp", wanted.bound);
        colour.iccProfile = Dib::embeddedProfile(bytes, format == "bmp");
    } else if (format == "ico") {
        decoded = PictureDecoders::decodeIcon(bytes);
    } else {
        decoded = PictureDecoders::decodeGif(bytes);
    }
    if (decoded.image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), decoded.error.isEmpty()
                                                                 ? QStringLiteral("no image")
                                                                 : decoded.error));
    const QSize natural =
        decoded.naturalSize.isValid() ? decoded.naturalSize : decoded.image.size();
    return finished(std::move(decoded.image), natural, wanted, colour);
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

Result load(const QString& path, QSize bound, Colour::Target colours) {
    QFile file;
    if (const QString problem = RegularFile::open(path, file); !problem.isEmpty())
        return failure(problem);
    return load(file, bound, colours);
}

Result load(QIODevice& device, QSize bound, Colour::Target colours) {
    const Wanted wanted{bound, colours};
    if (device.isSequential())
        return failure(QStringLiteral("not a file: pictures are not read from streams"));
    const QByteArray format = formatOf(device.peek(kHeadBytes));
    if (format.isEmpty())
        return failure(QStringLiteral("not a picture in a supported format"));
    if (format == "jpeg")
        return readJpeg(device, wanted);
    if (isMetafile(format)) {
        // The metafile reader reads the file itself, within the same limit.
        if (device.size() - device.pos() > MetafileLimits::kLargestFileBytes)
            return failure(QStringLiteral("file too large"));
        return readWithQt(device, format, wanted, {});
    }
    const std::optional<QByteArray> bytes =
        DeviceReading::readAtMost(device, PictureLimits::kLargestFileBytes);
    if (!bytes)
        return failure(QStringLiteral("file too large"));
    return decodeOwn(*bytes, format, wanted);
}

} // namespace PictureLoader
