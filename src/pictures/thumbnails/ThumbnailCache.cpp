#include "ThumbnailCache.h"

#include "ByteReader.h"
#include "EmbeddedImage.h"
#include "RegularFile.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include <climits>
#include <cstdio>

namespace {

constexpr char kUriKey[] = "Thumb::URI";
constexpr char kModifiedKey[] = "Thumb::MTime";
constexpr char kSizeKey[] = "Thumb::Size";
constexpr char kWidthKey[] = "Thumb::Image::Width";
constexpr char kHeightKey[] = "Thumb::Image::Height";
// The largest xx-large thumbnail is 1024 x 1024 pixels; a PNG of it is never near this large.
constexpr qint64 kLargestFileBytes = qint64(16) << 20;
constexpr QFile::Permissions kOwnerOnlyFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kOwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;

// Bytes of a path that a file URI keeps as they are; the others are escaped, as GLib does, so
// that our names match those of the file managers.
bool keptInUri(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("-._~!$&'()*+,=:@/").contains(c);
}

std::optional<qint64> numberIn(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// Makes a folder that is missing, readable by its owner only.
bool ensureFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    return QDir().mkdir(path, kOwnerOnlyFolder);
}

bool isInside(const QString& path, const QString& folder) {
    return !folder.isEmpty() && path.startsWith(folder + '/');
}

QString folderName(ThumbnailCache::Flavour flavour) {
    switch (flavour) {
    case ThumbnailCache::Flavour::Normal:
        return QStringLiteral("normal");
    case ThumbnailCache::Flavour::Large:
        return QStringLiteral("large");
    case ThumbnailCache::Flavour::XLarge:
        return QStringLiteral("x-large");
    case ThumbnailCache::Flavour::XXLarge:
        return QStringLiteral("xx-large");
    }
    return {};
}

} // namespace

int ThumbnailCache::sideOf(Flavour flavour) {
    switch (flavour) {
    case Flavour::Normal:
        return 128;
    case Flavour::Large:
        return 256;
    case Flavour::XLarge:
        return 512;
    case Flavour::XXLarge:
        return 1024;
    }
    return 0;
}

std::optional<ThumbnailCache::Flavour> ThumbnailCache::flavourFor(int side) {
    for (Flavour flavour : kFlavours)
        if (sideOf(flavour) >= side)
            return flavour;
    return std::nullopt;
}

QByteArray ThumbnailCache::uriOf(const QString& absolutePath) {
    QByteArray uri("file://");
    for (const char c : absolutePath.toUtf8()) {
        if (keptInUri(c)) {
            uri.append(c);
        } else {
            uri.append('%');
            uri.append(QByteArray::number(static_cast<unsigned char>(c), 16)
                           .rightJustified(2, '0')
                           .toUpper());
        }
    }
    return uri;
}

std::optional<ThumbnailCache::Source> ThumbnailCache::sourceOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    Source source;
    source.path = QDir::cleanPath(info.absoluteFilePath());
    source.uri = uriOf(source.path);
    source.modified = info.lastModified().toSecsSinceEpoch();
    source.size = info.size();
    return source;
}

ThumbnailCache ThumbnailCache::user() {
    QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cacheHome.isEmpty())
        cacheHome = QDir::homePath() + "/.cache";
    return ThumbnailCache(cacheHome + "/thumbnails");
}

ThumbnailCache::ThumbnailCache(const QString& root)
    : m_root(QDir::cleanPath(QFileInfo(root).absoluteFilePath())),
      m_canonicalRoot(QFileInfo(root).canonicalFilePath()) {}

QString ThumbnailCache::fileFor(const Source& source, Flavour flavour) const {
    const QByteArray digest = QCryptographicHash::hash(source.uri, QCryptographicHash::Md5);
    return m_root + '/' + folderName(flavour) + '/' + QString::fromLatin1(digest.toHex()) + ".png";
}

bool ThumbnailCache::holds(const QString& path) const {
    const QFileInfo info(path);
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const QString canonical = info.canonicalFilePath();
    for (const QString& root : {m_root, m_canonicalRoot})
        if (isInside(absolute, root) || isInside(canonical, root))
            return true;
    return false;
}

std::optional<ThumbnailCache::Thumbnail> ThumbnailCache::find(const Source& source,
                                                              Flavour flavour) const {
    QFile file;
    if (!RegularFile::open(fileFor(source, flavour), file).isEmpty() ||
        file.size() > kLargestFileBytes)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (!EmbeddedImage::isCompletePng(ByteReader(bytes))) // cut short by a crash or a full disk
        return std::nullopt;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const int side = sideOf(flavour);
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > side || size.height() > side)
        return std::nullopt;
    Thumbnail thumbnail;
    thumbnail.image = reader.read();
    if (thumbnail.image.isNull() || thumbnail.image.size() != size)
        return std::nullopt;
    // Thumbnails are sRGB. One tagged with another profile holds a photo's colours unconverted,
    // as earlier versions of this program wrote them; it is made again.
    const QColorSpace colours = thumbnail.image.colorSpace();
    if (colours.isValid() && colours != QColorSpace(QColorSpace::SRgb))
        return std::nullopt;

    const QImage& image = thumbnail.image;
    if (image.text(kUriKey).toLatin1() != source.uri ||
        numberIn(image.text(kModifiedKey)) != source.modified)
        return std::nullopt;
    if (!image.text(kSizeKey).isEmpty() && numberIn(image.text(kSizeKey)) != source.size)
        return std::nullopt;
    const auto width = numberIn(image.text(kWidthKey));
    const auto height = numberIn(image.text(kHeightKey));
    if (width > 0 && height > 0 && *width <= INT_MAX && *height <= INT_MAX)
        thumbnail.naturalSize = QSize(static_cast<int>(*width), static_cast<int>(*height));
    return thumbnail;
}

bool ThumbnailCache::store(const Source& source, Flavour flavour, const QImage& image,
                           QSize naturalSize) const {
    const int side = sideOf(flavour);
    if (image.isNull() || image.width() > side || image.height() > side || holds(source.path))
        return false;
    const QString target = fileFor(source, flavour);
    const QString folder = QFileInfo(target).path();
    if (!QDir().mkpath(QFileInfo(m_root).path()) || !ensureFolder(m_root) || !ensureFolder(folder))
        return false;

    QImage tagged = image;
    tagged.setText(kUriKey, QString::fromLatin1(source.uri));
    tagged.setText(kModifiedKey, QString::number(source.modified));
    tagged.setText(kSizeKey, QString::number(source.size));
    if (naturalSize.isValid()) {
        tagged.setText(kWidthKey, QString::number(naturalSize.width()));
        tagged.setText(kHeightKey, QString::number(naturalSize.height()));
    }
    tagged.setText("Software", QStringLiteral("Lumi Vart"));

    QTemporaryFile temporary(target + ".XXXXXX");
    if (!temporary.open() || !temporary.setPermissions(kOwnerOnlyFile))
        return false;
    QImageWriter writer(&temporary, "png");
    if (!writer.write(tagged) || !temporary.flush())
        return false;
    // rename() replaces a thumbnail of the same name in one step, so a reader sees either the
    // old file or the new one, never a part of it. Unlike the file layer's atomic writer, the
    // file is not flushed to the disk first: a cache is made again from the pictures, and a
    // flush costs about 8 ms a file here. A file cut short by a crash fails the end-chunk test.
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return false;
    temporary.setAutoRemove(false);
    return true;
}
