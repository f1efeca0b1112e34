// Feeds arbitrary bytes to the picture loader as a file's content: the content sniffing, the
// bitmap, icon and GIF decoders, and Qt's readers for JPEG (with its reduced-size decoding) and
// the metafiles. Every input is loaded at its natural size and within a small bound, as a
// thumbnail would be. Any crash, sanitizer report, hang or giant allocation is a finding, and so
// is a result that breaks the loader's promises (checked below); each one becomes a test in
// PictureLoaderTest.
#include "OffscreenGuiFuzzer.h"
#include "PictureLoader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The bound of the second load: smaller than most inputs, so that JPEG decodes at a reduced size
// and the other formats are scaled after decoding.
constexpr QSize kFuzzBound(96, 64);

[[noreturn]] void broken(const char* what, const PictureLoader::Result& result, QSize bound) {
    std::fprintf(stderr,
                 "picture loader broke its promise: %s (bound %dx%d, natural %dx%d, image %dx%d, "
                 "error \"%s\")\n",
                 what, bound.width(), bound.height(), result.picture.naturalSize.width(),
                 result.picture.naturalSize.height(), result.picture.image.width(),
                 result.picture.image.height(), qPrintable(result.error));
    std::abort();
}

// Loads the bytes through a buffer, as a file would be read, and checks what the loader promises:
// a picture exactly when there is no error, no larger than the limit and, with a bound, fitted in
// it; without one, at its natural size.
void loadAndCheck(const QByteArray& bytes, QSize bound) {
    QByteArray content = bytes;
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    const PictureLoader::Result result = PictureLoader::load(buffer, bound);
    const Picture& picture = result.picture;
    if (!result.ok()) {
        if (!picture.isNull())
            broken("a picture with an error", result, bound);
        return;
    }
    if (picture.isNull())
        broken("no picture and no error", result, bound);
    const QSize natural = picture.naturalSize;
    if (natural.isEmpty() ||
        qint64(natural.width()) * natural.height() > PictureLimits::kLargestPixels)
        broken("natural size empty or beyond the limit", result, bound);
    const QSize size = picture.image.size();
    if (bound.isValid()) {
        if (size.width() > bound.width() || size.height() > bound.height() ||
            size.width() > natural.width() || size.height() > natural.height())
            broken("picture outside its bound or larger than its natural size", result, bound);
    } else if (size != natural) {
        broken("unbounded picture not at its natural size", result, bound);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    loadAndCheck(bytes, {});
    loadAndCheck(bytes, kFuzzBound);
    return 0;
}
