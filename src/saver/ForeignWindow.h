#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSize>
#include <memory>
#include <optional>

class QWidget;
class QWindow;

// A window of another program that the screen saver draws into: the screen-saver daemon's window
// or the root window. The saver's window becomes its child, covers it, takes no input and follows
// its size. X11 only.
class ForeignWindow : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Nothing when there is no such window or the program does not run on X11.
    static std::unique_ptr<ForeignWindow> open(quint64 id);
    // The root window of the first screen; nothing without X11.
    static std::optional<quint64> rootWindow();
    ~ForeignWindow() override;

    QSize size() const { return m_size; }
    // Makes the widget a child of the window, at the window's size, transparent for input. The
    // widget must be destroyed before this object.
    void embed(QWidget& widget);

signals:
    void resized(QSize size);
    // The window was destroyed: its program has ended the display mode.
    void gone();

private:
    ForeignWindow(quint64 id, QSize size);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    quint64 m_id;
    QSize m_size;
    QWindow* m_window = nullptr;
};
