// Picture loading on pictures made in memory: upright photos, bounded decoding, and the limits
// that keep hostile files from taking hours or gigabytes. How each format is recognised and
// decoded, and how broken files are refused, is held to the corpus test's rows.
#include "PictureLoader.h"
#include "DibDecoder.h"
#include "JpegSegments.h"
#include "TestFolders.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

#include <sys/stat.h>

using TestPictures::colourAt;

namespace {

// Empty when the load succeeded and the picture shows the four opaque quadrants of
// TestPictures::quadrants (within 40 levels a channel, for JPEG), else what failed.
QString quadrantMismatch(const PictureLoader::Result& result) {
    if (!result.ok())
        return "not loaded: " + result.error;
    const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i) {
        const QColor got =
            colourAt(result.picture.image, 0.25 + 0.5 * (i % 2), 0.25 + 0.5 * (i / 2));
        if (!TestPictures::near(got, expected[i], 40) || got.alpha() != 255)
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

// The JPEG with `count` empty application segments added after its first segment (its JFIF
// header).
QByteArray withEmptySegments(const QByteArray& jpeg, int count) {
    const qsizetype at = 2 + 2 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return QByteArray(jpeg).insert(at, QByteArray("\xff\xe1\x00\x02", 4).repeated(count));
}

// A progressive JPEG whose last scan follows `repeats` more times: the JPEG library warns of the
// odd progression and decodes every copy over the whole picture.
QByteArray withRepeatedLastScan(QSize size, int repeats) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
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

} // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT

private slots:
    // The format is chosen by the content (a buffer has no name). The picture comes at its
    // natural size, or within a bound with its proportions kept: JPEGs decoded at eighths,
    // run-length bitmaps straight at the size, bitmaps standing for the formats decoded whole
    // and then scaled (bitmaps, icons, GIFs).
    void picturesLoadWithinTheBound_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("expectedImage");

        const QImage q = TestPictures::quadrants(256, 192);
        const QByteArray jpeg = TestPictures::jpeg(q);
        const QSize natural(256, 192);
        const QList<std::pair<const char*, QByteArray>> formats = {
            {"jpeg", jpeg}, {"bmp", TestPictures::bmp(q)}, {"rle8", TestPictures::rle8(q)}};
        for (const auto& [format, bytes] : formats) {
            QTest::addRow("%s, height bounds", format) << bytes << QSize(300, 60) << QSize(80, 60);
            QTest::addRow("%s, larger bound", format) << bytes << QSize(1000, 1000) << natural;
            // Just over an eighth of the JPEG (32 x 24): decoded at the eighth, enlarged a little.
            QTest::addRow("%s, odd bound", format) << bytes << QSize(33, 1000) << QSize(33, 24);
        }
        // See surplusJpegSegmentsAreLeftOut.
        QTest::newRow("jpeg with a hundred thousand segments")
            << withEmptySegments(jpeg, 100000) << QSize(100, 100) << QSize(100, 75);
    }

    void picturesLoadWithinTheBound() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, bound);
        QFETCH(QSize, expectedImage);
        const auto result = loadBytes(bytes, bound);
        const QString mismatch = quadrantMismatch(result);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QCOMPARE(result.picture.naturalSize, QSize(256, 192));
        QCOMPARE(result.picture.image.size(), expectedImage);
    }

    // Bounded or not, a photo stored turned or mirrored comes upright, and its natural size
    // is the upright one.
    void orientationTagTurnsPhotosUpright() {
        const QImage upright = TestPictures::quadrants(80, 60);
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const QByteArray bytes =
                TestPictures::jpegWithOrientation(storedFor(upright, orientation), orientation);
            for (const QSize bound : {QSize(), QSize(40, 40)}) {
                const auto result = loadBytes(bytes, bound);
                const QString mismatch = quadrantMismatch(result);
                QVERIFY2(mismatch.isEmpty(), qPrintable(QString::number(orientation) + mismatch));
                QCOMPARE(result.picture.naturalSize, QSize(80, 60));
                QCOMPARE(result.picture.image.size(),
                         bound.isValid() ? QSize(40, 30) : upright.size());
            }
        }
    }

    // A run-length bitmap of a few kilobytes may claim 16384 x 16384 pixels: a gigabyte when
    // decoded whole. With a bound it is decoded straight at the bounded size: the image handed
    // out by the decoder is that size, each pixel the average of those it covers.
    void hugeRunLengthBitmapDecodesAtTheBound() {
        QImage band(16384, 64, QImage::Format_RGB32);
        band.fill(Qt::red);
        // Its rows are the picture's bottom rows.
        QByteArray bytes = TestPictures::rle8(band);
        qToLittleEndian<qint32>(16384, bytes.data() + 22); // the height

        const Decoded decoded = Dib::decodeFile(bytes, true, QSize(256, 256));
        QCOMPARE(decoded.image.size(), QSize(256, 256));
        QCOMPARE(decoded.naturalSize, QSize(16384, 16384));
        QCOMPARE(decoded.image.pixel(255, 255), qRgb(255, 0, 0));
        QCOMPARE(loadBytes(bytes, QSize(256, 128)).picture.image.size(), QSize(128, 128));
    }

    // The JPEG library keeps application segments in a list it walks to the end for each new
    // one: a hundred thousand of them froze the loader for half a minute. They are left out
    // past a number no real file reaches; the segments that matter and the coded data stay.
    void surplusJpegSegmentsAreLeftOut() {
        const int most = PictureLimits::kMostJpegExtraSegments;
        // A photo's coded data is full of 0xff bytes, which the walk must step over.
        const QByteArray jpeg = TestPictures::jpeg(TestPictures::photoLike(64, 48));
        // The JFIF header counts as one of those kept.
        for (const auto& [added, kept] : {std::pair(most - 1, most - 1), {100000, most - 1}}) {
            QByteArray crowded = withEmptySegments(jpeg, added);
            QCOMPARE(JpegSegments::withoutSurplusSegments(crowded), withEmptySegments(jpeg, kept));
            QBuffer file(&crowded); // walked in pieces, as a file is
            file.open(QIODevice::ReadOnly);
            QCOMPARE(JpegSegments::census(file).surplusSegments, kept < added);
        }
    }

    // A small file can repeat a scan until decoding it takes minutes; a progressive file is
    // refused when its scans times its pixels pass what any photo needs.
    void repeatedScansAreBoundedByThePicturesSize() {
        const QSize bound(64, 64);
        const auto small = loadBytes(withRepeatedLastScan({64, 48}, 190), bound);
        QVERIFY2(small.ok(), qPrintable(small.error));
        const auto large = loadBytes(withRepeatedLastScan({4000, 3000}, 100), bound);
        QVERIFY2(!large.ok() && large.error.contains("scans"), qPrintable(large.error));
    }

    // Only regular files are read: a device file could be read without end, a FIFO could wait
    // for data. Opening a FIFO for reading
    // waits for a writer; should the loader wait, a writer that comes and goes releases it.
    void onlyRegularFilesAreRead() {
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
        const auto device = PictureLoader::load("/dev/zero", QSize(100, 100));
        QVERIFY2(device.error.contains("not a regular file"), qPrintable(device.error));
    }
};

QTEST_MAIN(PictureLoaderTest)
#include "PictureLoaderTest.moc"
