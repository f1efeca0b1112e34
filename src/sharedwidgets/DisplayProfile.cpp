#include "DisplayProfile.h"

#include "PictureLimits.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace DisplayProfile {
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeReply>;

PropertyReply property(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t atom,
                       quint32 words) {
    return PropertyReply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, root, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, words), nullptr));
}

} // namespace

QByteArray ofX11Root() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    constexpr char kName[] = "_ICC_PROFILE";
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    // A first request of no length tells the format and the size without fetching the bytes.
    const PropertyReply size = property(connection, root, atom->atom, 0);
    if (!size || size->format != 8 || size->bytes_after == 0 ||
        size->bytes_after > PictureLimits::kLargestColourProfileBytes)
        return {};
    const quint32 bytes = size->bytes_after;
    const PropertyReply whole = property(connection, root, atom->atom, (bytes + 3) / 4);
    if (!whole || whole->format != 8 ||
        quint32(xcb_get_property_value_length(whole.get())) != bytes)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(whole.get())),
                      qsizetype(bytes));
}

} // namespace DisplayProfile
