#pragma once

#include <QByteArray>

class QIODevice;

// The segment structure of a JPEG file, walked in time linear in the file.
namespace JpegSegments {

// What a walk through a JPEG's segments finds of what costs the JPEG library time.
struct Census {
    // More application and comment segments than PictureLimits::kMostJpegExtraSegments.
    bool surplusSegments = false;
    // Scans of coded data: one for most files, about ten for a progressive one.
    int scans = 0;
};

// The census of the JPEG that starts at the device's position. The device is read through in
// pieces and left at an unknown position.
Census census(QIODevice& device);

// The JPEG without its application and comment segments past the first
// PictureLimits::kMostJpegExtraSegments; the same bytes when it holds no more than that. Every
// other segment, stray bytes between segments and the coded data stay as they are, so damage is
// left for the decoder to report.
QByteArray withoutSurplusSegments(const QByteArray& jpeg);

} // namespace JpegSegments
