#include "ForeignWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* x11Connection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Adds structure events (size changes, destruction) to what this program hears of the window,
// keeping what it heard before: the root window's other events matter to Qt.
void hearStructureOf(xcb_connection_t* connection, xcb_window_t window) {
    uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window), nullptr)) {
        mask |= attributes->your_event_mask;
        std::free(attributes);
    }
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

} // namespace

std::unique_ptr<ForeignWindow> ForeignWindow::open(quint64 id) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || id == 0 || id > UINT32_MAX)
        return nullptr;
    const auto window = static_cast<xcb_window_t>(id);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return nullptr;
    const QSize size(geometry->width, geometry->height);
    std::free(geometry);
    hearStructureOf(connection, window);
    return std::unique_ptr<ForeignWindow>(new ForeignWindow(id, size));
}

std::optional<quint64> ForeignWindow::rootWindow() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (screens.rem == 0)
        return std::nullopt;
    return screens.data->root;
}

ForeignWindow::ForeignWindow(quint64 id, QSize size) : m_id(id), m_size(size) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

ForeignWindow::~ForeignWindow() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    delete m_window; // forgets the window; the other program's window stays
}

void ForeignWindow::embed(QWidget& widget) {
    widget.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    widget.winId(); // gives it a native window to reparent
    if (!m_window)
        m_window = QWindow::fromWinId(static_cast<WId>(m_id));
    widget.windowHandle()->setParent(m_window);
    widget.setGeometry(QRect(QPoint(0, 0), m_size));
    connect(this, &ForeignWindow::resized, &widget, [&widget](QSize size) { widget.resize(size); });
}

bool ForeignWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
        const QSize size(configure->width, configure->height);
        if (configure->window == m_id && size != m_size) {
            m_size = size;
            emit resized(size);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == m_id)
            emit gone();
        break;
    default:
        break;
    }
    return false;
}
