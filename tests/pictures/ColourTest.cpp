// Colour management from end to end: files carrying profiles in each way a format keeps them,
// loaded through the picture loader, against LittleCMS's own conversion of the same pixels.
#include "ColourManagement.h"
#include "PictureLoader.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QColorSpace>
#include <QtConcurrent>
#include <QtTest>

#include <cstdlib>
#include <jpeglib.h>
#include <lcms2.h>
#include <numeric>

using TestPictures::installedProfile;

namespace {

// Summed over red, green and blue, the most two conversions of one colour may differ by.
constexpr int kLevels = 6;

QByteArray colord(const char* name) {
    return installedProfile(QStringLiteral("colord/%1.icc").arg(name));
}

// LittleCMS's conversion of `count` pixels from one profile to another (empty: sRGB).
void lcmsConvert(const QByteArray& from, cmsUInt32Number fromFormat, const void* in,
                 const QByteArray& to, cmsUInt32Number toFormat, void* out, int count) {
    const auto open = [](const QByteArray& icc) {
        return icc.isEmpty() ? cmsCreate_sRGBProfile()
                             : cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    };
    cmsHPROFILE inProfile = open(from);
    cmsHPROFILE outProfile = open(to);
    cmsHTRANSFORM transform =
        cmsCreateTransform(inProfile, fromFormat, outProfile, toFormat, INTENT_PERCEPTUAL, 0);
    cmsDoTransform(transform, in, out, cmsUInt32Number(count));
    cmsDeleteTransform(transform);
    cmsCloseProfile(inProfile);
    cmsCloseProfile(outProfile);
}

// The largest difference, summed over red, green and blue, between the pixels at one place of
// a picture and of LittleCMS's conversion of `pixels` between two profiles (empty: sRGB).
int differenceFromLcms(const QImage& image, const QImage& pixels, const QByteArray& from,
                       const QByteArray& to) {
    const QImage source = pixels.convertToFormat(QImage::Format_RGB32);
    QImage expected = source;
    if (!from.isEmpty() || !to.isEmpty())
        lcmsConvert(from, TYPE_BGRA_8, source.constBits(), to, TYPE_BGRA_8, expected.bits(),
                    int(source.sizeInBytes() / 4));
    if (image.size() != expected.size())
        return INT_MAX;
    int largest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const QRgb q = expected.pixel(x, y);
            largest = qMax(largest, qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                                        qAbs(qBlue(p) - qBlue(q)));
        }
    return largest;
}

QImage loaded(QByteArray bytes, QSize bound = {}) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return PictureLoader::load(buffer, bound).picture.image;
}

