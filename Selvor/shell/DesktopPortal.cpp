#include "DesktopPortal.hpp"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QtGlobal>

#include <dbus/dbus.h>

#include <memory>

namespace Selvor {
namespace {

Q_LOGGING_CATEGORY(lcPortal, "mn.selvor.eid.desktop.DesktopPortal", QtInfoMsg)

// A bus or portal that does not answer a call within this long is taken as absent: the start
// waits no longer.
constexpr int callTimeoutMilliseconds = 500;

struct ConnectionClose {
    void operator()(DBusConnection* connection) const {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
};
struct MessageUnref {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionClose>;
using Message = std::unique_ptr<DBusMessage, MessageUnref>;

// Frees whatever a failed call left in it.
class Error {
public:
    Error() { dbus_error_init(&m_error); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    ~Error() { dbus_error_free(&m_error); }
    DBusError* get() { return &m_error; }

private:
    DBusError m_error;
};

// The session bus where the desktop announces it; never one started for the asking, which
// libdbus's own lookup would do by forking a bus launcher.
QByteArray sessionBusAddress() {
    if (const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS"); !address.isEmpty())
        return address;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        return "unix:path=" + runtime + "/bus";
    return {};
}

// One call to the bus itself; unanswered within the time limit, it counts as not answered.
Message callBus(DBusConnection* bus, const char* method, const char* argument, Error& error) {
    const Message call(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                                    DBUS_INTERFACE_DBUS, method));
    if (!call || (argument && !dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &argument,
                                                        DBUS_TYPE_INVALID)))
        return nullptr;
    return Message(dbus_connection_send_with_reply_and_block(bus, call.get(),
                                                             callTimeoutMilliseconds, error.get()));
}

} // namespace

// Through libdbus, which Qt's D-Bus support has loaded already, so that the check costs a start
// no library of its own.
bool desktopPortalIsRunning() {
    const QByteArray address = sessionBusAddress();
    if (address.isEmpty())
        return false;
    Error error;
    const Connection bus(dbus_connection_open_private(address.constData(), error.get()));
    if (!bus)
        return false;
    dbus_connection_set_exit_on_disconnect(bus.get(), false);
    // libdbus waits without limit for a bus that takes the connection and never authenticates it:
    // the handshake runs here, against the same limit as a call.
    const QDeadlineTimer deadline(callTimeoutMilliseconds);
    while (!dbus_connection_get_is_authenticated(bus.get())) {
        if (!dbus_connection_get_is_connected(bus.get()) || deadline.hasExpired())
            return false;
        dbus_connection_read_write(bus.get(), int(deadline.remainingTime()));
    }
    // The greeting every bus wants first, sent here rather than by dbus_bus_register, which would
    // wait 25 seconds for a bus that hangs.
    if (!callBus(bus.get(), "Hello", nullptr, error))
        return false;
    const Message reply =
        callBus(bus.get(), "NameHasOwner", "org.freedesktop.portal.Desktop", error);
    dbus_bool_t owned = false;
    return reply &&
           dbus_message_get_args(reply.get(), error.get(), DBUS_TYPE_BOOLEAN, &owned,
                                 DBUS_TYPE_INVALID) &&
           owned;
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
