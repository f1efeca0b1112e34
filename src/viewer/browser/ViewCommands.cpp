#include "ViewCommands.h"

#include "FullScreenRequest.h"
#include "ImageBrowser.h"
#include "Module1.h"
#include "PictureLoader.h"
#include "StringTable.h"

#include <QClipboard>
#include <QColorSpace>
#include <QGuiApplication>

// The picture the clipboard copy reads: whole in sRGB, as other programs take a pasted picture,
// and what the zoom view keeps of it, in the screen's colours.
struct ViewCommands::ClipboardCopy {
    QString file;
    PictureLoader::Result whole;
    QImage shown;
};

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
    m_browser.zoom().setPicture({image, image.size()}, QString());
    m_module.PreviewName = LocalText(kTextClipboard, m_module.settings.LanguageOffset);
    m_browser.setTitleWith(m_module.PreviewName);
    m_browser.Zoom();
}

void ViewCommands::Pantalla_Click() {
    openFullScreen(false);
}

void ViewCommands::Diapositivas_Click() {
    openFullScreen(true);
}

void ViewCommands::openFullScreen(bool slideShow, std::optional<WaitingPicture> firstPicture) {
    const FileList& list = m_browser.File1();
    const ZoomView& zoom = m_browser.zoomView();
    if (list.count() == 0 && !zoom.visible)
        return;
    // From the selection; with none, from the start, or where the last window left off while
    // the view shows.
    const int position = list.listIndex() >= 0 ? list.listIndex()
                         : zoom.visible        ? m_module.CurrentIndex
                                               : 0;
    FullScreenRequest request{m_module.settings, list.entries(), position, slideShow,
                              std::move(firstPicture)};
    if (!request.firstPicture && zoom.visible)
        request.firstPicture = WaitingPicture{zoom.picture, zoom.sourcePath};
    m_browser.page().suspend();
    m_feedback.showFullScreenWindow(request);
    m_browser.page().resume();
    m_module.CurrentIndex = request.position;
}

void ViewCommands::opcport_Click() {
    const QString file = m_browser.cellFile(m_module.CurrentIndex);
    const QSize bound = m_browser.zoom().pictureBound();
    m_copy.request(
        [file, bound] {
            ClipboardCopy copy{file, PictureLoader::load(file, {}, Colour::Target::Srgb), {}};
            if (copy.whole.ok()) {
                copy.shown = reducedTo(copy.whole.picture.image, bound);
                Colour::convert(copy.shown, {}, Colour::Target::Display);
            }
            return copy;
        },
        [this, viewFile = m_browser.zoomView().sourcePath](const ClipboardCopy& copy) {
            copyRead(copy, viewFile);
        });
}

void ViewCommands::copyRead(const ClipboardCopy& copy, const QString& viewFile) {
    const qint16 language = m_module.settings.LanguageOffset;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!copy.whole.ok() || !clipboard) {
        m_feedback.showMessage(LocalText(kTextFormatNotCompatible, language),
                               LocalText(kTextAttention, language));
        return;
    }
    // The view takes the copied picture unless it was given another file's while it was read.
    if (m_browser.zoomView().sourcePath == viewFile)
        m_browser.zoom().setPicture({copy.shown, copy.whole.picture.naturalSize}, copy.file);
    clipboard->clear();
    clipboard->setImage(copy.whole.picture.image);
}

void ViewCommands::opcfull_Click() {
    const QString file = m_browser.cellFile(m_module.CurrentIndex);
    m_module.PreviewName = m_browser.cellCaption(m_module.CurrentIndex);
    const QSize bound = m_browser.zoom().pictureBound();
    m_fullScreen.request([file, bound] { return PictureLoader::load(file, bound); },
                         [this, file](PictureLoader::Result loaded) {
                             if (!loaded.ok())
                                 return;
                             m_browser.zoom().setPicture(loaded.picture, file);
                             openFullScreen(false, WaitingPicture{std::move(loaded.picture), file});
                         });
}

void ViewCommands::Ayuda_Click() {
    m_feedback.openHelp(m_module.settings.LanguageOffset + kHelpMainWindow);
}
