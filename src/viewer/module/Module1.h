#pragma once

#include "ScreenMetrics.h"
#include "Settings.h"

#include <QString>

// The viewer's module: the settings record and the module-wide values its windows share. One is
// made by main and handed to the windows; what one window asks of another passes as an explicit
// request instead.
struct Module1 {
    Settings settings;
    ScreenMetrics screen;

    qint16 ScreenClass = 2;
    qint16 GridColumns = 0;
    qint16 GridRows = 0;
    qint16 LastCell = 0;
    qint16 MaxZoomWidth = 0;
    qint16 CaptionHeight = 165;
    bool LayoutChanged = true;
    double ZoomHeight = 0.0; // twips
    QString PreviewName;
    // A position of the file list holds any folder size.
    int CurrentIndex = 0;
    bool PasswordAccepted = false;
};
