#pragma once

#include "Picture.h"
#include "SlideShow.h"

#include <QTimer>
#include <QWidget>
#include <optional>

class PictureCell;
class SlideLoader;
struct Settings;
namespace PictureLoader {
struct Result;
}

// A picture the window already holds, shown first instead of a file of the list. When it holds
// fewer pixels than the screen can show, the stage reads its file again at screen size.
struct WaitingPicture {
    Picture picture;
    QString sourcePath; // empty when there is no file to read it again from
};

// Where the stage asks for a waiting picture at every step; nothing when there is none.
class WaitingPictureSource {
public:
    virtual ~WaitingPictureSource() = default;
    virtual std::optional<WaitingPicture> takeWaitingPicture() = 0;
};

// The full-screen slide stage of both programs: a black surface with the picture element
// "Slide" stretched to the rectangle of the slide layout, the slide timer "Reloj", and the
// slide show over the list it is given. Pictures are decoded at screen size off the
// user-interface thread, the next one read ahead; a step shows its picture when it is read.
class SlideStage : public QWidget, private SlideShowHost {
    Q_OBJECT

public:
    SlideStage(Settings& settings, int& currentIndex, RandomSource& random, QSize screen,
               QWidget* parent = nullptr);
    ~SlideStage() override;

    // The list walked, the count fixed at opening, and the folder its pictures are read from.
    void setList(QStringList entries, int fileCount, QString folder);
    void setWaitingPictureSource(WaitingPictureSource* source) { m_waiting = source; }
    // The size the pictures are laid out on and decoded for; the picture is laid out again.
    void setScreenSize(QSize screen);
    // The pointer over the stage and over its picture.
    void setPointer(const QCursor& cursor);

    SlideShow& show() { return m_show; }
    const Picture& slidePicture() const { return m_picture; }
    const QTimer& Reloj() const { return m_reloj; }
    // What the slide timer does on each period; steps on unless a picture is still being read.
    void tick();

signals:
    void timerRunningChanged(bool running);

private:
    bool takeWaitingPicture() override;
    Load loadSlide(const QString& path) override;
    QSize slidePictureSize() const override;
    QSizeF screenSize() const override;
    void hideSlide() override;
    void showSlide(const QRectF& rect) override;
    void timerChanged(bool running, int periodMs) override;

    void pictureArrived(const PictureLoader::Result& result);
    // The screen in device pixels: pictures are read at that size, as sharp as it shows them.
    QSize decodeBound() const;

    SlideShow m_show;
    SlideLoader* m_loader;
    PictureCell* m_slide;
    QTimer m_reloj;
    Picture m_picture;
    QSize m_screen;
    WaitingPictureSource* m_waiting = nullptr;
};
