#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Pictures for the page-fill benchmark, made here so the benchmark needs no file from elsewhere.
namespace BenchPictures {

// A camera-sized picture with the detail of a photo: a sky-to-ground gradient, textured
// shapes at several scales and sensor-like noise, different for every seed.
QImage photo(int width, int height, quint32 seed);

// The picture reduced to at most `colours` colours (a fixed palette, no dithering), so that
// runs of equal pixels form as they do in drawings.
QImage posterized(const QImage& image, int colours);

QByteArray jpeg(const QImage& image, int quality);
QByteArray bmp(const QImage& image);                       // 24-bit, as Qt writes it
QByteArray bmp8(const QImage& image);                      // 8-bit palette, at most 256 colours
QByteArray rle(const QImage& image, bool fourBit);         // RLE8 or RLE4 (at most 16 colours)
QByteArray gif(const QList<QImage>& frames);               // one image a frame, 256 colours each
QByteArray icon(const QList<QImage>& images, bool cursor); // 32-bit bitmap entries

} // namespace BenchPictures
