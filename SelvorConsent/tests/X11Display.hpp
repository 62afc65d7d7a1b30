#pragma once

#include <QRect>

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>

namespace SelvorConsent {

// A connection to the X server of $DISPLAY, for making a stand-in for the app's window and
// reading how the helper's window sits. Windows it made go with the connection.
class X11Display {
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    [[nodiscard]] bool isOpen() const;
    // A plain mapped top-level window at `geometry`.
    xcb_window_t createWindow(const QRect& geometry);
    [[nodiscard]] std::optional<QRect> geometry(xcb_window_t window) const;
    [[nodiscard]] std::optional<xcb_window_t> transientFor(xcb_window_t window) const;

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
};

} // namespace SelvorConsent
