#pragma once

#include "ScreenSaverInhibitor.h"
#include "SlideStage.h"

#include <QDialog>

class ImageBrowser;
struct Module1;

// The full-screen window: one picture at a time on a black screen, stepped by keys or by its
// timer over the pictures of the main window's file list. The first picture is the main window's
// preview when it asks for it. Opened modally; each opening starts afresh.
class frmPantalla : public QDialog, private WaitingPictureSource {
    Q_OBJECT

public:
    frmPantalla(Module1& module, ImageBrowser& browser, RandomSource& random,
                QWidget* parent = nullptr);
    ~frmPantalla() override;

    const Picture& slidePicture() const { return m_stage->slidePicture(); }
    const QTimer& Reloj() const { return m_stage->Reloj(); }
    int helpTopic() const { return m_helpTopic; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<WaitingPicture> takeWaitingPicture() override;

    Module1& m_module;
    ImageBrowser& m_browser;
    SlideStage* m_stage;
    ScreenSaverInhibitor m_inhibitor; // while the slides step by themselves
    bool m_previewPending = false;
    int m_wheelTurn = 0; // eighths of a degree not yet stepped
    int m_helpTopic = 0;
};
