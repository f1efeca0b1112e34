#pragma once

#include <QImage>

// Pictures for the page-fill benchmark: camera-like photos and drawings of few colours, saved
// with the test picture makers so the benchmark needs no file from elsewhere.
namespace BenchPictures {

// A camera-sized picture with the detail of a photo: a sky-to-ground gradient, textured
// shapes at several scales and sensor-like noise, different for every seed.
QImage photo(int width, int height, quint32 seed);

// The picture reduced to at most `colours` colours (a fixed palette, no dithering), so that
// runs of equal pixels form as they do in drawings.
QImage posterized(const QImage& image, int colours);

} // namespace BenchPictures