// A JPEG's EXIF segment giving a colour space and an interoperability index, in either byte
// order: IFD0 points at the EXIF directory, which points at the interoperability directory.
QByteArray withExifColour(const QByteArray& jpeg, bool bigEndian, quint16 space,
                          const char* index) {
    QByteArray tiff;
    const auto put = [&](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.append(char(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
    };
    const auto entry = [&](quint16 tag, quint16 type, quint32 value) {
        put(tag, 2), put(type, 2), put(type == 2 ? 4 : 1, 4);
        type == 3 ? (put(value, 2), put(0, 2)) : put(value, 4);
    };
    tiff.append(bigEndian ? "MM" : "II"), put(42, 2), put(8, 4);
    put(1, 2), entry(0x8769, 4, 26), put(0, 4);                                        // IFD0 at 8
    put(2, 2), entry(0xa001, 3, space), entry(0xa005, 4, 56), put(0, 4);               // EXIF at 26
    put(1, 2), put(0x0001, 2), put(2, 2), put(4, 4), tiff.append(index, 4), put(0, 4); // at 56
    return TestPictures::withSegment(jpeg, 0xe1, QByteArray("Exif\0\0", 6) + tiff);
}

// A profile padded to `size` bytes, its header saying so.
QByteArray paddedTo(QByteArray icc, qsizetype size) {
    icc.resize(size, '\0');
    qToBigEndian(quint32(size), icc.data());
    return icc;
}

// A CMYK JPEG of one colour, stored inverted as Adobe's programs store it (the JPEG library
// writes the Adobe segment that says so).
QByteArray cmykJpeg(const uchar (&inverted)[4]) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 16;
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    QByteArray row = QByteArray(reinterpret_cast<const char*>(inverted), 4).repeated(16);
    JSAMPROW line = reinterpret_cast<JSAMPROW>(row.data());
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, &line, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

} // namespace

class ColourTest : public QObject {
    Q_OBJECT

private slots:
    // A missing profile (from colord-data or libgs-common) would make the conversions it stands
    // for pass unchecked; the message names it.
    void initTestCase() {
        for (const char* path :
             {"colord/SwappedRedAndGreen.icc", "colord/AdobeRGB1998.icc", "colord/WideGamutRGB.icc",
              "colord/ProPhotoRGB.icc", "ghostscript/ps_cmyk.icc"})
            QVERIFY2(!installedProfile(path).isEmpty(), path);
    }

    void cleanup() { Colour::setDisplayProfile({}); }

    void picturesAreConvertedFromTheirFilesColours_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("from"); // the profile its pixels are taken in (empty: sRGB)
        QTest::addColumn<QByteArray>("display");

        const QImage photo = TestPictures::photoLike(48, 32);
        const QByteArray plain = TestPictures::jpeg(photo);
        const QByteArray swapped = colord("SwappedRedAndGreen");
        const QByteArray adobe = colord("AdobeRGB1998");
        const QByteArray none;
        const auto tagged = [&](const QByteArray& icc, const QList<int>& order = {1}) {
            return TestPictures::withIccProfile(plain, icc, order);
        };

        QTest::newRow("three chunks stored 3, 1, 2")
            << tagged(swapped, {3, 1, 2}) << swapped << none;
        // The first chunk holds the whole profile (the rest lies past its declared size): only
        // the chunks' numbers tell that the profile is broken.
        const QByteArray padded = swapped + QByteArray(2 * swapped.size(), '\0');
        QTest::newRow("a chunk missing") << tagged(padded, {1, 3}) << none << none;
        QTest::newRow("a profile cut short") << tagged(swapped.left(9000), {1, 2}) << none << none;
        // A segment holds at most 65,519 bytes of a profile: past 4 MiB take 65 chunks.
        QList<int> chunks(65);
        std::iota(chunks.begin(), chunks.end(), 1);
        QTest::newRow("a profile past 4 MiB")
            << tagged(paddedTo(swapped, (qsizetype(4) << 20) + 1), chunks) << none << none;
        const QByteArray colourSpaceClass = QByteArray(swapped).replace(12, 4, "spac");
        QTest::newRow("a colour-space-class profile")
            << tagged(colourSpaceClass) << colourSpaceClass << none;
        QTest::newRow("EXIF Adobe RGB, big-endian")
            << withExifColour(plain, true, 0xffff, "R03") << adobe << none;
        QTest::newRow("EXIF sRGB, index R03")
            << withExifColour(plain, false, 1, "R03") << none << none;

        QTest::newRow("bitmap, embedded")
            << TestPictures::bmpWithProfile(photo, swapped, "MBED") << swapped << none;
        QTest::newRow("bitmap, profile past the end")
            << TestPictures::bmpWithProfile(photo, swapped, "MBED").chopped(100) << none << none;
        QTest::newRow("untagged, to a profiled screen") << plain << none << swapped;
    }

    void picturesAreConvertedFromTheirFilesColours() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, display);
        QVERIFY(Colour::setDisplayProfile(display));
        const QImage image = loaded(file);
        // The file's pixels, unconverted, as Qt's reader gives them.
        QCOMPARE_LE(differenceFromLcms(image, QImage::fromData(file), from, display), kLevels);
        // Nothing of the file's profile stays on the picture to mislead a later reader.
        QCOMPARE(image.colorSpace(), QColorSpace());
    }

    void cmykJpegsGoThroughTheirProfile() {
        const uchar red[4] = {255, 0, 0, 255}; // C 0, M 255, Y 255, K 0, stored inverted
        const QByteArray cmyk = installedProfile("ghostscript/ps_cmyk.icc");
        uchar rgb[4] = {};
        lcmsConvert(cmyk, TYPE_CMYK_8_REV, red, {}, TYPE_BGRA_8, rgb, 1);
        const QImage expected(rgb, 1, 1, QImage::Format_RGB32);
        const QImage shown = loaded(TestPictures::withIccProfile(cmykJpeg(red), cmyk));
        QCOMPARE_LE(differenceFromLcms(shown.copy(8, 8, 1, 1), expected, {}, {}), kLevels);
    }

    // Each pair of profiles is built into a conversion once, however many threads load
    // pictures of it at a time.
    void conversionsAreBuiltOncePerProfile() {
        const QByteArray plain = TestPictures::jpeg(TestPictures::photoLike(64, 48));
        const QList<QByteArray> files = {
            TestPictures::withIccProfile(plain, colord("ProPhotoRGB")),
            TestPictures::withIccProfile(plain, colord("WideGamutRGB"))};
        QList<int> jobs(40);
        std::iota(jobs.begin(), jobs.end(), 0);
        const int before = Colour::conversionsBuilt();
        const QList<QImage> images =
            QtConcurrent::blockingMapped(jobs, [&](int job) { return loaded(files[job % 2]); });
        QCOMPARE(Colour::conversionsBuilt() - before, 2);
        for (int job = 2; job < images.size(); ++job)
            QCOMPARE(images[job], images[job % 2]);
        QVERIFY(images[0] != images[1]);
    }
};

QTEST_GUILESS_MAIN(ColourTest)
#include "ColourTest.moc"
