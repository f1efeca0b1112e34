#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

class TwipsScale;

// The main window's fixed layout. The screen is sorted once into a class by its size in pixels,
// and each class places the controls of the left column at fixed places in twips.
qint16 screenClassOf(QSize screenPixels);

enum class MainControl { Drive1, Dir1, CboFiltro, File1, Image2, Image3, cerrar };

// Left, top, width and height in twips. The drive list and the pattern box keep their own height:
// their height here is 0.
QRect controlPlacement(qint16 screenClass, MainControl control);

// The window when it is not maximised, in pixels: its size is the client area of 9480 x 6525
// twips, its top left corner the place of the frame's top left corner, which centres the window
// in the screen's free area (or puts it at the area's corner when it does not fit), so the title
// bar is on the screen.
QRect restoredWindowPlace(const QRect& availablePixels, const TwipsScale& scale);
