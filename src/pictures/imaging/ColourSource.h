#pragma once

#include <QByteArray>

// What a picture file says of the colours its pixels are in. A file that says nothing (or says
// something unusable) is taken to be sRGB, as untagged pictures on screens and on the web are.
struct ColourSource {
    // The ICC profile the file carries, as stored; empty when it carries none.
    QByteArray iccProfile;
    // The file carries no profile but its EXIF data says Adobe RGB by the camera makers'
    // convention: colour space "uncalibrated" with interoperability index "R03".
    bool adobeRgbByExif = false;

    bool untagged() const { return iccProfile.isEmpty() && !adobeRgbByExif; }
};
