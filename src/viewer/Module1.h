#pragma once

#include "ScreenMetrics.h"
#include "Settings.h"

#include <QString>

// The viewer's module: the settings record and the module-wide values its windows share. One is
// made by main and handed to the windows; data passes to a window through it, set before the
// window is shown.
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
    // Positions and counts of the file list hold any folder size.
    int CurrentIndex = 0;
    int FileCount = 0;
    bool SlideShowMode = false;
    bool UsePreviewPicture = false;
    qint16 FileOpMode = 0;
    bool PasswordAccepted = false;
};
