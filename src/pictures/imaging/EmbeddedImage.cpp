#include "EmbeddedImage.h"

#include "ByteReader.h"
#include "JpegSegments.h"

#include <QBuffer>
#include <QImageReader>

namespace EmbeddedImage {

Decoded decode(QByteArrayView data, const char* format, qint64 largestPixels) {
    QByteArray bytes = data.toByteArray();
    int scans = 1;
    if (qstrcmp(format, "jpeg") == 0) {
        QBuffer walked(&bytes);
        walked.open(QIODevice::ReadOnly);
        const JpegSegments::Census census = JpegSegments::census(walked);
        scans = census.scans;
        if (census.surplusSegments)
            bytes = JpegSegments::withoutSurplusSegments(bytes);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!PictureLimits::withinPixelLimit(size.width(), size.height(), largestPixels))
        return refused(
            size.isValid()
                ? tooLarge(size.width(), size.height())
                : QStringLiteral("unreadable embedded %1 picture").arg(QLatin1String(format)));
    if (!PictureLimits::withinJpegScanLimit(scans, size.width(), size.height()))
        return refused(QStringLiteral("%1 scans are too many for an embedded picture of %2 x %3")
                           .arg(scans)
                           .arg(size.width())
                           .arg(size.height()));
    QImage image = reader.read();
    if (image.isNull())
        return refused(QStringLiteral("cannot decode the embedded %1 picture: %2")
                           .arg(QLatin1String(format), reader.errorString()));
    return {image, {}};
}

bool isCompletePng(const ByteReader& bytes) {
    constexpr quint32 kEndChunk = 0x49454e44; // "IEND"
    if (bytes.be32(0) != 0x89504e47u || bytes.be32(4) != 0x0d0a1a0au)
        return false;
    qint64 at = 8;
    while (bytes.has(at, 12)) {
        if (bytes.be32(at + 4) == kEndChunk)
            return true;
        at += 12 + qint64(bytes.be32(at)); // length, type, data and check
    }
    return false;
}

} // namespace EmbeddedImage
