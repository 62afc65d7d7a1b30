#pragma once

#include <QByteArray>

#include <optional>

class QWindow;

namespace Selvor {

// The user time a startup id carries ("..._TIME1234"), if it carries one.
std::optional<quint32> startupIdTime(const QByteArray& startupId);

// Asks an X11 window manager to activate `window` for the launch `startupId` names: the id goes
// on the window as _NET_STARTUP_ID and the request carries the user's time from it. Qt asks with
// the time of the last event this process saw, which a manager that prevents focus stealing
// refuses for a window raised from another program. Does nothing off X11.
void activateForStartupId(QWindow& window, const QByteArray& startupId);

} // namespace Selvor
