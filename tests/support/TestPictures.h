#pragma once

#include "TestFolders.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>

// Makers of small pictures in every format the viewer reads, built in memory so that tests
// depend on no file from elsewhere.
namespace TestPictures {

// A picture with distinct quadrants (red, green, blue, white), so orientation errors show.
QImage quadrants(int width, int height);
// Smooth gradients with fine noise, the kind of detail a camera photo has.
QImage photoLike(int width, int height, quint32 seed = 1);

QByteArray bmp(const QImage& image);
// The same bitmap without its 14-byte file header, as the clipboard stores it.
QByteArray headerlessDib(const QImage& image);
// 8-bit and 4-bit run-length encoded bitmaps of an image of few colours (at most 256 or 16).
QByteArray rle8(const QImage& image);
QByteArray rle4(const QImage& image);
QByteArray gif(const QImage& image);
// A GIF of several images of one size, each with its own colour table and a graphic control
// block giving it the delay (in hundredths of a second) and, when set, a transparent index
// where the image's alpha is below 128.
QByteArray gifAnimation(const QList<QImage>& frames, int delay);
QByteArray ico(const QImage& image);
QByteArray cur(const QImage& image, QPoint hotspot);
// An icon file (or, with cursor set, a cursor file) holding one entry an image, in the order
// given: with bits 32 a bitmap of 32 bits a pixel with an AND mask set where the image's alpha
// is below 128, or with bits 0 the image as PNG.
QByteArray iconFile(const QList<QImage>& images, int bits, bool cursor = false);
QByteArray jpeg(const QImage& image, int quality = 90);
// A JPEG whose stored pixels are the given image and whose EXIF orientation tag is set, so an
// upright view applies the matching rotation or mirror.
QByteArray jpegWithOrientation(const QImage& stored, int orientation);
// A JPEG given an EXIF segment with an orientation and a camera's preview: the JPEG bytes of
// the second image directory, as cameras store them (empty: none).
QByteArray withExif(QByteArray jpegBytes, int orientation, const QByteArray& preview);
// The JPEG with a segment of the marker and payload right after its start marker.
QByteArray withSegment(QByteArray jpegBytes, quint8 marker, const QByteArray& payload);

// The JPEG with an ICC profile in APP2 segments right after its start marker: cut into as many
// chunks as the largest sequence number in `order`, the chunks stored in that order (a number
// twice or left out makes a broken profile).
QByteArray withIccProfile(QByteArray jpegBytes, const QByteArray& icc,
                          const QList<int>& order = {1});
// A 24-bit bitmap with a version 5 header whose colour space is `kind` ("MBED": the profile is
// embedded after the pixels; "LINK": it names a file).
QByteArray bmpWithProfile(const QImage& image, const QByteArray& icc, const char (&kind)[5]);
// A colour profile installed under /usr/share/color/icc (by colord-data, libgs-common), by its
// path there; empty when it is not installed.
QByteArray installedProfile(const QString& path);

// The colour of the image at a point given as fractions of its size.
QColor colourAt(const QImage& image, double fx, double fy);
// True when two colours differ by at most the tolerance in every channel.
bool near(const QColor& a, const QColor& b, int tolerance = 24);

} // namespace TestPictures
