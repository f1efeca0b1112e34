#pragma once

#include "FullScreenRequest.h"
#include "ScreenSaverInhibitor.h"
#include "SlideStage.h"

#include <QDialog>

// The full-screen window: one picture at a time on a black screen of `screen` pixels, stepped by
// keys or by its timer over the pictures of the request's list. The first picture is the one the
// request hands over, if any. Opened modally; each opening starts afresh. The request outlives
// the window.
class frmPantalla : public QDialog, private WaitingPictureSource {
    Q_OBJECT

public:
    frmPantalla(FullScreenRequest& request, QSize screen, RandomSource& random,
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

    FullScreenRequest& m_request;
    SlideStage* m_stage;
    ScreenSaverInhibitor m_inhibitor; // while the slides step by themselves
    int m_wheelTurn = 0; // eighths of a degree not yet stepped
    int m_helpTopic = 0;
};
