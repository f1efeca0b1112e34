#pragma once

class QString;
struct FullScreenRequest;

// What the main window shows on behalf of the browser's logic.
class BrowserFeedback {
public:
    virtual ~BrowserFeedback() = default;
    // A modal message box with the information icon.
    virtual void showMessage(const QString& text, const QString& title) = 0;
    // Opens the thumbnail menu at the mouse position.
    virtual void openPictureMenu() = 0;
    // Shows the full-screen window modally on the request; returns when it has closed.
    virtual void showFullScreenWindow(FullScreenRequest& request) = 0;
    // Opens the program's help at a topic, without waiting for it.
    virtual void openHelp(int topic) = 0;
    // The program's busy pointer while a page fills; the window answers meanwhile.
    virtual void showBusy(bool busy) = 0;
};
