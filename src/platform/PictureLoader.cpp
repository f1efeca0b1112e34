#include "PictureLoader.h"

#include <QFile>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>


namespace PictureLoader {
namespace {

constexpr qint64 kHeadBytes = 64;

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return bytes.size() >= at + 4 ? qFromLittleEndian<quint32>(bytes.constData() + at) : 0;
}

quint16 le16(const QByteArray& bytes, qsizetype at) {
    return bytes.size() >= at + 2 ? qFromLittleEndian<quint16>(bytes.constData() + at) : 0;
}

// A bitmap information header without the file header before it, as the clipboard keeps it.
bool isHeaderlessDib(const QByteArray& head) {
    switch (le32(head, 0)) {
    case 40: case 52: case 56: case 64: case 108: case 124:
        break;
    default:
        return false;
    }
    const qint32 width = static_cast<qint32>(le32(head, 4));
    const quint16 planes = le16(head, 12);
    const quint16 bits = le16(head, 14);
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
                            bits == 32;
    return width > 0 && planes == 1 && knownDepth;
}

Result failure(const QString& message) { return {{}, message}; }

QSize fitted(QSize natural, QSize bound) {
    if (!bound.isValid() || bound.isEmpty())
        return natural;
    if (natural.width() <= bound.width() && natural.height() <= bound.height())
        return natural;
    return natural.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

QByteArray formatOf(const QByteArray& head) {
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (le16(head, 0) == 0 && (le16(head, 2) == 1 || le16(head, 2) == 2) && le16(head, 4) > 0)
        return "ico";
    if (le32(head, 0) == 0x9ac6cdd7u)
        return "wmf";
    if ((le16(head, 0) == 1 || le16(head, 0) == 2) && le16(head, 2) == 9 &&
        (le16(head, 4) == 0x0100 || le16(head, 4) == 0x0300))
        return "wmf";
    if (le32(head, 0) == 1 && head.mid(40, 4) == " EMF")
        return "emf";
    if (isHeaderlessDib(head))
        return "dib";
    return {};
}

Result load(const QString& path, QSize bound) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    return load(file, bound);
}

Result load(QIODevice& device, QSize bound) {
    const QByteArray format = formatOf(device.peek(kHeadBytes));
    if (format.isEmpty())
        return failure(QStringLiteral("not a picture in a supported format"));

    QImageReader reader(&device, format);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isValid() &&
        qint64(stored.width()) * qint64(stored.height()) > kLargestNaturalPixels)
        return failure(QStringLiteral("picture too large (%1 x %2 pixels)")
                           .arg(stored.width())
                           .arg(stored.height()));

    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    const bool scalesWhileDecoding = reader.supportsOption(QImageIOHandler::ScaledSize);
    if (stored.isValid() && scalesWhileDecoding) {
        const QSize target = fitted(upright, bound);
        if (target != upright)
            reader.setScaledSize(turned ? target.transposed() : target);
    }

    QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("cannot decode the %1 picture: %2")
                           .arg(QString::fromLatin1(format), reader.errorString()));

    const QSize natural = stored.isValid() ? upright : image.size();
    const QSize target = fitted(natural, bound);
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {{std::move(image), natural}, {}};
}

std::vector<Result> loadAll(const QStringList& paths, QSize bound) {
    std::vector<QString> inputs(paths.begin(), paths.end());
    return QtConcurrent::blockingMapped<std::vector<Result>>(
        inputs, [bound](const QString& path) { return load(path, bound); });
}

} // namespace PictureLoader
