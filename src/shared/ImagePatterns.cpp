#include "ImagePatterns.h"

#include "Settings.h"

#include <QLatin1StringView>

bool isPictureName(QStringView name) {
    // The extensions are those of the "All Formats" pattern, whose entries are "*" and one each.
    const QLatin1StringView allFormats(kAllPictureFormatsPattern);
    for (const QLatin1StringView entry : allFormats.tokenize(u';')) {
        if (name.endsWith(entry.sliced(1), Qt::CaseInsensitive))
            return true;
    }
    return false;
}
