// Picture loading on pictures made in memory: every format, the choice by content, upright
// photos, bounded decoding, and clean failures.
#include "PictureLoader.h"
#include "DibDecoder.h"
#include "JpegSegments.h"
#include "TestFolders.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

#include <sys/stat.h>

using TestPictures::colourAt;

namespace {

// Empty when the load succeeded and the picture shows the four opaque quadrants of
// TestPictures::quadrants, else what failed.
QString quadrantMismatch(const PictureLoader::Result& result, int tolerance) {
    if (!result.ok())
        return "not loaded: " + result.error;
    const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i) {
        const QColor got =
            colourAt(result.picture.image, 0.25 + 0.5 * (i % 2), 0.25 + 0.5 * (i / 2));
        if (!TestPictures::near(got, expected[i], tolerance) || got.alpha() != 255)
            return QStringLiteral("quadrant %1 shows %2").arg(i).arg(got.name(QColor::HexArgb));
    }
    return {};
}

// The picture a camera stores for an upright picture under an EXIF orientation: the inverse of
// what the orientation asks a viewer to do, as a clockwise turn, then a mirror for some.
QImage storedFor(const QImage& upright, int orientation) {
    const int turn[] = {0, 0, 180, 180, 90, 270, 270, 90};
    const bool mirror =
        orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
    return upright.transformed(QTransform().rotate(turn[orientation - 1])).mirrored(mirror, false);
}

PictureLoader::Result loadBytes(QByteArray bytes, QSize bound = {}) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return PictureLoader::load(buffer, bound);
}

// The bytes with a little-endian number of type T written over those at `at`.
template <typename T> QByteArray patched(QByteArray bytes, int at, T value) {
    qToLittleEndian<T>(value, bytes.data() + at);
    return bytes;
}

// A bitmap header (file header and 40-byte information header) claiming a size, with no pixels.
QByteArray bitmapHeaderClaiming(qint32 width, qint32 height) {
    const QByteArray header = TestPictures::bmp(TestPictures::quadrants(4, 4)).left(54);
    return patched(patched(header, 18, width), 22, height);
}

QByteArray gifScreenClaiming(quint16 width, quint16 height) {
    const QByteArray gif = TestPictures::gif(TestPictures::quadrants(4, 4));
    return patched(patched(gif, 6, width), 8, height);
}

// The icon file with its first directory entry claiming `extra` bytes more than its image holds.
QByteArray iconEntryClaiming(const QByteArray& icon, qint64 extra) {
    return patched(icon, 14, quint32(qFromLittleEndian<quint32>(icon.constData() + 14) + extra));
}

// The JPEG with `count` empty application segments added after its first segment (its JFIF
// header), or, with afterCodedData, just before its end marker.
QByteArray withEmptySegments(const QByteArray& jpeg, int count, bool afterCodedData = false,
                             const QByteArray& strayBytesBefore = {}) {
    const qsizetype at =
        afterCodedData ? jpeg.size() - 2 : 2 + 2 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return QByteArray(jpeg).insert(at, strayBytesBefore +
                                           QByteArray("\xff\xe1\x00\x02", 4).repeated(count));
}

// A progressive JPEG whose last scan follows `repeats` more times: the JPEG library warns of the
// odd progression and decodes every copy over the whole picture.
QByteArray withRepeatedLastScan(const QImage& image, int repeats) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    if (!writer.write(image))
        qFatal("cannot write the progressive test picture");
    const qsizetype scan = jpeg.lastIndexOf("\xff\xda"); // coded data never holds this pair
    const qsizetype end = jpeg.size() - 2;               // before the end-of-image marker
    return jpeg.insert(end, jpeg.mid(scan, end - scan).repeated(repeats));
}

// A device that can only be read front to back, as a pipe or a socket is.
class Stream : public QBuffer {
public:
    bool isSequential() const override { return true; }
};

QImage withTransparentCorner(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, image.width() / 4, image.height() / 4, Qt::transparent);
    return image;
}

} // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT

