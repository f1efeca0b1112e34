#pragma once

#include "Picture.h"
#include "SlideShow.h"

#include "PictureLoader.h"

#include <QDialog>
#include <QFuture>
#include <QTimer>

class ImageBrowser;
class PictureCell;
struct Module1;

// The full-screen window: one picture at a time on a black screen, stepped by keys or by its
// timer over the pictures of the main window's file list. The first picture is the main window's
// preview when it asks for it. Opened modally; each opening starts afresh.
class frmPantalla : public QDialog, private SlideShowHost {
    Q_OBJECT

public:
    frmPantalla(Module1& module, ImageBrowser& browser, RandomSource& random,
                QWidget* parent = nullptr);
    ~frmPantalla() override;

    const Picture& slidePicture() const { return m_picture; }
    const QTimer& Reloj() const { return m_reloj; }
    int helpTopic() const { return m_helpTopic; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool takeWaitingPicture() override;
    bool loadSlide(const QString& path) override;
    QSize slidePictureSize() const override;
    QSizeF screenSize() const override;
    void hideSlide() override;
    void showSlide(const QRectF& rect) override;
    void timerChanged(bool running, int periodMs) override;

    QSize decodeBound() const;
    // Starts reading the next step's picture in the background, so stepping shows it at once.
    void readAhead();

    Module1& m_module;
    ImageBrowser& m_browser;
    SlideShow m_show;
    PictureCell* m_slide;
    QTimer m_reloj;
    Picture m_picture;
    QString m_aheadPath;
    QFuture<PictureLoader::Result> m_ahead;
    bool m_previewPending = false;
    int m_helpTopic = 0;
};
