#include "ThumbnailMaker.h"

#include "ExifThumbnail.h"
#include "PictureLoader.h"
#include "RegularFile.h"

#include <QFile>

#include <cmath>

namespace ThumbnailMaker {
namespace {

constexpr qint64 kHeadBytes = 64;

Made failure(const QString& message) {
    Made made;
    made.error = message;
    return made;
}

// The cell's picture from an image in `colours`: cached thumbnails are sRGB, as are the
// previews cameras store (by the EXIF rule), and so are decoded pictures that are to be cached.
Made made(const QImage& image, QSize natural, QSize pixels, Origin origin, Colour::Target colours) {
    Made result;
    result.picture.image = image.size() == pixels ? image
                                                  : image.scaled(pixels, Qt::IgnoreAspectRatio,
                                                                 Qt::SmoothTransformation);
    if (colours == Colour::Target::Srgb)
        Colour::convert(result.picture.image, {}, Colour::Target::Display);
    result.picture.naturalSize = natural.isValid() ? natural : image.size();
    result.origin = origin;
    return result;
}

bool covers(QSize image, QSize pixels) {
    return image.width() >= pixels.width() && image.height() >= pixels.height();
}

// The side of the square that a picture of this natural size must be fitted in to have at
// least `pixels` in each direction; without the natural size, the larger of the two.
int requiredSide(QSize pixels, QSize natural) {
    const int larger = qMax(pixels.width(), pixels.height());
    if (natural.isEmpty())
        return larger;
    const double ratio = double(natural.width()) / natural.height();
    const double side = ratio >= 1 ? qMax<double>(pixels.width(), pixels.height() * ratio)
                                   : qMax<double>(pixels.height(), pixels.width() / ratio);
    return static_cast<int>(std::min<double>(std::ceil(side), INT_MAX / 2));
}

std::optional<Made> fromCache(const ThumbnailCache& cache, const ThumbnailCache::Source& source,
                              QSize pixels) {
    const int larger = qMax(pixels.width(), pixels.height());
    for (ThumbnailCache::Flavour flavour : ThumbnailCache::kFlavours) {
        if (ThumbnailCache::sideOf(flavour) < larger)
            continue; // too small by its side alone
        const auto found = cache.find(source, flavour);
        if (!found)
            continue;
        // A thumbnail as large as the picture itself is all there is to show.
        if (covers(found->image.size(), pixels) || found->image.size() == found->naturalSize)
            return made(found->image, found->naturalSize, pixels, Origin::Cache,
                        Colour::Target::Srgb);
    }
    return std::nullopt;
}

// A photo cut short lacks its end marker; its preview would show what the photo cannot.
bool endsAsJpegEnds(QFile& file) {
    const qint64 size = file.size();
    if (size < 4 || !file.seek(size - 2))
        return false;
    return file.read(2) == "\xff\xd9";
}

} // namespace

Made make(const QString& path, QSize pixels, const ThumbnailCache* cache) {
    QFile file;
    if (const QString problem = RegularFile::open(path, file); !problem.isEmpty())
        return failure(problem);
    const QByteArray format = PictureLoader::formatOf(file.peek(kHeadBytes));
    if (format.isEmpty())
        return failure(QStringLiteral("not a picture in a supported format"));

    const auto source = ThumbnailCache::sourceOf(path);
    const bool cached = cache && source && !cache->holds(path);
    if (cached)
        if (auto found = fromCache(*cache, *source, pixels))
            return *found;

    QSize natural;
    if (format == "jpeg") {
        const auto header = ExifThumbnail::readHeader(file);
        if (header) {
            natural = header->uprightSize();
            if (endsAsJpegEnds(file))
                if (const auto preview = ExifThumbnail::usableThumbnail(*header, pixels))
                    return made(*preview, natural, pixels, Origin::Embedded, Colour::Target::Srgb);
        }
        if (!file.seek(0))
            return failure(QStringLiteral("cannot read %1").arg(path));
    }

    const int side = requiredSide(pixels, natural);
    const auto flavour = cached ? ThumbnailCache::flavourFor(side) : std::nullopt;
    const int boundSide = flavour ? ThumbnailCache::sideOf(*flavour) : side;
    // What is cached is sRGB, for every program that reads the cache.
    const Colour::Target colours = flavour ? Colour::Target::Srgb : Colour::Target::Display;
    PictureLoader::Result loaded = PictureLoader::load(file, QSize(boundSide, boundSide), colours);
    if (!loaded.ok())
        return failure(loaded.error);
    Made result =
        made(loaded.picture.image, loaded.picture.naturalSize, pixels, Origin::Decoded, colours);
    // Only a reduced picture is worth caching: a small one decodes as fast as its thumbnail.
    if (flavour && loaded.picture.image.size() != loaded.picture.naturalSize) {
        result.forCache = std::move(loaded.picture.image);
        result.source = *source;
        result.flavour = *flavour;
    }
    return result;
}

void store(const Made& made, const ThumbnailCache& cache) {
    if (!made.forCache.isNull())
        cache.store(made.source, made.flavour, made.forCache, made.picture.naturalSize);
}

} // namespace ThumbnailMaker
