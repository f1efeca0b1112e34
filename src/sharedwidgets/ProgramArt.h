#pragma once

#include <QCursor>
#include <QImage>

// The programs' own icons and cursors, taken by resource number like the string table's texts.
// Icons: 100 and 101 the program's two blinking frames (101 also marks zoom mode), 102 the
// program, 103 refusal, 104 success, 105 next page, 106 previous page, 107 the about box's sprite,
// 108 its mask, 109 the background under it, 110 waiting for input.
// Cursors: 1 a magnifying glass, 2 a magnifying glass with plus and minus, 3 a small cross,
// 4 an invisible pointer.
namespace ProgramArt {
// Icons are drawn on a grid of 32 x 32 and scaled to the size asked for.
QImage icon(int id, int pixels = 32);
QCursor cursor(int id);
} // namespace ProgramArt
