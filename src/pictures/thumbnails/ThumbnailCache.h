#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// The thumbnail cache that desktop programs share (the freedesktop.org thumbnail standard):
// PNG files under $XDG_CACHE_HOME/thumbnails/{normal,large,x-large,xx-large}/, named by the MD5
// of the picture's file URI, each carrying that URI and the picture's modification time.
// Thumbnails made by a file manager serve us as ours serve it. A thumbnail is trusted only
// when it is complete, written for the same URI and the same modification time (and file size,
// when recorded), and no larger than its folder allows; anything else is ignored.
//
// All members are safe to call from several threads at once.
class ThumbnailCache {
public:
    // The folders of the cache by the side of the square a thumbnail fits in.
    enum class Flavour { Normal, Large, XLarge, XXLarge };
    static constexpr Flavour kFlavours[] = {Flavour::Normal, Flavour::Large, Flavour::XLarge,
                                            Flavour::XXLarge};
    static int sideOf(Flavour flavour);
    // The smallest flavour whose square has at least this side; nothing above the largest.
    static std::optional<Flavour> flavourFor(int side);

    // A picture file as the cache records it.
    struct Source {
        QString path;        // absolute, clean
        QByteArray uri;      // file:// URI, escaped as GLib escapes it
        qint64 modified = 0; // seconds since 1970
        qint64 size = 0;
    };
    // Nothing when the path names no readable file.
    static std::optional<Source> sourceOf(const QString& path);
    // The file URI of an absolute path: "file://" and the path's UTF-8 bytes, with every byte
    // outside letters, digits and -._~!$&'()*+,=:@/ written as %XX.
    static QByteArray uriOf(const QString& absolutePath);

    // The user's cache: $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
    static ThumbnailCache user();
    // A cache rooted at a folder of one's choice (the folder holding normal/, large/, ...).
    explicit ThumbnailCache(const QString& root);

    const QString& root() const { return m_root; }
    QString fileFor(const Source& source, Flavour flavour) const;
    // True for a path inside the cache's folders: such pictures are never cached.
    bool holds(const QString& path) const;

    struct Thumbnail {
        QImage image;      // upright, fitted in the flavour's square
        QSize naturalSize; // the picture's own size when recorded, else invalid
    };
    // A fresh, trustworthy thumbnail of the source in one flavour's folder.
    std::optional<Thumbnail> find(const Source& source, Flavour flavour) const;
    // Writes a thumbnail to a temporary file beside its place and renames it there, making the
    // folders (0700) as needed; the file is 0600. False when nothing was stored: a folder that
    // cannot be written, a picture inside the cache, or an image larger than the flavour.
    bool store(const Source& source, Flavour flavour, const QImage& image, QSize naturalSize) const;

private:
    QString m_root;
    QString m_canonicalRoot; // the root with its links resolved, when it exists
};
