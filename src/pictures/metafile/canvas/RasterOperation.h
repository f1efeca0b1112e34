#pragma once

#include <QImage>
#include <QPoint>

// Raster operations: the bitwise ways GDI combines a pen or brush colour (P), a source bitmap (S)
// and what is already on the page (D). The canvas is transparent where nothing was drawn; the
// operations see such pixels as the white page they stand for, and a pixel that was transparent
// and comes out white stays transparent, so mask pairs (AND a mask, then OR or XOR the image)
// leave the background clear instead of black.
namespace RasterOperation {

// The ternary operation index (bits 16..23 of a raster-operation code) for a binary ROP2 mode
// 1..16 applied to a pen or brush.
quint8 fromBinary(int rop2);

// Combines per pixel: result bit = bit (P*4 + S*2 + D) of the index.
quint32 combine(quint8 index, quint32 pattern, quint32 source, quint32 destination);

// Applies an operation to target pixels where `coverage` (same size as the layers, placed at
// `at` in the target) has a non-zero alpha. pattern and source give P and S per pixel (either
// may be null, then taken as black); target must be ARGB32 premultiplied.
void apply(QImage& target, QPoint at, const QImage& coverage, const QImage& pattern,
           const QImage& source, quint8 index);

// True when the result does not depend on the page (the operation can be drawn plainly).
bool ignoresDestination(quint8 index);
// True when the result does not depend on the source bitmap.
bool ignoresSource(quint8 index);
// True when the result does not depend on the pattern (the brush).
bool ignoresPattern(quint8 index);

} // namespace RasterOperation
