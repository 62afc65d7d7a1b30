#pragma once

#include <QDBusMessage>
#include <QObject>

class QDBusConnection;

namespace Selvor {

// The desktop's light or dark preference from the settings portal: read when made, then followed
// as the desktop changes it. Without a session bus or a portal that knows the setting it stays
// without preference, and the palette decides.
class PortalColorScheme : public QObject {
    Q_OBJECT

public:
    // The portal's own values of org.freedesktop.appearance color-scheme.
    enum class Scheme : uint { noPreference = 0, preferDark = 1, preferLight = 2 };

    // On the session bus.
    explicit PortalColorScheme(QObject* parent = nullptr);
    PortalColorScheme(const QDBusConnection& bus, QObject* parent = nullptr);

    [[nodiscard]] Scheme scheme() const { return m_scheme; }

signals:
    void schemeChanged();

private slots:
    void settingChanged(const QDBusMessage& message);

private:
    void setScheme(Scheme scheme);

    Scheme m_scheme = Scheme::noPreference;
};

} // namespace Selvor
