#include "signing/ConsentRunner.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>
#include <QWindow>

#include <QCoroProcess>

#include <memory>

namespace Selvor {
namespace {

// The helper prints one callback URL; more than this is not one.
constexpr qint64 callbackBytes = 64 * 1024;

// Parent of every running helper, so that quitting can close them; never released.
QObject& runningHelpers() {
    static QObject* const helpers = new QObject;
    return *helpers;
}

// Beside the executable in the build tree; an installed package keeps it in libexec, found
// relative to the executable so that any install prefix works.
QString defaultHelperPath() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString beside = appDir + QStringLiteral("/selvor-consent");
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(appDir + QStringLiteral("/../libexec/selvor/selvor-consent"));
}

} // namespace

ConsentRunner::ConsentRunner()
    : m_helperPath(qEnvironmentVariableIsSet("SELVOR_CONSENT_HELPER")
                       ? qEnvironmentVariable("SELVOR_CONSENT_HELPER")
                       : defaultHelperPath()) {}

QCoro::Task<std::optional<QString>>
ConsentRunner::runConsent(const QString& url, const QString& title, QWindow* parent) const {
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || (address.scheme() != u"https" && address.scheme() != u"http"))
        co_return std::nullopt;
    QStringList arguments{QStringLiteral("--title"), title};
    if (parent && QGuiApplication::platformName() == u"xcb")
        arguments << QStringLiteral("--parent-window") << QString::number(parent->winId());
    arguments << address.toString(QUrl::FullyEncoded);

    const auto helper = std::make_unique<QProcess>(&runningHelpers());
    helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A helper that cannot start reports no "started" to wait for.
    if (!QFileInfo(m_helperPath).isExecutable())
        co_return std::nullopt;
    auto starting = qCoro(helper.get()).start(m_helperPath, arguments, QIODevice::ReadOnly);
    if (!co_await starting)
        co_return std::nullopt;
    // The user may keep the window open as long as they like.
    auto finishing = qCoro(helper.get()).waitForFinished(std::chrono::milliseconds(-1));
    co_await finishing;
    if (helper->exitStatus() != QProcess::NormalExit || helper->exitCode() != 0)
        co_return std::nullopt;
    const QByteArray printed = helper->read(callbackBytes);
    co_return codeFromCallback(QString::fromUtf8(printed).section(u'\n', 0, 0).trimmed());
}

void ConsentRunner::closeAll() {
    for (QProcess* helper : runningHelpers().findChildren<QProcess*>())
        helper->kill();
}

std::optional<QString> ConsentRunner::codeFromCallback(const QString& callbackURL) {
    const QUrl callback(callbackURL, QUrl::StrictMode);
    if (!callback.isValid() || callback.scheme() != u"selvorlogin")
        return std::nullopt;
    for (const auto& [name, value] : QUrlQuery(callback).queryItems(QUrl::FullyDecoded)) {
        if (name == u"code")
            return value.isEmpty() ? std::nullopt : std::optional(value);
    }
    return std::nullopt;
}

} // namespace Selvor
