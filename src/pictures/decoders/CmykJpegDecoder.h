#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <vector>

// Four-component JPEG files (CMYK, or YCCK as Adobe's programs write them), decoded by the JPEG
// library to their CMYK samples, for conversion through the profile they carry. Qt's reader
// turns such files into RGB by a fixed rule, after which the samples are lost.
namespace PictureDecoders {

struct CmykSamples {
    std::vector<uchar> samples; // four bytes a pixel, rows without padding
    QSize size;                 // the decoded size
    QString error;              // empty on success
};

// Decodes the file at `eighths`/8 of its stored size (1 to 8), refusing anything but four
// components and any picture past PictureLimits::kLargestPixels before allocating its pixels.
CmykSamples decodeCmykJpeg(const QByteArray& file, int eighths);

} // namespace PictureDecoders
