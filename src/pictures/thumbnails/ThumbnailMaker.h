#pragma once

#include "Picture.h"
#include "ThumbnailCache.h"

#include <QString>

// One cell's picture from one file, by the cheapest way that shows it as well as decoding the
// file would: a fresh thumbnail from the shared cache, else the preview a camera stored in the
// photo, else the file decoded at a reduced size (whose thumbnail is then worth caching).
namespace ThumbnailMaker {

enum class Origin { Cache, Embedded, Decoded };

struct Made {
    Picture picture; // the image at exactly the pixels asked for, stretched as a cell shows it
    QString error;   // empty on success
    Origin origin = Origin::Decoded;
    // A decoded picture's thumbnail, to be written to the cache once the cell has its picture.
    QImage forCache;
    ThumbnailCache::Source source;
    ThumbnailCache::Flavour flavour = ThumbnailCache::Flavour::Normal;

    bool ok() const { return error.isEmpty(); }
};

// The picture of the file for a cell of `pixels` device pixels. A file that does not open, or
// whose content is not a picture format the loader reads, fails even when a thumbnail of it is
// cached. Without a cache, nothing is looked up or prepared for storing.
Made make(const QString& path, QSize pixels, const ThumbnailCache* cache);

// Writes what make decoded to the cache; nothing for a picture that came from elsewhere.
void store(const Made& made, const ThumbnailCache& cache);

} // namespace ThumbnailMaker
