#pragma once

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
    // Puts the chosen thumbnail's picture on the clipboard, or says the format is not compatible.
    void opcport_Click();
    // Shows the chosen thumbnail's picture full screen, then the folder's others by key.
    void opcfull_Click();
    void Ayuda_Click();

private:
    void openFullScreen(bool slideShow);

    ImageBrowser& m_browser;
    Module1& m_module;
    BrowserFeedback& m_feedback;
};
