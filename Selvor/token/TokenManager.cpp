#include "token/TokenManager.hpp"

#include <SelvorTokenKit/Hex.hpp>

#include <QCoroFuture>
#include <QMetaObject>
#include <QPointer>
#include <QVariantMap>

#include <exception>

namespace Selvor {

using SelvorTokenKit::Card;
using SelvorTokenKit::PresenceWatcher;

TokenManager::TokenManager(SelvorTokenKit::TokenManager& kit, QObject* parent)
    : QObject(parent), m_kit(kit), m_logger("mn.selvor.eid.desktop", "TokenManager") {
    m_watcher = std::make_unique<PresenceWatcher>([this](const PresenceWatcher::Event& event) {
        // The watcher thread only hands the event over; the destructor stops the watcher before
        // this object goes, and the queued call is dropped if it has gone anyway.
        QMetaObject::invokeMethod(
            this, [this, event] { onPresenceEvent(event); }, Qt::QueuedConnection);
    });
    refresh();
    m_watcher->start();
}

TokenManager::~TokenManager() {
    m_watcher->stop();
}

QVariant TokenManager::tokenInfoValue() const {
    if (!m_tokenInfo)
        return {};
    return QVariantMap{
        {QStringLiteral("label"), QString::fromStdString(m_tokenInfo->label)},
        {QStringLiteral("isFIPS"), m_tokenInfo->isFIPS},
        {QStringLiteral("atrHex"), QString::fromStdString(m_tokenInfo->atrHex())},
    };
}

void TokenManager::refresh() {
    QStringList names;
    for (const std::string& name : m_kit.getReaderNames())
        names.append(QString::fromStdString(name));
    if (names != m_readerNames) {
        m_readerNames = names;
        emit readerNamesChanged();
    }

    // Every token action works on the first reader, so the token counts as present when that
    // reader holds a card: an empty reader is not a token.
    const bool present =
        !names.isEmpty() && m_readersWithCard.contains(names.front().toStdString());
    if (present != m_isTokenPresent) {
        m_isTokenPresent = present;
        emit isTokenPresentChanged();
    }

    if (!present)
        setTokenInfo(std::nullopt);
    else
        startReadingTokenInfo();
}

void TokenManager::startReadingTokenInfo() {
    // readTokenInfo reports its own failures, so nothing can escape this detached task.
    readTokenInfo();
}

QCoro::Task<> TokenManager::readTokenInfo() {
    QPointer<TokenManager> self(this);
    std::optional<SelvorTokenKit::TokenInfo> info;
    QString failure;
    try {
        auto reading =
            withSession([driver = &m_driver](Card& card) { return driver->getTokenInfo(card); });
        info = co_await reading;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!self)
        co_return;
    if (info) {
        m_logger.info("Токен: %s, FIPS=%{bool}d", info->label, info->isFIPS);
        // A read that finishes after the token was pulled out must not bring it back.
        if (m_isTokenPresent)
            setTokenInfo(std::move(info));
    } else {
        m_logger.error("Token info алдаа: %s", failure.toStdString());
        setErrorMessage(failure);
    }
}

QCoro::Task<bool> TokenManager::testConnection() {
    QPointer<TokenManager> self(this);
    SelvorTokenKit::Bytes challenge;
    QString failure;
    try {
        auto testing = withSession([driver = &m_driver](Card& card) {
            driver->selectApplet(card);
            return driver->getChallenge(card);
        });
        challenge = co_await testing;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    if (!self)
        co_return false;
    if (failure.isEmpty()) {
        m_logger.info("Token connection OK, challenge: %s", SelvorTokenKit::bytesToHex(challenge));
        co_return true;
    }
    m_logger.error("Token connection failed: %s", failure.toStdString());
    setErrorMessage(failure);
    co_return false;
}

void TokenManager::onPresenceEvent(const PresenceWatcher::Event& event) {
    using Kind = PresenceWatcher::Event::Kind;
    switch (event.kind) {
    case Kind::cardInserted:
        m_readersWithCard.insert(event.identifier);
        m_logger.info("Токен залгагдлаа: %s", event.identifier);
        break;
    case Kind::cardRemoved:
    case Kind::readerRemoved:
        m_readersWithCard.erase(event.identifier);
        break;
    case Kind::readerAdded:
        break;
    }
    refresh();
}

void TokenManager::setTokenInfo(std::optional<SelvorTokenKit::TokenInfo> info) {
    if (!info && !m_tokenInfo)
        return;
    m_tokenInfo = std::move(info);
    emit tokenInfoChanged();
}

void TokenManager::setErrorMessage(const QString& message) {
    if (message == m_errorMessage)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

} // namespace Selvor
