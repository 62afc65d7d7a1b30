#pragma once

#include "concurrency/WorkerThread.hpp"

#include <SelvorTokenKit/Card.hpp>
#include <SelvorTokenKit/KaltorDriver.hpp>
#include <SelvorTokenKit/Log.hpp>
#include <SelvorTokenKit/PresenceWatcher.hpp>
#include <SelvorTokenKit/TokenInfo.hpp>
#include <SelvorTokenKit/TokenManager.hpp>

#include <QCoroTask>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace Selvor {

// The application's view of the USB token: readers, presence, the token information record and
// the text of the last failed token action. Lives on the GUI thread; every card session runs on
// its one token thread, so token actions of all screens are serialised.
class TokenManager : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application creates the one token manager.")
    Q_PROPERTY(bool isTokenPresent READ isTokenPresent NOTIFY isTokenPresentChanged)
    Q_PROPERTY(QStringList readerNames READ readerNames NOTIFY readerNamesChanged)
    // {label, isFIPS, atrHex}, or undefined until the token's information has been read.
    Q_PROPERTY(QVariant tokenInfo READ tokenInfoValue NOTIFY tokenInfoChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)

public:
    // Starts watching for tokens at once.
    explicit TokenManager(
        SelvorTokenKit::TokenManager& kit = SelvorTokenKit::TokenManager::shared(),
        QObject* parent = nullptr);
    ~TokenManager() override;

    [[nodiscard]] bool isTokenPresent() const { return m_isTokenPresent; }
    [[nodiscard]] QStringList readerNames() const { return m_readerNames; }
    [[nodiscard]] const std::optional<SelvorTokenKit::TokenInfo>& tokenInfo() const {
        return m_tokenInfo;
    }
    [[nodiscard]] QVariant tokenInfoValue() const;
    // Empty while no token action has failed; never cleared by a later success.
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }

    Q_INVOKABLE void refresh();
    QCoro::Task<> readTokenInfo();
    // True when the token answered SELECT and GET CHALLENGE.
    QCoro::Task<bool> testConnection();

    // Runs body(card) inside one card session on reader 0, on the token thread, after the token
    // work submitted before it. The body's result or exception comes back to the awaiting
    // coroutine. The body must not touch GUI-thread objects.
    template <typename Body> auto withSession(Body body) {
        return m_tokenThread.run(
            [kit = &m_kit, body = std::move(body)]() mutable { return kit->withSession(0, body); });
    }

    // The driver shared by this manager and document signing; use it only inside withSession.
    [[nodiscard]] SelvorTokenKit::KaltorDriver& driver() { return m_driver; }

signals:
    void isTokenPresentChanged();
    void readerNamesChanged();
    void tokenInfoChanged();
    void errorMessageChanged();

private:
    void onPresenceEvent(const SelvorTokenKit::PresenceWatcher::Event& event);
    void setTokenInfo(std::optional<SelvorTokenKit::TokenInfo> info);
    void setErrorMessage(const QString& message);
    void startReadingTokenInfo();

    bool m_isTokenPresent = false;
    QStringList m_readerNames;
    std::optional<SelvorTokenKit::TokenInfo> m_tokenInfo;
    QString m_errorMessage;
    SelvorTokenKit::TokenManager& m_kit;
    SelvorTokenKit::KaltorDriver m_driver;
    SelvorTokenKit::Logger m_logger;
    // Readers that hold a card, as the watcher reported them.
    std::set<std::string> m_readersWithCard;
    // Declared after everything its work touches, so it finishes that work before they go.
    WorkerThread m_tokenThread;
    std::unique_ptr<SelvorTokenKit::PresenceWatcher> m_watcher;
};

} // namespace Selvor
