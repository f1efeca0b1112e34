// The shared thumbnail cache, the camera preview of a photo, and the choice between them and
// decoding, on files made in temporary folders.
#include "ColourManagement.h"
#include "ExifThumbnail.h"
#include "TestFolders.h"
#include "TestPictures.h"
#include "ThumbnailCache.h"
#include "ThumbnailMaker.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDirIterator>
#include <QImageReader>
#include <QtTest>

namespace {

using Flavour = ThumbnailCache::Flavour;
using TestPictures::colourAt;
using ThumbnailMaker::Origin;

constexpr QSize kCell(33, 33);

QImage shrunk(const QImage& image, QSize size) {
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A folder with pictures and a thumbnail cache of its own.
struct CacheFixture {
    TestFolder folder;
    ThumbnailCache cache{folder.filePath("cache/thumbnails")};

    QString photo(const QString& name, QSize size = {600, 400}, const QByteArray& preview = {}) {
        const QImage image = TestPictures::quadrants(size.width(), size.height());
        return folder.write(name, TestPictures::withExif(TestPictures::jpeg(image), 1, preview));
    }
    ThumbnailCache::Source sourceOf(const QString& path) const {
        return ThumbnailCache::sourceOf(path).value();
    }
    // A thumbnail stored for the file, and the path of its cache file.
    QString stored(const QString& path) {
        if (!cache.store(sourceOf(path), Flavour::Normal, TestPictures::quadrants(128, 85),
                         {600, 400}))
            qFatal("cannot store a thumbnail");
        return cache.fileFor(sourceOf(path), Flavour::Normal);
    }
};

void setModified(const QString& path, const QDateTime& time) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(time, QFileDevice::FileModificationTime))
        qFatal("cannot set the modification time of %s", qPrintable(path));
}

std::optional<ExifThumbnail::Header> headerOf(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ExifThumbnail::readHeader(buffer);
}

} // namespace

class ThumbnailsTest : public QObject {
    Q_OBJECT

private slots:
    // ----- The cache -----

    // Names must match those of the file managers: GLib escapes these bytes and keeps the rest.
    void uriIsEscapedAsFileManagersEscapeIt() {
        QCOMPARE(
            ThumbnailCache::uriOf(QStringLiteral("/tmp/a b#;c,!$&'()*+=:@~[]{}|^`\"<>?%é.jpg")),
            QByteArray("file:///tmp/a%20b%23%3Bc,!$&'()*+=:@~%5B%5D%7B%7D%7C%5E%60%22%3C%3E%3F%"
                       "25%C3%A9.jpg"));
        CacheFixture f;
        const QString path = f.photo("x.jpg");
        const QByteArray md5 =
            QCryptographicHash::hash(ThumbnailCache::uriOf(path), QCryptographicHash::Md5).toHex();
        QCOMPARE(f.stored(path), f.folder.filePath("cache/thumbnails/normal/" + md5 + ".png"));
    }

    void storedThumbnailIsPrivateAndWhole() {
        CacheFixture f;
        const QString file = f.stored(f.photo("x.jpg"));
        constexpr int kGroupAndOthers = 0x0077;
        const auto permissions = QFileInfo(file).permissions();
        QCOMPARE(permissions & kGroupAndOthers, 0);
        QVERIFY(permissions.testFlags(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(QFileInfo(QFileInfo(file).path()).permissions() & kGroupAndOthers, 0);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files).size(), 1); // no leftovers
    }

