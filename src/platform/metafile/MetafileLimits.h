#pragma once

#include <QtGlobal>

// Fixed bounds that keep a hostile or broken metafile from exhausting memory or time. Anything
// beyond them ends the load (or the playback) cleanly; see README.md beside this file.
namespace MetafileLimits {

// Largest natural size accepted: longest side and total pixels (the picture loader's own limit).
// A bigger picture fails to load even at a small requested size.
inline constexpr int kLargestNaturalSide = 65535;
inline constexpr qint64 kLargestNaturalPixels = qint64(1) << 28;

// Largest image actually drawn (the requested size): longest side and total pixels.
inline constexpr int kLargestSide = 16384;
inline constexpr qint64 kLargestPixels = qint64(1) << 26; // 64 megapixels, 256 MiB as ARGB

// Largest file read, in bytes.
inline constexpr qint64 kLargestFileBytes = qint64(1) << 28;

// Largest bitmap embedded in a record, in pixels.
inline constexpr qint64 kLargestBitmapPixels = qint64(1) << 26;

// Records read in one playback; a walk that would go on longer stops there.
inline constexpr qint64 kMostRecords = 4'000'000;

// Drawing work in one playback, counted as output pixels touched (each drawing's clipped
// bounding box) plus points. Scaled to the canvas: this many full-canvas paints, plus a fixed
// allowance for small canvases.
inline constexpr qint64 kMostCanvasPaints = 20'000;
inline constexpr qint64 kWorkAllowance = qint64(1) << 28;

// Clip changes in one playback and rectangles in one clip region.
inline constexpr qint64 kMostClipChanges = 200'000;
inline constexpr int kMostClipRectangles = 20'000;

// Depth of the saved device-context stack.
inline constexpr int kDeepestSavedState = 10'000;

// Highest object-table slot accepted.
inline constexpr quint32 kMostObjects = 65'536;

// Points in one figure or one path.
inline constexpr qint64 kMostPathPoints = 4'000'000;

// Characters drawn in one playback (a dense page holds a few thousand).
inline constexpr qint64 kMostGlyphs = 200'000;

// Longest text drawn by one record, in characters.
inline constexpr int kLongestText = 32'768;

} // namespace MetafileLimits
