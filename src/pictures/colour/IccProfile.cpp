#include "IccProfile.h"

#include "ByteReader.h"
#include "PictureLimits.h"

namespace IccProfile {
namespace {

constexpr qint64 kHeaderBytes = 128;
constexpr qint64 kTagEntryBytes = 12;

constexpr quint32 signature(const char (&text)[5]) {
    return quint32(quint8(text[0])) << 24 | quint32(quint8(text[1])) << 16 |
           quint32(quint8(text[2])) << 8 | quint32(quint8(text[3]));
}

Space spaceOf(quint32 colourSpace) {
    switch (colourSpace) {
    case signature("RGB "):
        return Space::Rgb;
    case signature("GRAY"):
        return Space::Grey;
    case signature("CMYK"):
        return Space::Cmyk;
    default:
        return Space::Unusable;
    }
}

bool convertsFrom(quint32 deviceClass, Space space) {
    switch (deviceClass) {
    case signature("scnr"):
    case signature("mntr"):
    case signature("spac"):
        return true;
    case signature("prtr"):
        return space == Space::Cmyk;
    default:
        return false;
    }
}

// Every tag's data lies inside the declared size.
bool tagsInside(const ByteReader& profile) {
    const qint64 count = profile.be32(kHeaderBytes);
    if (count > (profile.size() - kHeaderBytes - 4) / kTagEntryBytes)
        return false;
    for (qint64 at = kHeaderBytes + 4; at < kHeaderBytes + 4 + count * kTagEntryBytes;
         at += kTagEntryBytes)
        if (!profile.has(profile.be32(at + 4), profile.be32(at + 8)))
            return false;
    return true;
}

} // namespace

Checked check(QByteArrayView bytes) {
    if (bytes.size() < kHeaderBytes + 4 || bytes.size() > PictureLimits::kLargestColourProfileBytes)
        return {};
    const qint64 declared = ByteReader(bytes).be32(0);
    if (declared < kHeaderBytes + 4 || declared > bytes.size())
        return {};
    const ByteReader profile(bytes.first(declared));
    const quint32 deviceClass = profile.be32(12);
    const Space space = spaceOf(profile.be32(16));
    const quint32 connection = profile.be32(20);
    if (profile.be32(36) != signature("acsp") || !convertsFrom(deviceClass, space) ||
        (connection != signature("XYZ ") && connection != signature("Lab ")) ||
        !tagsInside(profile))
        return {};
    return {space, deviceClass == signature("mntr"), profile.data()};
}

} // namespace IccProfile
