#include "DesktopPortal.hpp"

#include <QLoggingCategory>
#include <QtGlobal>

#include <systemd/sd-bus.h>

#include <cstdint>
#include <memory>

namespace Selvor {
namespace {

Q_LOGGING_CATEGORY(lcPortal, "mn.selvor.eid.desktop.DesktopPortal", QtInfoMsg)

// A portal that does not answer within this long is taken as absent: the start waits no longer.
constexpr std::uint64_t callTimeoutMicroseconds = 500'000;

} // namespace

bool desktopPortalIsRunning() {
    sd_bus* opened = nullptr;
    if (sd_bus_open_user(&opened) < 0)
        return false;
    const std::unique_ptr<sd_bus, decltype(&sd_bus_flush_close_unref)> bus(
        opened, &sd_bus_flush_close_unref);
    sd_bus_set_method_call_timeout(bus.get(), callTimeoutMicroseconds);
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = sd_bus_call_method(
        bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", &error, &reply, "s", "org.freedesktop.portal.Desktop");
    sd_bus_error_free(&error);
    int owned = 0;
    const bool answered = called >= 0 && sd_bus_message_read(reply, "b", &owned) >= 0;
    sd_bus_message_unref(reply);
    return answered && owned;
}

bool preferDesktopFileChooser() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME"))
        return false;
    if (!desktopPortalIsRunning()) {
        qCDebug(lcPortal) << "no desktop portal on the session bus: Qt Quick's file dialog stays";
        return false;
    }
    return qputenv("QT_QPA_PLATFORMTHEME", "xdgdesktopportal");
}

} // namespace Selvor
