// Feeds arbitrary bytes to colour management as a profile, in each place a profile comes from:
// JPEG APP2 chunks, a version 5 bitmap's embedded profile, a JPEG's EXIF segment, and the
// screen's profile. The first byte chooses the place (and for JPEG the chunk size), the rest is
// the payload. Any crash, sanitizer report or hang is a finding, and so is a profile that the
// checks refuse but that still changes the picture: refused profiles must leave it as sRGB.
#include "ColourManagement.h"
#include "IccProfile.h"
#include "OffscreenGuiFuzzer.h"
#include "PictureLoader.h"

#include <QBuffer>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSide = 8;

QImage picture() {
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            image.setPixel(x, y, qRgb(x * 32, y * 32, 128));
    return image;
}

QByteArray encoded(const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture().save(&buffer, format);
    return bytes;
}

QImage loaded(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return PictureLoader::load(buffer).picture.image;
}

QByteArray segment(quint8 marker, const QByteArray& payload) {
    QByteArray bytes("\xff");
    bytes.append(char(marker)).append(char((payload.size() + 2) >> 8));
    bytes.append(char((payload.size() + 2) & 0xff));
    return bytes + payload;
}

// The payload in APP2 chunks of `chunkSize` bytes, numbered in order.
QByteArray inIccChunks(const QByteArray& jpeg, const QByteArray& icc, int chunkSize) {
    const int count = qMax(1, int((icc.size() + chunkSize - 1) / chunkSize));
    QByteArray segments;
    for (int i = 0; i < count && i < 255; ++i)
        segments += segment(0xe2, QByteArray("ICC_PROFILE\0", 12) + char(i + 1) + char(count) +
                                      icc.mid(qsizetype(i) * chunkSize, chunkSize));
    return QByteArray(jpeg).insert(2, segments);
}

// A version 5 bitmap of the picture with the payload embedded after its pixels.
QByteArray inBitmap(const QByteArray& icc) {
    QByteArray bmp = encoded("bmp");
    // Qt writes a 40-byte header: grow it to 124 bytes, with an embedded profile.
    QByteArray v5(124 - 40, '\0');
    qToLittleEndian<quint32>(0x4d424544, v5.data() + 16); // 'MBED', at header offset 56
    const quint32 pixels = quint32(bmp.size() - 54);
    qToLittleEndian<quint32>(124 + pixels, v5.data() + 72);
    qToLittleEndian<quint32>(quint32(icc.size()), v5.data() + 76);
    bmp.insert(54, v5);
    qToLittleEndian<quint32>(124, bmp.data() + 14);
    qToLittleEndian<quint32>(14 + 124, bmp.data() + 10);
    return bmp + icc;
}

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "colour management broke its promise: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    static const QByteArray jpeg = encoded("jpeg");
    static const QImage untaggedJpeg = loaded(jpeg);
    static const QImage untaggedBitmap = loaded(encoded("bmp"));
    const QByteArray payload(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    const bool refused = IccProfile::check(payload).space == IccProfile::Space::Unusable;
    switch (data[0] % 4) {
    case 0: {
        const QImage image = loaded(inIccChunks(jpeg, payload, 1 + data[1] * 256));
        if (image.isNull() || (refused && image != untaggedJpeg))
            broken("a JPEG with a refused profile differs from the untagged one");
        break;
    }
    case 1: {
        const QImage image = loaded(inBitmap(payload));
        if (image.isNull() || (refused && image != untaggedBitmap))
            broken("a bitmap with a refused profile differs from the untagged one");
        break;
    }
    case 2: { // an EXIF segment (at most 64 KiB), read for its colour space and orientation
        const QByteArray exif = QByteArray("Exif\0\0", 6) + payload.left(65000);
        if (loaded(QByteArray(jpeg).insert(2, segment(0xe1, exif))).isNull())
            broken("a JPEG with any EXIF segment still loads");
        break;
    }
    default: {
        const bool taken = Colour::setDisplayProfile(payload);
        // No profile at all is taken: the screen is then sRGB.
        if (taken && refused && !payload.isEmpty())
            broken("a refused profile taken as the screen's");
        const QImage image = loaded(jpeg);
        Colour::setDisplayProfile({});
        if (image.isNull() || (!taken && image != untaggedJpeg))
            broken("a screen profile not taken changes the picture");
        break;
    }
    }
    return 0;
}
