#pragma once

#include "LatestResult.h"
#include "SlideStage.h"

#include <QString>
#include <optional>

class BrowserFeedback;
class ImageBrowser;
struct Module1;

// The commands that view pictures: the clipboard's picture in the zoom view, the full-screen
// view and the slide show, the thumbnail menu's clipboard copy and full screen, and help.
class ViewCommands {
public:
    ViewCommands(ImageBrowser& browser, BrowserFeedback& feedback);

    // Shows the clipboard's picture in the zoom view; with no picture there the view stays as it
    // was.
    void Portapapeles_Click();
    void Pantalla_Click();
    void Diapositivas_Click();
    // Puts the chosen thumbnail's picture on the clipboard, or says the format is not compatible,
    // once the picture has been read off this thread.
    void opcport_Click();
    // Shows the chosen thumbnail's picture full screen, then the folder's others by key, once
    // the picture has been read off this thread.
    void opcfull_Click();
    void Ayuda_Click();
    // A picture for the clipboard or the full-screen view is being read.
    bool isReading() const { return m_copy.isPending() || m_fullScreen.isPending(); }

private:
    struct ClipboardCopy;

    // Opens the full-screen window on the file list, starting with `firstPicture` or else the
    // zoom view's picture while the view shows; with an empty list and no view, nothing opens.
    void openFullScreen(bool slideShow, std::optional<WaitingPicture> firstPicture = {});
    void copyRead(const ClipboardCopy& copy, const QString& viewFile);

    ImageBrowser& m_browser;
    Module1& m_module;
    BrowserFeedback& m_feedback;
    // Each command's latest request: asked again, the older one is dropped.
    LatestResult m_copy;
    LatestResult m_fullScreen;
};
