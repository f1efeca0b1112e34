#pragma once

#include <QtGlobal>

// The fixed bounds of all picture reading, in one place: sizes are checked against them before
// anything is allocated, and a file, a header or a playback that goes beyond one ends cleanly
// (the metafile player's are described in metafile/README.md).
namespace PictureLimits {

// The largest picture accepted, in pixels of its natural size (1 GiB of 32-bit pixels). A bigger
// picture fails to load even at a small requested size.
inline constexpr qint64 kLargestPixels = qint64(1) << 28;

// True for a size of at least one pixel and at most `limit` pixels.
inline bool withinPixelLimit(qint64 width, qint64 height, qint64 limit = kLargestPixels) {
    return width > 0 && height > 0 && width <= limit && height <= limit && width * height <= limit;
}

// Files are read into memory before they are decoded; a longer one is refused unread.
inline constexpr qint64 kLargestFileBytes = qint64(1) << 30;

// A GIF's screen is allocated whole before its images are drawn, and LZW packs a uniform area so
// tightly that a file of a few hundred bytes can fill a huge screen. Real GIFs stay far below
// this (8192 x 4096), which bounds what one GIF can cost a page fill to 128 MiB.
inline constexpr qint64 kLargestGifScreenPixels = qint64(1) << 25;

// Application and comment segments of a JPEG handed to the JPEG library. It keeps such segments
// in a list that it walks to its end for each new one, so their number costs its square; real
// files hold a few (an ICC profile at most 255), and those past this number are left out.
inline constexpr int kMostJpegExtraSegments = 1024;

// Pixels times scans of a JPEG: the JPEG library decodes every block of the picture once a scan,
// whatever the size asked for, so a small file that repeats a scan thousands of times keeps it
// busy for minutes. A photo has one scan, or about ten when progressive; this many (a
// progressive photo of 100 megapixels, about two seconds of decoding) is reached otherwise only
// by files made to waste time, which are refused.
inline constexpr qint64 kMostJpegScanPixels = qint64(1) << 30;

inline bool withinJpegScanLimit(int scans, qint64 width, qint64 height) {
    return scans <= 1 || scans * width * height <= kMostJpegScanPixels;
}

// An ICC colour profile embedded in a picture. Photo and display profiles take a few kilobytes,
// printer profiles with large tables up to a megabyte or two; a larger one is ignored.
inline constexpr qint64 kLargestColourProfileBytes = qint64(4) << 20;

} // namespace PictureLimits

// Bounds that keep a hostile or broken metafile from exhausting memory or time. Reaching one ends
// the playback like a malformed record.
namespace MetafileLimits {

// Largest image actually drawn (the requested size): longest side and total pixels.
inline constexpr int kLargestSide = 16384;
inline constexpr qint64 kLargestPixels = qint64(1) << 26; // 64 megapixels, 256 MiB as ARGB

// Largest file read, in bytes.
inline constexpr qint64 kLargestFileBytes = qint64(1) << 28;

// Largest bitmap embedded in a record, in pixels.
inline constexpr qint64 kLargestBitmapPixels = qint64(1) << 26;

// Records read in one playback; a walk that would go on longer stops there.
inline constexpr qint64 kMostRecords = 4'000'000;

// Drawing work in one playback, whatever the size drawn at, in the units of the canvas's
// DrawingBudget (about a nanosecond of painting each): the pixels fills and strokes cover, the
// pixels of blits, text and gradients, edges, path elements and characters.
inline constexpr qint64 kDrawingWork = 800'000'000;

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
