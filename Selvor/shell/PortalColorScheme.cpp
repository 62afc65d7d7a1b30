#include "PortalColorScheme.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLoggingCategory>

namespace Selvor {
namespace {

Q_LOGGING_CATEGORY(lcScheme, "mn.selvor.eid.desktop.Theme", QtInfoMsg)

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
const QString group = QStringLiteral("org.freedesktop.appearance");
const QString key = QStringLiteral("color-scheme");

// The start waits no longer than this for the portal: the window must not.
constexpr int readTimeoutMs = 500;

// Read answers a variant holding the value's variant (the portal wraps it once more than its
// signature says); SettingChanged gives the value's variant alone. Unknown values mean none.
PortalColorScheme::Scheme schemeFrom(QVariant value) {
    for (int unwrapped = 0;
         unwrapped < 2 && value.metaType() == QMetaType::fromType<QDBusVariant>(); ++unwrapped)
        value = qvariant_cast<QDBusVariant>(value).variant();
    if (value.metaType() != QMetaType::fromType<uint>() || value.toUInt() > 2)
        return PortalColorScheme::Scheme::noPreference;
    return static_cast<PortalColorScheme::Scheme>(value.toUInt());
}

} // namespace

PortalColorScheme::PortalColorScheme(QObject* parent)
    : PortalColorScheme(QDBusConnection::sessionBus(), parent) {}

PortalColorScheme::PortalColorScheme(const QDBusConnection& bus, QObject* parent)
    : QObject(parent) {
    QDBusConnection connection = bus;
    if (!connection.isConnected()) {
        qCDebug(lcScheme) << "no session bus: the palette decides light or dark";
        return;
    }
    // The message whole: Qt 6.4 does not hand a signal's variant to a QDBusVariant parameter.
    connection.connect(service, path, settings, QStringLiteral("SettingChanged"), this,
                       SLOT(settingChanged(QDBusMessage)));
    QDBusMessage read =
        QDBusMessage::createMethodCall(service, path, settings, QStringLiteral("Read"));
    read << group << key;
    const QDBusMessage reply = connection.call(read, QDBus::Block, readTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCDebug(lcScheme) << "no colour scheme from the settings portal:" << reply.errorName()
                          << "- the palette decides light or dark";
        return;
    }
    m_scheme = schemeFrom(reply.arguments().constFirst());
}

void PortalColorScheme::settingChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() == 3 && arguments.at(0) == group && arguments.at(1) == key)
        setScheme(schemeFrom(arguments.at(2)));
}

void PortalColorScheme::setScheme(Scheme scheme) {
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    emit schemeChanged();
}

} // namespace Selvor
