#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>

class QIODevice;

// The small preview most cameras store in a photo's EXIF segment (the JPEG of the second image
// directory), and what a thumbnail needs to know to trust it: the photo's size and orientation.
namespace ExifThumbnail {

struct Header {
    QSize storedSize;     // the frame's size as stored; invalid when no frame header was met
    int orientation = 1;  // the EXIF orientation, 1 to 8 (1 when absent or out of range)
    QByteArray thumbnail; // the embedded preview's JPEG; empty when there is none

    // The photo's size as it is seen once turned upright.
    QSize uprightSize() const;
};

// Walks a JPEG's segments from the device's current position (its start-of-image marker) up
// to the frame header, reading only the EXIF segment and the frame header and skipping the
// others, so a photo costs a few small reads. Nothing when the content is not a JPEG or its
// segments are broken before the frame header.
std::optional<Header> readHeader(QIODevice& device);

// The embedded preview turned upright, when it has at least `pixels` in each direction and the
// photo's proportions (to a pixel's rounding); a preview of other proportions is a cropped or
// padded one, or was left behind by an editor that changed the photo.
std::optional<QImage> usableThumbnail(const Header& header, QSize pixels);

// Stored pixels turned as an EXIF orientation asks a viewer to show them.
QImage upright(const QImage& stored, int orientation);

} // namespace ExifThumbnail
