#include "ImagePatterns.h"

namespace {
constexpr QStringView kImagePatterns[] = {u".ICO", u".BMP", u".WMF", u".RLE", u".DIB", u".JPG",
                                          u".JPEG", u".GIF", u".EMF", u".CUR", u".DLB", u".DPS"};
}

bool isPictureName(QStringView name) {
    for (const QStringView extension : kImagePatterns) {
        if (name.endsWith(extension, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
