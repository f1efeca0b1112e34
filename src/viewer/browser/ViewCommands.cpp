#include "ViewCommands.h"

#include "ImageBrowser.h"
#include "Module1.h"
#include "PictureLoader.h"
#include "StringTable.h"

#include <QClipboard>
#include <QColorSpace>
#include <QGuiApplication>

namespace {
// What the zoom view keeps of a picture: no more than it can show.
QImage reducedTo(const QImage& image, QSize bound) {
    if (image.width() <= bound.width() && image.height() <= bound.height())
        return image;
    return image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
} // namespace

ViewCommands::ViewCommands(ImageBrowser& browser, BrowserFeedback& feedback)
    : m_browser(browser), m_module(browser.module()), m_feedback(feedback) {}

void ViewCommands::Portapapeles_Click() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    QImage image = clipboard ? clipboard->image() : QImage();
    if (image.isNull())
        return;
    // A pasted picture is in the colours of the profile it came with, else sRGB.
    Colour::convert(image, {image.colorSpace().iccProfile()}, Colour::Target::Display);
    // Kept whole: there is no file to read it again from when it is shown full screen.
    m_browser.setZoomPicture({image, image.size()}, QString());
    m_module.PreviewName = LocalText(kTextClipboard, m_module.settings.LanguageOffset);
    m_browser.setTitleWith(m_module.PreviewName);
    m_browser.Zoom();
}

void ViewCommands::Pantalla_Click() { openFullScreen(false); }

void ViewCommands::Diapositivas_Click() { openFullScreen(true); }

void ViewCommands::openFullScreen(bool slideShow) {
    const FileList& list = m_browser.File1();
    m_module.FileCount = list.count();
    const bool previewShown = m_browser.zoomView().visible;
    if (m_module.FileCount == 0 && !previewShown)
        return;
    if (list.listIndex() < 0 && !previewShown)
        m_module.CurrentIndex = 0;
    m_module.SlideShowMode = slideShow;
    m_browser.suspendPageFill();
    m_feedback.showFullScreenWindow();
    m_browser.resumePageFill();
}

void ViewCommands::opcport_Click() {
    const qint16 language = m_module.settings.LanguageOffset;
    const QString file = m_browser.cellFile(m_module.CurrentIndex);
    // Other programs take a pasted picture as sRGB; the zoom view shows it in the screen's colours.
    PictureLoader::Result loaded = PictureLoader::load(file, {}, Colour::Target::Srgb);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!loaded.ok() || !clipboard) {
        m_feedback.showMessage(LocalText(kTextFormatNotCompatible, language),
                               LocalText(kTextAttention, language));
        return;
    }
    const QImage whole = loaded.picture.image;
    QImage shown = reducedTo(whole, m_browser.zoomPictureBound());
    Colour::convert(shown, {}, Colour::Target::Display);
    m_browser.setZoomPicture({shown, loaded.picture.naturalSize}, file);
    clipboard->clear();
    clipboard->setImage(whole);
}

void ViewCommands::opcfull_Click() {
    const QString file = m_browser.cellFile(m_module.CurrentIndex);
    m_module.PreviewName = m_browser.cellCaption(m_module.CurrentIndex);
    PictureLoader::Result loaded = PictureLoader::load(file, m_browser.zoomPictureBound());
    if (!loaded.ok())
        return;
    m_browser.setZoomPicture(std::move(loaded.picture), file);
    m_module.UsePreviewPicture = true;
    Pantalla_Click();
}

void ViewCommands::Ayuda_Click() {
    m_feedback.openHelp(m_module.settings.LanguageOffset + kHelpMainWindow);
}
