// Feeds arbitrary bytes to the metafile player: header and size logic, the record walk and a
// playback at a small size (as a thumbnail would be drawn). Any crash, sanitizer report, hang or
// giant allocation is a finding; each one becomes a test in MetafilePlayerTest.
#include "MetafileRenderer.h"
#include "OffscreenGuiFuzzer.h"

#include <cstddef>
#include <cstdint>

namespace {

// Largest side the fuzzer draws at: big enough to reach every drawing path, small enough for
// thousands of runs a second.
constexpr int kFuzzSide = 128;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MetafileRenderer renderer(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!renderer.isValid())
        return 0;
    const QSize natural = renderer.naturalSize();
    if (!natural.isValid())
        return 0;
    const QSize target =
        natural.width() <= kFuzzSide && natural.height() <= kFuzzSide
            ? natural
            : natural.scaled(kFuzzSide, kFuzzSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    renderer.render(target);
    return 0;
}
