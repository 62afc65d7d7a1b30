#include "X11WindowGeometry.hpp"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace SelvorConsent {
namespace {

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T> using XcbPointer = std::unique_ptr<T, FreeDeleter>;

} // namespace

std::optional<QRect> x11WindowGeometry(WId window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || window > std::numeric_limits<xcb_window_t>::max())
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window);
    // Errors are taken here, so that a window that has gone costs no X error message.
    xcb_generic_error_t* geometryError = nullptr;
    const XcbPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), &geometryError));
    const XcbPointer<xcb_generic_error_t> geometryErrorOwner(geometryError);
    if (!geometry)
        return std::nullopt;
    xcb_generic_error_t* originError = nullptr;
    const XcbPointer<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), &originError));
    const XcbPointer<xcb_generic_error_t> originErrorOwner(originError);
    if (!origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

} // namespace SelvorConsent
