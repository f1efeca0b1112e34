// Feeds arbitrary bytes to the settings record's loading as the record text, scrambled as the
// settings store holds it (bytes that the scrambling pushes past 255 wrap round, as a damaged
// store value would). Besides any crash or sanitizer report, a finding is a record that does not
// survive its own save: whatever a load took in, saving it and loading that again must give back
// exactly the same fields. Each finding becomes a test in SettingsRecordTest.
#include "Settings.h"
#include "SettingsRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const QByteArray& saved) {
    std::fprintf(stderr, "settings record broke its promise: %s (saved record text \"%s\")\n", what,
                 SettingsRecord::unscramble(saved).value_or("?").toPercentEncoding().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    Settings loaded = Settings::startupDefaults("/fotos");
    if (const auto unscrambled = SettingsRecord::unscramble(SettingsRecord::scramble(text)))
        SettingsRecord::assignRecordText(loaded, *unscrambled);

    const QByteArray saved = SettingsRecord::scramble(SettingsRecord::recordText(loaded));
    const auto savedText = SettingsRecord::unscramble(saved);
    if (!savedText)
        broken("a saved record holds a byte below 100", saved);
    // Other defaults, so that a field the saved record failed to reach shows as a difference.
    Settings reloaded = Settings::startupDefaults("/otra");
    if (!SettingsRecord::assignRecordText(reloaded, *savedText))
        broken("a saved record does not load whole", saved);
    if (!(reloaded == loaded))
        broken("a saved record loads other values", saved);
    return 0;
}
