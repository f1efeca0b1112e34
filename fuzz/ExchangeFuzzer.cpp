// Feeds arbitrary bytes to the exchange-file reader as the file's content. Besides any crash or
// sanitizer report, a finding is a value that does not survive being handed on: whatever the
// reader took in, the file written from it must read back to the same folder, delay, pattern and
// protection switch, as the other program would read them. Each finding becomes a test in
// ExchangeFileTest.
#include "ExchangeFile.h"
#include "Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

Settings before(const QString& folder, const QString& pattern, qint16 tempo, quint8 protect) {
    Settings s = Settings::startupDefaults(folder);
    s.ImagePath = folder;
    s.ImageFilter = pattern;
    s.ImageTempo = tempo;
    s.ImageProtect = protect;
    return s;
}

[[noreturn]] void broken(const char* what, const QByteArray& written) {
    std::fprintf(stderr, "exchange file broke its promise: %s (written file \"%s\")\n", what,
                 written.toPercentEncoding().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Settings read = before("/fotos", kAllPictureFormatsPattern, 5, 0);
    applyExchangeFileContents(read,
                              QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    const QByteArray written = exchangeFileContents(read);
    // Other values before the second reading, so that a line the written file lacks shows.
    Settings again = before("/otra", "*.x", -7, 9);
    applyExchangeFileContents(again, written);
    if (again.ImagePath != read.ImagePath)
        broken("the folder reads back otherwise", written);
    if (again.ImageFilter != read.ImageFilter)
        broken("the pattern reads back otherwise", written);
    if (again.ImageTempo != read.ImageTempo)
        broken("the delay reads back otherwise", written);
    if (again.ImageProtect != read.ImageProtect)
        broken("the protection switch reads back otherwise", written);
    return 0;
}
