#include "EmbeddedImage.h"

#include "JpegSegments.h"

#include <QBuffer>
#include <QImageReader>

namespace EmbeddedImage {

Decoded decode(QByteArrayView data, const char* format, qint64 largestPixels) {
    QByteArray bytes = data.toByteArray();
    if (qstrcmp(format, "jpeg") == 0)
        bytes = JpegSegments::withoutSurplusSegments(bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!PictureLimits::withinPixelLimit(size.width(), size.height(), largestPixels))
        return refused(
            size.isValid()
                ? tooLarge(size.width(), size.height())
                : QStringLiteral("unreadable embedded %1 picture").arg(QLatin1String(format)));
    QImage image = reader.read();
    if (image.isNull())
        return refused(QStringLiteral("cannot decode the embedded %1 picture: %2")
                           .arg(QLatin1String(format), reader.errorString()));
    return {image, {}};
}

} // namespace EmbeddedImage