private slots:
    // Every format, loaded from a file whose name does not matter: the content decides.
    void everyFormatLoads_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("tolerance"); // per channel; lossy formats need some

        const QImage q = TestPictures::quadrants(256, 192);
        QImage black(16, 16, QImage::Format_RGB32);
        black.fill(Qt::black);
        const QByteArray pngIcon = TestPictures::iconFile({q}, 0);
        QTest::newRow("bmp") << "PHOTO.BMP" << TestPictures::bmp(q) << 0;
        QTest::newRow("dib without file header") << "a.bmp" << TestPictures::headerlessDib(q) << 0;
        QTest::newRow("rle8") << "scan.rle" << TestPictures::rle8(q) << 0;
        QTest::newRow("rle4") << "scan.bmp" << TestPictures::rle4(q) << 0;
        QTest::newRow("gif") << "a.ico" << TestPictures::gif(q) << 0;
        QTest::newRow("animated gif shows its first frame")
            << "anim.gif" << TestPictures::gifAnimation({q, black.scaled(256, 192)}, 50) << 0;
        QTest::newRow("ico") << "a.jpg" << TestPictures::ico(q) << 0;
        // Writers often store a wrong size in the directory; an image that is whole is shown.
        QTest::newRow("ico of png, entry claiming more than the file")
            << "app.ico" << iconEntryClaiming(pngIcon, 4096) << 0;
        QTest::newRow("ico of png, entry claiming less")
            << "app.ico" << iconEntryClaiming(pngIcon, -100) << 0;
        QTest::newRow("cur") << "arrow.cur" << TestPictures::cur(q, {3, 4}) << 0;
        // The largest image is shown; a width of 256 is written as 0 in the directory.
        const QList<QImage> sizes = {black, q, black.scaled(32, 32)};
        for (const int bits : {32, 24, 0})
            QTest::addRow("largest of %d-bit icons (0: png)", bits)
                << "app.ico" << TestPictures::iconFile(sizes, bits) << 0;
        QTest::newRow("jpeg") << "a.bmp" << TestPictures::jpeg(q) << 24;
    }

    void everyFormatLoads() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, tolerance);
        TestFolder folder;
        const PictureLoader::Result result = PictureLoader::load(folder.write(name, bytes));
        const QString mismatch = quadrantMismatch(result, tolerance);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QCOMPARE(result.picture.naturalSize, QSize(256, 192));
        QCOMPARE(result.picture.image.size(), QSize(256, 192));
    }

    // Images that are not shown for any time make up the first frame together.
    void gifImagesWithoutDelayShareTheFirstFrame() {
        QImage black(40, 32, QImage::Format_RGB32);
        black.fill(Qt::black);
        const auto result = loadBytes(TestPictures::gifAnimation(
            {TestPictures::quadrants(40, 32), withTransparentCorner(black)}, 0));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(colourAt(result.picture.image, 0.1, 0.1), QColor(Qt::red)); // through the hole
        QCOMPARE(colourAt(result.picture.image, 0.75, 0.25), QColor(Qt::black));
    }

    // A GIF's transparent index and an icon's AND mask (in icons whose pixels carry no opacity)
    // make pixels transparent.
    void transparencyIsKept_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QImage q = withTransparentCorner(TestPictures::quadrants(32, 32));
        QTest::newRow("gif") << TestPictures::gifAnimation({q}, 0);
        for (const int bits : {4, 24, 32})
            QTest::addRow("%d-bit icon", bits) << TestPictures::iconFile({q}, bits);
    }

    void transparencyIsKept() {
        QFETCH(QByteArray, bytes);
        const auto result = loadBytes(bytes);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QImage& image = result.picture.image;
        QCOMPARE(image.pixelColor(2, 2).alpha(), 0);
        QCOMPARE(image.pixelColor(12, 12), QColor(Qt::red));
        QCOMPARE(image.pixelColor(28, 28), QColor(Qt::white));
    }

    // The formats that loading by content does not already show, and near misses.
    void formatOfTheFirstBytes_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("gif87a") << QByteArray("GIF87a") << QByteArray("gif");
        QTest::newRow("gif of another version") << QByteArray("GIF90a") << QByteArray();
        QTest::newRow("cur") << QByteArray("\0\0\2\0\1\0", 6) << QByteArray("ico");
        QTest::newRow("icon directory with no entry")
            << QByteArray("\0\0\1\0\0\0", 6) << QByteArray();
        QTest::newRow("placeable wmf") << QByteArray("\xd7\xcd\xc6\x9a", 4) << QByteArray("wmf");
        QTest::newRow("plain wmf") << QByteArray("\1\0\x09\0\0\3", 6) << QByteArray("wmf");
        QTest::newRow("plain wmf of another version")
            << QByteArray("\1\0\x09\0\0\2", 6) << QByteArray();
        QByteArray emf(44, '\0');
        emf[0] = 1;
        QTest::newRow("emf") << emf.replace(40, 4, " EMF") << QByteArray("emf");
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n", 8) << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void formatOfTheFirstBytes() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, format);
        QCOMPARE(PictureLoader::formatOf(head), format);
    }

    void orientationTagTurnsPhotosUpright_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("expectedImage");
        for (int o = 1; o <= 8; ++o) {
            QTest::addRow("orientation %d", o) << o << QSize() << QSize(80, 60);
            QTest::addRow("orientation %d, bounded", o) << o << QSize(40, 40) << QSize(40, 30);
        }
    }

    void orientationTagTurnsPhotosUpright() {
        QFETCH(int, orientation);
        QFETCH(QSize, bound);
        QFETCH(QSize, expectedImage);
        const QImage upright = TestPictures::quadrants(80, 60);
        const auto result = loadBytes(
            TestPictures::jpegWithOrientation(storedFor(upright, orientation), orientation), bound);
        const QString mismatch = quadrantMismatch(result, 40);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QCOMPARE(result.picture.naturalSize, QSize(80, 60));
        QCOMPARE(result.picture.image.size(), expectedImage);
    }

    void boundedDecodingKeepsProportions_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("expectedImage");

        const QImage wide = TestPictures::quadrants(400, 200);
        const QByteArray jpeg = TestPictures::jpeg(wide);
        // JPEGs are decoded at eighths, run-length bitmaps straight at the size; bitmaps stand
        // for the formats decoded whole and then scaled (bitmaps, icons, GIFs).
        const QSize n(400, 200);
        const QList<std::pair<const char*, QByteArray>> formats = {
            {"jpeg", jpeg}, {"bmp", TestPictures::bmp(wide)}, {"rle8", TestPictures::rle8(wide)}};
        for (const auto& [format, bytes] : formats) {
            QTest::addRow("%s, width bounds", format) << bytes << QSize(100, 100) << QSize(100, 50);
            QTest::addRow("%s, height bounds", format) << bytes << QSize(300, 60) << QSize(120, 60);
            QTest::addRow("%s, larger bound", format) << bytes << QSize(1000, 1000) << n;
            QTest::addRow("%s, exact bound", format) << bytes << n << n;
            QTest::addRow("%s, odd bound", format) << bytes << QSize(33, 1000) << QSize(33, 16);
        }
        // Just over an eighth of the JPEG (50 x 25): decoded at the eighth, enlarged a little.
        QTest::newRow("jpeg, just over an eighth") << jpeg << QSize(52, 100) << QSize(52, 26);
        QTest::newRow("jpeg, just under a quarter") << jpeg << QSize(98, 100) << QSize(98, 49);
        // See surplusJpegSegmentsAreLeftOut.
        QTest::newRow("jpeg with a hundred thousand segments")
            << withEmptySegments(jpeg, 100000) << QSize(100, 100) << QSize(100, 50);
    }

    void boundedDecodingKeepsProportions() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, bound);
        QFETCH(QSize, expectedImage);
        const auto result = loadBytes(bytes, bound);
        const QString mismatch = quadrantMismatch(result, 40);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QCOMPARE(result.picture.naturalSize, QSize(400, 200));
        QCOMPARE(result.picture.image.size(), expectedImage);
    }

    // A run-length bitmap of a few kilobytes may claim 16384 x 16384 pixels: a gigabyte when
    // decoded whole. With a bound it is decoded straight at the bounded size: the image handed
    // out by the decoder is that size, each pixel the average of those it covers.
    void hugeRunLengthBitmapDecodesAtTheBound() {
        QImage band(16384, 64, QImage::Format_RGB32);
        band.fill(Qt::red);
        // Its rows are the picture's bottom rows.
        const QByteArray bytes = patched<qint32>(TestPictures::rle8(band), 22, 16384);
        QVERIFY(bytes.size() < 16 * 1024);

        const Decoded decoded = Dib::decodeFile(bytes, true, QSize(256, 256));
        QVERIFY2(decoded.error.isEmpty(), qPrintable(decoded.error));
        QCOMPARE(decoded.image.size(), QSize(256, 256));
        QCOMPARE(decoded.naturalSize, QSize(16384, 16384));
        QCOMPARE(decoded.image.pixel(0, 255), qRgb(255, 0, 0));
        QCOMPARE(decoded.image.pixel(255, 255), qRgb(255, 0, 0));
        QCOMPARE(decoded.image.pixel(0, 254), qRgb(0, 0, 0)); // rows the data skips show black

        const auto loaded = loadBytes(bytes, QSize(256, 128));
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.picture.naturalSize, QSize(16384, 16384));
        QCOMPARE(loaded.picture.image.size(), QSize(128, 128));
    }

    // The JPEG library keeps application segments in a list it walks to the end for each new
    // one: a hundred thousand of them froze the loader for half a minute. They are left out
    // past a number no real file reaches; the segments that matter and the coded data stay.
    void surplusJpegSegmentsAreLeftOut_data() {
        QTest::addColumn<int>("added");
        QTest::addColumn<bool>("afterCodedData");
        QTest::addColumn<QByteArray>("stray"); // bytes before the segments, which the library skips
        QTest::addColumn<int>("kept");         // added segments kept; the JFIF header counts as one
        const int most = PictureLimits::kMostJpegExtraSegments;
        const QByteArray none;
        QTest::newRow("a few") << 10 << false << none << 10;
        QTest::newRow("as many as kept") << most - 1 << false << none << most - 1;
        QTest::newRow("a hundred thousand") << 100000 << false << none << most - 1;
        QTest::newRow("a hundred thousand after the coded data")
            << 100000 << true << none << most - 1;
        QTest::newRow("a hundred thousand after six stray bytes")
            << 100000 << false << QByteArray("\x00\x01\x7f\xfe\x00\x00", 6) << most - 1;
    }

    void surplusJpegSegmentsAreLeftOut() {
        QFETCH(int, added);
        QFETCH(bool, afterCodedData);
        QFETCH(QByteArray, stray);
        QFETCH(int, kept);
        // A photo's coded data is full of 0xff bytes, which the walk must step over.
        const QByteArray jpeg = TestPictures::jpeg(TestPictures::photoLike(64, 48));
        QByteArray crowded = withEmptySegments(jpeg, added, afterCodedData, stray);
        QCOMPARE(JpegSegments::withoutSurplusSegments(crowded),
                 withEmptySegments(jpeg, kept, afterCodedData, stray));
        QBuffer file(&crowded); // walked in pieces, as a file is
        file.open(QIODevice::ReadOnly);
        QCOMPARE(JpegSegments::census(file).surplusSegments, kept < added);
    }

    // A small file can repeat a scan until decoding it takes minutes; a progressive file is
    // refused when its scans times its pixels pass what any photo needs.
    void repeatedScansAreBoundedByThePicturesSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<bool>("loads");
        QTest::newRow("a small picture, 200 scans") << QSize(64, 48) << 190 << true;
        QTest::newRow("12 megapixels, 110 scans") << QSize(4000, 3000) << 100 << false;
    }

    void repeatedScansAreBoundedByThePicturesSize() {
        QFETCH(QSize, size);
        QFETCH(int, repeats);
        QFETCH(bool, loads);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const auto loaded = loadBytes(withRepeatedLastScan(image, repeats), QSize(64, 64));
        QCOMPARE(loaded.ok(), loads);
        QVERIFY2(loads || loaded.error.contains("scans"), qPrintable(loaded.error));
    }

    void failuresAreClean_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // a word the message must hold

        const QImage q = TestPictures::quadrants(40, 30);
        const QByteArray bmp = TestPictures::bmp(q);
        const QByteArray ico = TestPictures::iconFile({q}, 32);
        const QByteArray pngIcon = TestPictures::iconFile({q}, 0);
        QTest::newRow("palette of another program")
            << QByteArray("\x00\x01\x02\x03xxxx", 8) << "format";
        QTest::newRow("bmp signature only") << bmp.left(2) << "truncated";
        QTest::newRow("bmp cut in its information header") << bmp.left(30) << "truncated";
        QTest::newRow("bmp cut in its pixels") << bmp.left(bmp.size() / 2) << "truncated";
        QTest::newRow("rle cut before its end") << TestPictures::rle8(q).chopped(40) << "truncated";
        QTest::newRow("gif cut in its screen descriptor")
            << TestPictures::gif(q).left(8) << "empty";
        QTest::newRow("gif whose data is garbage")
            << TestPictures::gif(q).left(800 + 13) + QByteArray(64, '\xff') << "GIF";
        QTest::newRow("ico cut in its directory") << ico.left(12) << "truncated";
        QTest::newRow("ico cut in its image") << ico.left(80) << "truncated";
        QTest::newRow("ico of png cut in its image") << pngIcon.chopped(20) << "cut short";
        QTest::newRow("jpeg cut in its header") << TestPictures::jpeg(q).left(20) << "jpeg";
        QTest::newRow("bmp claiming 100000 x -100000")
            << bitmapHeaderClaiming(100000, -100000) << "too large";
        QTest::newRow("bmp of zero width") << bitmapHeaderClaiming(0, 30) << "empty";
        QTest::newRow("gif claiming 65535 x 65535")
            << gifScreenClaiming(65535, 65535) << "too large";
        QTest::newRow("gif of zero width") << gifScreenClaiming(0, 30) << "empty";
    }

    void failuresAreClean() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const auto result = loadBytes(bytes);
        QVERIFY(!result.ok());
        QVERIFY(result.picture.isNull());
        QVERIFY2(result.error.contains(reason, Qt::CaseInsensitive), qPrintable(result.error));
    }

    // Only regular files are read, and only devices that are not streams: a device file could
    // be read without end, a stream or a FIFO could wait for data. Opening a FIFO for reading
    // waits for a writer; should the loader wait, a writer that comes and goes releases it.
    void onlyRegularFilesAndDevicesThatAreNoStreamsAreRead() {
        TestFolder folder;
        const QString fifo = folder.filePath("pipe.bmp");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QFuture<PictureLoader::Result> fromFifo =
            QtConcurrent::run([fifo] { return PictureLoader::load(fifo); });
        const auto release = qScopeGuard([&] {
            if (!fromFifo.isFinished())
                QFile(fifo).open(QIODevice::WriteOnly);
        });
        QTRY_VERIFY2_WITH_TIMEOUT(fromFifo.isFinished(), "the loader waited on a FIFO", 10000);
        QVERIFY(!fromFifo.result().ok());

        for (const QString& path : {folder.filePath("absent.bmp"), folder.makeFolder("album.jpg"),
                                    QString("/dev/zero"), QString("/dev/null")}) {
            const auto result = PictureLoader::load(path, QSize(100, 100));
            QVERIFY(!result.ok() && result.picture.isNull());
            QVERIFY2(!path.startsWith("/dev") || result.error.contains("not a regular file"),
                     qPrintable(result.error));
        }
        QByteArray bmp = TestPictures::bmp(TestPictures::quadrants(8, 8));
        Stream stream;
        stream.setBuffer(&bmp);
        stream.open(QIODevice::ReadOnly);
        const auto result = PictureLoader::load(stream);
        QVERIFY(!result.ok() && result.picture.isNull());
    }
};

QTEST_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
