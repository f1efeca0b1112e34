#pragma once

// Where dialogs sit and how wide they are, in pixels, beyond the places their layout gives them.
namespace DialogGeometry {

// The left edge of a window's frame that keeps it on a screen of that width: unchanged while its
// right edge is on the screen, else moved left just far enough to bring it there, but never past
// the screen's left edge (a window wider than the screen starts at 0).
int leftOnScreen(int frameLeft, int frameWidth, int screenWidth);

} // namespace DialogGeometry
