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

    QString photo(const QString& name) {
        return folder.write(name, TestPictures::jpeg(TestPictures::quadrants(600, 400)));
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
    }

    // A thumbnail is stored under the MD5 of its picture's URI, where the file managers look,
    // readable by its owner alone, and written whole, with no leftovers.
    void storedThumbnailIsNamedByItsUriAndPrivate() {
        CacheFixture f;
        const QString path = f.photo("x.jpg");
        const QString file = f.stored(path);
        const QByteArray md5 =
            QCryptographicHash::hash(ThumbnailCache::uriOf(path), QCryptographicHash::Md5).toHex();
        QCOMPARE(file, f.folder.filePath("cache/thumbnails/normal/" + md5 + ".png"));
        constexpr int kGroupAndOthers = 0x0077;
        QCOMPARE(QFileInfo(file).permissions() & kGroupAndOthers, 0);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files).size(), 1); // no leftovers
    }

    // A stored thumbnail is found until its picture is modified, and never when it was cut
    // short or is tagged with a profile other than sRGB.
    void onlyFreshWholeThumbnailsAreTrusted() {
        CacheFixture f;
        const QString path = f.photo("x.jpg");
        const QString inCache = "cache/thumbnails/normal/" + QFileInfo(f.stored(path)).fileName();
        const auto found = [&] { return f.cache.find(f.sourceOf(path), Flavour::Normal); };
        QVERIFY(found());
        // Earlier versions cached photos' pixels unconverted, tagged with the photo's profile.
        QImage tagged = TestPictures::quadrants(128, 85);
        tagged.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
        QVERIFY(f.cache.store(f.sourceOf(path), Flavour::Normal, tagged, {600, 400}));
        QVERIFY(!found());
        f.stored(path);
        f.folder.write(inCache, f.folder.read(inCache).chopped(20));
        QVERIFY(!found());
        f.stored(path);
        QFile photo(path);
        QVERIFY(photo.open(QIODevice::ReadWrite));
        QVERIFY(photo.setFileTime(QFileInfo(path).lastModified().addSecs(10),
                                  QFileDevice::FileModificationTime));
        QVERIFY(!found());
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
            QCOMPARE(header->uprightSize(), orientation >= 5 ? QSize(40, 60) : QSize(60, 40));
        }
    }

    // Cut or scribbled-over headers end the walk cleanly.
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
    }

    // ----- The choice -----

    // A cell takes a fresh cached thumbnail, else the camera's preview of a whole photo, else
    // the decoded picture. The cache holds sRGB, as every program reading it expects; a cell is
    // in the screen's colours however it was made. Here the screen swaps red and green, and the
    // photo is red tagged with that same profile: green in sRGB, red again on the screen. A
    // camera's preview is sRGB, so its red shows green.
    void cellTakesTheCheapestSoundPicture_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("origin");
        QTest::addColumn<QColor>("shown");
        const QColor red(Qt::red);
        QTest::newRow("photo with a preview")
            << "preview" << int(Origin::Embedded) << QColor(Qt::green);
        QTest::newRow("photo cut short, with a preview") << "cut" << int(Origin::Decoded) << red;
        QTest::newRow("photo decoded before") << "decoded before" << int(Origin::Cache) << red;
    }

    void cellTakesTheCheapestSoundPicture() {
        QFETCH(QString, kind);
        QFETCH(int, origin);
        QFETCH(QColor, shown);
        const QByteArray swapped = TestPictures::installedProfile("colord/SwappedRedAndGreen.icc");
        QVERIFY(Colour::setDisplayProfile(swapped) && !swapped.isEmpty());
        const auto screenBack = qScopeGuard([] { Colour::setDisplayProfile({}); });
        CacheFixture f;
        QImage red(600, 400, QImage::Format_RGB32);
        red.fill(Qt::red);
        const bool withPreview = kind == "preview" || kind == "cut";
        const QByteArray preview =
            withPreview ? TestPictures::jpeg(shrunk(red, {150, 100})) : QByteArray();
        const QString path = f.folder.write(
            "x.jpg", TestPictures::withIccProfile(
                         TestPictures::withExif(TestPictures::jpeg(red), 1, preview), swapped));
        if (kind == "cut")
            f.folder.write("x.jpg", f.folder.read("x.jpg").chopped(100));
        if (kind == "decoded before")
            ThumbnailMaker::store(ThumbnailMaker::make(path, kCell, &f.cache), f.cache);

        const ThumbnailMaker::Made made = ThumbnailMaker::make(path, kCell, &f.cache);
        QVERIFY2(made.ok(), qPrintable(made.error));
        QCOMPARE(int(made.origin), origin);
        QCOMPARE(made.picture.image.size(), kCell);
        QCOMPARE(made.picture.naturalSize, QSize(600, 400));
        QVERIFY(TestPictures::near(colourAt(made.picture.image, 0.5, 0.25), shown));
        // Only what was decoded is to be stored, in the smallest folder.
        const bool toStore = origin == int(Origin::Decoded);
        QCOMPARE(!made.forCache.isNull(), toStore);
        if (toStore) {
            QCOMPARE(made.forCache.size(), QSize(128, 85));
            QVERIFY(TestPictures::near(colourAt(made.forCache, 0.5, 0.5), Qt::green));
        }
    }
};

QTEST_MAIN(ThumbnailsTest)
#include "ThumbnailsTest.moc"
