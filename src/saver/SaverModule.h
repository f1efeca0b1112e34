#pragma once

#include "ScreenMetrics.h"
#include "Settings.h"

// The screen saver's module: the settings record and the values its window and the password
// prompt share. One is made by main and handed to the window.
struct SaverModule {
    Settings settings;
    ScreenMetrics screen;

    int FileCount = 0;    // entries of the window's hidden file list, counted at load
    int CurrentIndex = 0; // position in that list of the picture shown
    bool PasswordAccepted = false;
};
