#include "InputGrab.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int kRetryMs = 100;
} // namespace

InputGrab::InputGrab(QWidget& window) : m_window(&window) {
    window.winId(); // the native window whose exposure tells when it can be grabbed
    window.windowHandle()->installEventFilter(this);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &InputGrab::tryGrab);
    take();
}

InputGrab::~InputGrab() {
    release();
}

void InputGrab::take() {
    m_wanted = true;
    tryGrab();
}

void InputGrab::release() {
    m_wanted = false;
    m_retry.stop();
    if (m_window && m_window->windowHandle()) { // a half-taken grab goes too
        m_window->windowHandle()->setKeyboardGrabEnabled(false);
        m_window->windowHandle()->setMouseGrabEnabled(false);
    }
    m_held = false;
}

void InputGrab::tryGrab() {
    QWindow* handle = m_window ? m_window->windowHandle() : nullptr;
    if (!m_wanted || m_held || !handle || !handle->isExposed())
        return; // taken when the window is exposed
    const bool keyboard = handle->setKeyboardGrabEnabled(true);
    const bool pointer = handle->setMouseGrabEnabled(true);
    m_held = keyboard && pointer;
    if (m_held) {
        m_retry.stop();
        return;
    }
    // Another program holds the keyboard or the pointer (a menu left open, another grab): what
    // was had is kept, and the rest is tried again until it is had too.
    m_retry.start();
}

bool InputGrab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose)
        tryGrab();
    return QObject::eventFilter(watched, event);
}
