#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

// The main window's fixed layout. The screen is sorted once into a class by its size in pixels,
// and each class places the controls of the left column at fixed places in twips.
qint16 screenClassOf(QSize screenPixels);

enum class MainControl { Drive1, Dir1, CboFiltro, File1, Image2, Image3, cerrar };

// Left, top, width and height in twips. The drive list and the pattern box keep their own height:
// their height here is 0.
QRect controlPlacement(qint16 screenClass, MainControl control);
