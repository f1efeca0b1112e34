#pragma once

// Where dialogs sit and how wide they are, in pixels, beyond the places their layout gives them.
namespace DialogGeometry {

// The left edge of a window's frame that keeps it on a screen of that width: unchanged while its
// right edge is on the screen, else moved left just far enough to bring it there, but never past
// the screen's left edge (a window wider than the screen starts at 0).
int leftOnScreen(int frameLeft, int frameWidth, int screenWidth);

// The client width a dialog needs for a window manager to show its whole title: its own width,
// or more when the title is long. Window managers centre the title on the bar, and some draw
// minimise, maximise and close buttons whatever a dialog asks for, each about a third wider
// than the title's line is high; so the title needs the room of three such buttons on each side.
int widthShowingTitle(int clientWidth, int titleWidth, int titleLineHeight);

} // namespace DialogGeometry
