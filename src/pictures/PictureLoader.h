#pragma once

#include "ColourManagement.h"
#include "Picture.h"
#include "PictureLimits.h"

#include <QString>

class QIODevice;

// Picture loading for every window and for the screen saver: bitmaps (BMP, headerless DIB,
// RLE4/RLE8), JPEG, GIF (first frame), icons and cursors, and Windows metafiles. The format is
// chosen by the file's content; its name does not matter. Photos are turned upright by their
// orientation tag.
namespace PictureLoader {

struct Result {
    Picture picture;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

// Loads a picture. With a valid bound, the picture is decoded at the largest size that fits in
// the bound with its proportions kept (never larger than its natural size), by the cheapest way
// the format offers: JPEG's reduced-size decoding (at an eighth-step size, the last few percent
// scaled), metafiles drawn at that size, other formats decoded whole and scaled. An unreadable,
// truncated or unsupported file, or one larger than PictureLimits::kLargestPixels, gives an error
// and no picture; sizes are checked against the file before anything is allocated.
//
// A path is read only when it names a regular file, a device only when it is not a stream
// (sequential), and neither past the format's limit on file size (PictureLimits): a FIFO, a
// character device, a socket or a stream is refused without being waited on.
//
// The picture comes in the colours of `colours`, converted from the ICC profile its file carries
// (see Colour::convert).
Result load(const QString& path, QSize bound = {},
            Colour::Target colours = Colour::Target::Display);
Result load(QIODevice& device, QSize bound = {}, Colour::Target colours = Colour::Target::Display);

// The image-format key for the content that starts with these bytes: "bmp", "dib", "jpeg",
// "gif", "ico", "wmf" or "emf"; empty when the content is none of them.
QByteArray formatOf(const QByteArray& head);

} // namespace PictureLoader
