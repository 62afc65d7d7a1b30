#include "token/TokenManager.hpp"

#include <SelvorTokenKit/Hex.hpp>
#include <SelvorTokenKit/TokenError.hpp>

#include <QCoroFuture>
#include <QMetaObject>
#include <QPointer>
#include <QVariantMap>

#include <algorithm>
#include <exception>
#include <vector>

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

int TokenManager::readerIndex(SelvorTokenKit::TokenManager& kit, const std::string& reader) {
    if (reader.empty())
        return 0;
    const std::vector<std::string> names = kit.getReaderNames();
    const auto found = std::find(names.begin(), names.end(), reader);
    if (found == names.end())
        throw SelvorTokenKit::TokenError(SelvorTokenKit::TokenError::Kind::cardNotFound);
    return static_cast<int>(found - names.begin());
}

void TokenManager::refresh() {
    // listReaders handles its own outcome, so nothing can escape this detached task.
    listReaders(true);
}

QCoro::Task<> TokenManager::listReaders(bool rereadTokenInfo) {
    QPointer<TokenManager> self(this);
    auto listing = m_tokenThread.run([kit = &m_kit] { return kit->getReaderNames(); });
    const std::vector<std::string> names = co_await listing;
    if (!self)
        co_return;
    QStringList readerNames;
    for (const std::string& name : names)
        readerNames.append(QString::fromStdString(name));
    if (readerNames != m_readerNames) {
        m_readerNames = readerNames;
        emit readerNamesChanged();
    }
    if (!updateToken() && rereadTokenInfo && isTokenPresent())
        startReadingTokenInfo();
}

bool TokenManager::updateToken() {
    const auto holdsCard = [this](const QString& reader) {
        return m_readerNames.contains(reader) && m_readersWithCard.contains(reader.toStdString());
    };
    if (holdsCard(m_tokenReader))
        return false;
    QString reader;
    for (const QString& name : std::as_const(m_readerNames)) {
        if (holdsCard(name)) {
            reader = name;
            break;
        }
    }
    if (reader == m_tokenReader)
        return false;
    m_tokenReader = reader;
    // Whatever was read belongs to the token that went.
    setTokenInfo(std::nullopt);
    setTokenInfoError({});
    emit isTokenPresentChanged();
    if (isTokenPresent())
        startReadingTokenInfo();
    return true;
}

void TokenManager::startReadingTokenInfo() {
    // readTokenInfo reports its own failures, so nothing can escape this detached task.
    readTokenInfo();
}

QCoro::Task<> TokenManager::readTokenInfo() {
    QPointer<TokenManager> self(this);
    const QString reader = m_tokenReader;
    std::optional<SelvorTokenKit::TokenInfo> info;
    QString failure;
    try {
        auto reading =
            withSession([driver = &m_driver](Card& card) { return driver->getTokenInfo(card); });
        info = co_await reading;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    // A read of a token that has since gone tells nothing about the one there now.
    if (!self || reader != m_tokenReader)
        co_return;
    if (info) {
        m_logger.info("Токен: %s, FIPS=%{bool}d", info->label, info->isFIPS);
        // A read that finishes after the token was pulled out must not bring it back.
        if (isTokenPresent()) {
            setTokenInfo(std::move(info));
            setTokenInfoError({});
        }
    } else {
        m_logger.error("Token info алдаа: %s", failure.toStdString());
        setErrorMessage(failure);
        if (isTokenPresent())
            setTokenInfoError(failure);
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
    case Kind::serviceAvailable:
    case Kind::serviceUnavailable:
        setServiceAvailable(event.kind == Kind::serviceAvailable);
        break;
    }
    // A card that went is noticed at once; a reader that came needs the service's listing.
    updateToken();
    listReaders(false);
}

void TokenManager::setServiceAvailable(bool available) {
    if (available == m_isServiceAvailable)
        return;
    m_isServiceAvailable = available;
    m_logger.info(available ? "Smart-card service available" : "Smart-card service unavailable");
    emit isServiceAvailableChanged();
}

void TokenManager::setTokenInfo(std::optional<SelvorTokenKit::TokenInfo> info) {
    if (!info && !m_tokenInfo)
        return;
    m_tokenInfo = std::move(info);
    emit tokenInfoChanged();
}

void TokenManager::setTokenInfoError(const QString& message) {
    if (message == m_tokenInfoError)
        return;
    m_tokenInfoError = message;
    emit tokenInfoErrorChanged();
}

void TokenManager::setErrorMessage(const QString& message) {
    if (message == m_errorMessage)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

} // namespace Selvor
