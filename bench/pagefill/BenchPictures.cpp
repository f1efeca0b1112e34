#include "BenchPictures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace BenchPictures {
namespace {

quint32 mix(quint32 x, quint32 y, quint32 seed) {
    quint32 h = x * 0x9e3779b1u ^ y * 0x85ebca77u ^ seed * 0xc2b2ae3du;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

int clamp255(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

} // namespace

QImage photo(int width, int height, quint32 seed) {
    // Shapes at three scales, each a sum of two waves whose phase depends on the seed.
    std::array<int, 4096> wave{};
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<int>(std::lround(std::sin(2 * M_PI * double(i) / wave.size()) * 64));
    const int phase = static_cast<int>(seed * 977 % 4096);
    const int horizon = height * (40 + static_cast<int>(seed % 25)) / 100;

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const bool sky = y < horizon;
        const int depth = sky ? y * 255 / std::max(horizon, 1)
                              : (y - horizon) * 255 / std::max(height - horizon, 1);
        for (int x = 0; x < width; ++x) {
            const int large =
                wave[(x / 3 + y / 5 + phase) & 4095] + wave[(y / 2 + phase * 3) & 4095];
            const int middle = wave[(x * 3 + y * 2 + phase) & 4095] / 2;
            const int fine = wave[(x * 29 + y * 17) & 4095] / 6;
            const int noise = static_cast<int>(mix(quint32(x), quint32(y), seed) & 15) - 8;
            int r, g, b;
            if (sky) {
                r = 90 + depth / 3 + large / 8 + noise;
                g = 140 + depth / 4 + large / 8 + noise;
                b = 230 - depth / 6 + large / 10 + noise;
            } else {
                const int texture = large / 2 + middle + fine;
                r = 80 + depth / 4 + texture + noise;
                g = 110 + texture - depth / 8 + noise;
                b = 50 + texture / 2 + noise;
            }
            line[x] = qRgb(clamp255(r), clamp255(g), clamp255(b));
        }
    }
    return image;
}

QImage posterized(const QImage& image, int colours) {
    // Levels per channel so that levels^3 stays within the number of colours.
    int levels = 2;
    while ((levels + 1) * (levels + 1) * (levels + 1) <= colours)
        ++levels;
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            auto level = [&](int v) { return (v * (levels - 1) + 127) / 255 * 255 / (levels - 1); };
            line[x] = qRgb(level(qRed(line[x])), level(qGreen(line[x])), level(qBlue(line[x])));
        }
    }
    return result;
}

} // namespace BenchPictures