    void onlyFreshWholeThumbnailsAreTrusted_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("trusted");
        QTest::newRow("fresh") << "none" << true;
        QTest::newRow("picture modified since") << "modified" << false;
        QTest::newRow("picture of another size, same time") << "resized" << false;
        QTest::newRow("thumbnail cut short") << "truncated" << false;
        QTest::newRow("thumbnail of another file") << "other uri" << false;
        QTest::newRow("thumbnail too large for its folder") << "oversized" << false;
        QTest::newRow("not a PNG") << "garbage" << false;
        // Earlier versions cached photos' pixels unconverted, tagged with the photo's profile.
        QTest::newRow("tagged with another profile") << "tagged" << false;
    }

    void onlyFreshWholeThumbnailsAreTrusted() {
        QFETCH(QString, change);
        QFETCH(bool, trusted);
        CacheFixture f;
        const QString path = f.photo("x.jpg");
        const QString file = f.stored(path);
        const QString inCache = "cache/thumbnails/normal/" + QFileInfo(file).fileName();
        const QDateTime modified = QFileInfo(path).lastModified();
        if (change == "modified") {
            setModified(path, modified.addSecs(10));
        } else if (change == "resized") {
            QFile append(path);
            QVERIFY(append.open(QIODevice::Append) && append.write("x") == 1);
            append.close();
            setModified(path, modified);
        } else if (change == "truncated") {
            f.folder.write(inCache, f.folder.read(inCache).chopped(20));
        } else if (change == "other uri") {
            QVERIFY(QFile::remove(file));
            QVERIFY(QFile::copy(f.stored(f.photo("y.jpg")), file));
        } else if (change == "oversized") {
            QVERIFY(f.cache.store(f.sourceOf(path), Flavour::Large,
                                  TestPictures::quadrants(200, 133), {600, 400}));
            QVERIFY(QFile::remove(file));
            QVERIFY(QFile::rename(f.cache.fileFor(f.sourceOf(path), Flavour::Large), file));
        } else if (change == "garbage") {
            f.folder.write(inCache, "not a png");
        } else if (change == "tagged") {
            QImage tagged = TestPictures::quadrants(128, 85);
            tagged.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
            QVERIFY(f.cache.store(f.sourceOf(path), Flavour::Normal, tagged, {600, 400}));
        }
        const auto found = f.cache.find(f.sourceOf(path), Flavour::Normal);
        QCOMPARE(found.has_value(), trusted);
        if (trusted) {
            QCOMPARE(found->image.size(), QSize(128, 85));
            QCOMPARE(found->naturalSize, QSize(600, 400));
        }
    }

    void storingFailsQuietly() {
        CacheFixture f;
        const QString path = f.photo("x.jpg");
        const QImage image = TestPictures::quadrants(128, 85);
        // A cache whose folder cannot be made: a file stands where it should be.
        f.folder.write("blocked/thumbnails", "a file");
        const ThumbnailCache blocked(f.folder.filePath("blocked/thumbnails"));
        QVERIFY(!blocked.store(f.sourceOf(path), Flavour::Normal, image, {600, 400}));
        // A picture inside the cache's own folders.
        const QString inside =
            f.folder.write("cache/thumbnails/normal/own.jpg", f.folder.read("x.jpg"));
        QVERIFY(f.cache.holds(inside) && !f.cache.holds(path));
        QVERIFY(!f.cache.store(f.sourceOf(inside), Flavour::Normal, image, {600, 400}));
        // A thumbnail larger than its folder allows.
        QVERIFY(!f.cache.store(f.sourceOf(path), Flavour::Normal, TestPictures::quadrants(129, 86),
                               {}));
    }

    // ----- A camera's preview -----

    void previewIsUsedWhenLargeEnoughAndOfTheSameProportions_data() {
        QTest::addColumn<QSize>("preview");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<bool>("used");
        QTest::newRow("larger than the cell, rounded by a pixel")
            << QSize(160, 107) << kCell << true;
        QTest::newRow("padded to 4:3") << QSize(160, 120) << kCell << false;
        QTest::newRow("smaller than the cell") << QSize(150, 100) << QSize(120, 120) << false;
        QTest::newRow("exactly the cell") << QSize(150, 100) << QSize(150, 100) << true;
    }

    void previewIsUsedWhenLargeEnoughAndOfTheSameProportions() {
        QFETCH(QSize, preview);
        QFETCH(QSize, cell);
        QFETCH(bool, used);
        const QImage photo = TestPictures::quadrants(600, 400);
        const auto header = headerOf(TestPictures::withExif(
            TestPictures::jpeg(photo), 1, TestPictures::jpeg(shrunk(photo, preview))));
        QVERIFY(header);
        QCOMPARE(header->storedSize, QSize(600, 400));
        const auto image = ExifThumbnail::usableThumbnail(*header, cell);
        QCOMPARE(image.has_value(), used);
        if (used)
            QCOMPARE(image->size(), preview);
    }

    // Every orientation turns the preview as the loader turns the photo.
    void previewIsTurnedLikeThePhoto() {
        const QImage stored = TestPictures::quadrants(60, 40);
        for (int orientation = 1; orientation <= 8; ++orientation) {
            QByteArray bytes = TestPictures::jpegWithOrientation(stored, orientation);
            const auto read = [&bytes](bool turned) {
                QBuffer buffer(&bytes);
                QImageReader reader(&buffer, "jpeg");
                reader.setAutoTransform(turned);
                return reader.read();
            };
            QCOMPARE(ExifThumbnail::upright(read(false), orientation), read(true));
            const auto header = headerOf(bytes);
            QVERIFY(header);
            QCOMPARE(header->orientation, orientation);
            QCOMPARE(header->uprightSize(), orientation >= 5 ? QSize(40, 60) : QSize(60, 40));
        }
    }

    // Cut or scribbled-over headers end the walk cleanly; the corpus's photos give the size
    // Qt's reader gives.
    void brokenHeadersAreRefused() {
        const QImage photo = TestPictures::quadrants(600, 400);
        const QByteArray good = TestPictures::withExif(
            TestPictures::jpeg(photo), 6, TestPictures::jpeg(shrunk(photo, {150, 100})));
        const int frame =
            static_cast<int>(good.lastIndexOf("\xff\xc0")); // the photo's, not the preview's
        for (int cut = 0; cut < frame + 20; cut += 7)
            QCOMPARE(headerOf(good.left(cut)).has_value(), cut >= frame + 9);
        for (int at = 2; at < 120; ++at) {
            QByteArray scribbled = good;
            scribbled[at] = char(0xff - scribbled[at]);
            if (const auto header = headerOf(scribbled))
                ExifThumbnail::usableThumbnail(*header, kCell); // must not crash or hang
        }
        if (corpusDir().isEmpty())
            QSKIP("the picture corpus is not beside the project");
        QDirIterator jpegs(corpusDir(), {"*.jpg", "*.jpeg"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (jpegs.hasNext()) {
            const QString path = jpegs.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const auto header = ExifThumbnail::readHeader(file);
            QImageReader reader(path);
            reader.setAutoTransform(false);
            if (header && reader.size().isValid() && reader.canRead())
                QCOMPARE(header->storedSize, reader.size());
        }
    }

    // ----- The choice -----

    void cellTakesTheCheapestSoundPicture_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("origin");
        QTest::newRow("photo with a preview") << "preview" << int(Origin::Embedded);
        QTest::newRow("photo cut short, with a preview") << "cut" << int(Origin::Decoded);
        QTest::newRow("photo without a preview") << "plain" << int(Origin::Decoded);
        QTest::newRow("photo decoded before") << "decoded before" << int(Origin::Cache);
        QTest::newRow("photo inside the cache") << "inside" << int(Origin::Decoded);
    }

    void cellTakesTheCheapestSoundPicture() {
        QFETCH(QString, kind);
        QFETCH(int, origin);
        CacheFixture f;
        const QImage photo = TestPictures::quadrants(600, 400);
        const QByteArray preview = TestPictures::jpeg(shrunk(photo, {150, 100}));
        const bool withPreview = kind == "preview" || kind == "cut";
        QString path = f.photo("x.jpg", {600, 400}, withPreview ? preview : QByteArray());
        if (kind == "cut")
            f.folder.write("x.jpg", f.folder.read("x.jpg").chopped(100));
        if (kind == "inside")
            path = f.folder.write("cache/thumbnails/large/x.jpg", f.folder.read("x.jpg"));
        if (kind == "decoded before")
            ThumbnailMaker::store(ThumbnailMaker::make(path, kCell, &f.cache), f.cache);

        const ThumbnailMaker::Made made = ThumbnailMaker::make(path, kCell, &f.cache);
        QVERIFY2(made.ok(), qPrintable(made.error));
        QCOMPARE(int(made.origin), origin);
        QCOMPARE(made.picture.image.size(), kCell);
        QCOMPARE(made.picture.naturalSize, QSize(600, 400));
        QVERIFY(TestPictures::near(colourAt(made.picture.image, 0.25, 0.75), Qt::blue));
        // Only what was decoded, outside the cache, is to be stored, in the smallest folder.
        const bool toStore = origin == int(Origin::Decoded) && kind != "inside";
        QCOMPARE(!made.forCache.isNull(), toStore);
        if (toStore)
            QCOMPARE(made.forCache.size(), QSize(128, 85));
    }

    // The cache holds sRGB, as every program reading it expects; a cell is in the screen's
    // colours however it was made. Here the screen swaps red and green, and the photo is red
    // tagged with that same profile: green in sRGB, red again on the screen. A camera's preview
    // is sRGB, so its red shows green.
    void cachedInSrgbShownInTheScreensColours_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("decoded") << "plain" << QColor(Qt::red);
        QTest::newRow("from the cache") << "decoded before" << QColor(Qt::red);
        QTest::newRow("camera preview") << "preview" << QColor(Qt::green);
    }

    void cachedInSrgbShownInTheScreensColours() {
        QFETCH(QString, kind);
        QFETCH(QColor, shown);
        const QByteArray swapped = TestPictures::installedProfile("colord/SwappedRedAndGreen.icc");
        QVERIFY(Colour::setDisplayProfile(swapped) && !swapped.isEmpty());
        const auto screenBack = qScopeGuard([] { Colour::setDisplayProfile({}); });
        CacheFixture f;
        QImage red(600, 400, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QByteArray preview =
            kind == "preview" ? TestPictures::jpeg(shrunk(red, {150, 100})) : QByteArray();
        const QString path = f.folder.write(
            "red.jpg", TestPictures::withIccProfile(
                           TestPictures::withExif(TestPictures::jpeg(red), 1, preview), swapped));
        if (kind == "decoded before")
            ThumbnailMaker::store(ThumbnailMaker::make(path, kCell, &f.cache), f.cache);

        const ThumbnailMaker::Made made = ThumbnailMaker::make(path, kCell, &f.cache);
        QVERIFY(TestPictures::near(colourAt(made.picture.image, 0.5, 0.5), shown));
        if (kind == "plain")
            QVERIFY(TestPictures::near(colourAt(made.forCache, 0.5, 0.5), Qt::green));
    }

    // A cached thumbnail never stands in for a file that cannot be loaded.
    void cachedPictureOfAFileGoneBadFails() {
        CacheFixture f;
        const QString gone = f.photo("gone.jpg");
        const QString text = f.photo("text.jpg");
        for (const QString& path : {gone, text})
            ThumbnailMaker::store(ThumbnailMaker::make(path, kCell, &f.cache), f.cache);
        QVERIFY(QFile::remove(gone));
        const QDateTime modified = QFileInfo(text).lastModified();
        f.folder.write("text.jpg", QByteArray(f.folder.read("text.jpg").size(), 'x'));
        setModified(text, modified); // the same time and size: only the content tells
        QVERIFY(!ThumbnailMaker::make(gone, kCell, &f.cache).ok());
        QVERIFY(!ThumbnailMaker::make(text, kCell, &f.cache).ok());
    }

    // Sharp on a screen of two device pixels a pixel: the cell's pixels double, and the cache
    // keeps what covers them.
    void cellOfTwiceThePixels() {
        CacheFixture f;
        const QSize cell = kCell * 2;
        const QString path = f.photo("x.jpg", {600, 200});
        const ThumbnailMaker::Made made = ThumbnailMaker::make(path, cell, &f.cache);
        QCOMPARE(made.picture.image.size(), cell);
        QCOMPARE(made.forCache.size(), QSize(256, 85)); // 128 x 43 would not cover 66 x 66
    }
};

QTEST_MAIN(ThumbnailsTest)
#include "ThumbnailsTest.moc"
