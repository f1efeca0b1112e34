#pragma once

#include <QCursor>
#include <QImage>

// The programs' own icons and cursors, taken by resource number like the string table's texts.
namespace ProgramArt {
enum Icon : int {
    kIconProgramAtNight = 100, // the about box's second blinking frame
    kIconZoomMode = 101,       // the main window's in zoom mode, the about box's first frame
    kIconProgram = 102,
    kIconRefusal = 103,
    kIconSuccess = 104,
    kIconNextPage = 105,
    kIconPreviousPage = 106,
    kIconAboutSprite = 107,
    kIconAboutSpriteMask = 108,
    kIconAboutBackground = 109, // the background under the sprite
    kIconWaiting = 110,         // waiting for input
};

enum Cursor : int {
    kCursorMagnifier = 1,
    kCursorZoomMagnifier = 2, // a magnifying glass with plus and minus
    kCursorCross = 3,
    kCursorHidden = 4, // nothing is drawn, the pointer is not seen
};

// Icons are drawn on a grid of 32 x 32 and scaled to the size asked for.
QImage icon(Icon id, int pixels = 32);
QCursor cursor(Cursor id);
} // namespace ProgramArt
