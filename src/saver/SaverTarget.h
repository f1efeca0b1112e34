#pragma once

#include <QString>
#include <QStringList>

// Where the screen saver draws. Run by a screen-saver daemon as a display mode it draws inside the
// daemon's window, named by "--window-id ID" or by the XSCREENSAVER_WINDOW variable, or on the
// root window with "--root" (one dash is taken as well as two). Anything else on the command line
// is ignored: the slides fill the whole screen.
struct SaverTarget {
    enum class Kind { FullScreen, ForeignWindow, RootWindow };
    Kind kind = Kind::FullScreen;
    quint64 windowId = 0; // of a foreign window

    bool operator==(const SaverTarget&) const = default;
};

// The target from the program's arguments (the program's name first) and the value of the
// XSCREENSAVER_WINDOW variable. A window id is decimal or "0x" hexadecimal; one that is not a
// number is ignored. An id on the command line comes before the variable, which comes before
// "--root".
SaverTarget saverTargetOf(const QStringList& arguments, const QString& xscreensaverWindow);
