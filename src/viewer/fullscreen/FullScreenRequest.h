#pragma once

#include "Settings.h"
#include "SlideStage.h"

#include <QStringList>
#include <optional>

// What the full-screen window is opened with: the settings its slides follow (its keys change
// some of them for good), the entries of the file list of the settings' current folder, the list
// position the steps start from, whether the slides step by themselves, and the picture shown
// first when the opener hands one over. The window moves `position` as it steps; the opener
// reads it back when the window has closed.
struct FullScreenRequest {
    Settings& settings;
    QStringList entries;
    int position = 0;
    bool slideShow = false;
    std::optional<WaitingPicture> firstPicture;
};
