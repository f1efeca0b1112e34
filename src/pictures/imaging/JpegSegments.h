#pragma once

#include "ColourSource.h"

#include <QByteArray>
#include <QSize>

class QIODevice;

// The segment structure of a JPEG file, walked in time linear in the file.
namespace JpegSegments {

// What a walk through a JPEG's segments finds of what costs the JPEG library time.
struct Census {
    // More application and comment segments than PictureLimits::kMostJpegExtraSegments.
    bool surplusSegments = false;
    // Scans of coded data: one for most files, about ten for a progressive one.
    int scans = 0;
    // The ICC profile of the segments before the first scan, joined from its chunks (complete,
    // each once, in sequence order), and the EXIF colour facts of the first EXIF segment.
    ColourSource colour;
    // The frame's stored size and colour components (1 grey, 3 YCbCr or RGB, 4 CMYK or YCCK).
    QSize storedSize;
    int components = 0;
    // The EXIF orientation, 1 to 8 (1 when absent or out of range).
    int orientation = 1;
    // An Adobe segment came before the first scan: four-component samples are stored inverted.
    bool adobe = false;
};

// Markers that stand alone, without a length: restarts and the temporary marker.
bool standsAlone(quint8 marker);
// Start-of-frame markers (every coding process), which carry the picture's size.
bool isFrameHeader(quint8 marker);
// The EXIF payload's signature, "Exif" and two zero bytes, before its TIFF data.
inline constexpr QByteArrayView kExifSignature{"Exif\0\0", 6};

// The census of the JPEG that starts at the device's position. The device is read through in
// pieces and left at an unknown position.
Census census(QIODevice& device);

// The JPEG without its application and comment segments past the first
// PictureLimits::kMostJpegExtraSegments; the same bytes when it holds no more than that. Every
// other segment, stray bytes between segments and the coded data stay as they are, so damage is
// left for the decoder to report.
QByteArray withoutSurplusSegments(const QByteArray& jpeg);

} // namespace JpegSegments
