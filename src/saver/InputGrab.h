#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Holds the keyboard and the pointer for a window while the object lives, so that no other
// window can be reached, not even through the window manager's keys. A window can only be
// grabbed once it is on the screen, so the grab is taken when the window is exposed, and tried
// again for as long as another program holds the keyboard or the pointer.
class InputGrab : public QObject {
    Q_OBJECT

public:
    explicit InputGrab(QWidget& window);
    ~InputGrab() override;

    // Lets go, for another window to grab, or takes the grab again.
    void release();
    void take();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryGrab();

    QPointer<QWidget> m_window;
    QTimer m_retry;
    bool m_wanted = false;
    bool m_held = false;
};
