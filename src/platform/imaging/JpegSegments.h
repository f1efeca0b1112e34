#pragma once

#include <QByteArray>

class QIODevice;

// The segment structure of a JPEG file, walked in time linear in the file.
namespace JpegSegments {

// True when the JPEG that starts at the device's position holds more application and comment
// segments than PictureLimits::kMostJpegExtraSegments. The device is read through in pieces and
// left at an unknown position.
bool hasSurplusSegments(QIODevice& device);

// The JPEG without its application and comment segments past the first
// PictureLimits::kMostJpegExtraSegments; the same bytes when it holds no more than that. Every
// other segment, stray bytes between segments and the coded data stay as they are, so damage is
// left for the decoder to report.
QByteArray withoutSurplusSegments(const QByteArray& jpeg);

} // namespace JpegSegments
