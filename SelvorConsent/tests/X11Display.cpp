#include "X11Display.hpp"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace SelvorConsent {
namespace {

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T> using XcbPointer = std::unique_ptr<T, FreeDeleter>;

} // namespace

X11Display::X11Display() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (isOpen())
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

X11Display::~X11Display() {
    xcb_disconnect(m_connection);
}

bool X11Display::isOpen() const {
    return xcb_connection_has_error(m_connection) == 0;
}

xcb_window_t X11Display::createWindow(const QRect& geometry) {
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root,
                      static_cast<int16_t>(geometry.x()), static_cast<int16_t>(geometry.y()),
                      static_cast<uint16_t>(geometry.width()),
                      static_cast<uint16_t>(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    return window;
}

std::optional<QRect> X11Display::geometry(xcb_window_t window) const {
    const XcbPointer<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const XcbPointer<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    if (!size || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, size->width, size->height);
}

std::optional<xcb_window_t> X11Display::transientFor(xcb_window_t window) const {
    const XcbPointer<xcb_get_property_reply_t> property(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!property ||
        xcb_get_property_value_length(property.get()) != static_cast<int>(sizeof(xcb_window_t)))
        return std::nullopt;
    xcb_window_t owner = 0;
    std::memcpy(&owner, xcb_get_property_value(property.get()), sizeof owner);
    return owner;
}

} // namespace SelvorConsent
