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

// The application's view of the USB token: the smart-card service, readers, presence, the token
// information record and the text of the last failed token action. Lives on the GUI thread and
// never calls PC/SC itself: reader listing and every card session run on its one token thread,
// so token actions of all screens are serialised and a hung service cannot freeze the window.
// The token is the card in the first reader, in the service's order, that holds one; once in
// use it stays the token until it goes, even when a card appears in an earlier reader.
class TokenManager : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application creates the one token manager.")
    Q_PROPERTY(bool isTokenPresent READ isTokenPresent NOTIFY isTokenPresentChanged)
    // The reader holding the token in use; empty while there is none.
    Q_PROPERTY(QString tokenReaderName READ tokenReaderName NOTIFY isTokenPresentChanged)
    // False while the smart-card service (pcscd) cannot be reached.
    Q_PROPERTY(bool isServiceAvailable READ isServiceAvailable NOTIFY isServiceAvailableChanged)
    Q_PROPERTY(QStringList readerNames READ readerNames NOTIFY readerNamesChanged)
    // {label, isFIPS, atrHex}, or undefined until the token's information has been read.
    Q_PROPERTY(QVariant tokenInfo READ tokenInfoValue NOTIFY tokenInfoChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    // Why the present token's information could not be read; empty once it is read or gone.
    Q_PROPERTY(QString tokenInfoError READ tokenInfoError NOTIFY tokenInfoErrorChanged)

public:
    // Starts watching for tokens at once.
    explicit TokenManager(
        SelvorTokenKit::TokenManager& kit = SelvorTokenKit::TokenManager::shared(),
        QObject* parent = nullptr);
    ~TokenManager() override;

    [[nodiscard]] bool isTokenPresent() const { return !m_tokenReader.isEmpty(); }
    [[nodiscard]] QString tokenReaderName() const { return m_tokenReader; }
    [[nodiscard]] bool isServiceAvailable() const { return m_isServiceAvailable; }
    [[nodiscard]] QStringList readerNames() const { return m_readerNames; }
    [[nodiscard]] const std::optional<SelvorTokenKit::TokenInfo>& tokenInfo() const {
        return m_tokenInfo;
    }
    [[nodiscard]] QVariant tokenInfoValue() const;
    // Empty while no token action has failed; never cleared by a later success.
    [[nodiscard]] QString errorMessage() const { return m_errorMessage; }
    [[nodiscard]] QString tokenInfoError() const { return m_tokenInfoError; }

    // Lists the readers again (on the token thread) and re-reads the token's information.
    Q_INVOKABLE void refresh();
    QCoro::Task<> readTokenInfo();
    // True when the token answered SELECT and GET CHALLENGE.
    QCoro::Task<bool> testConnection();

    // Runs body(card) inside one card session on the token's reader, on the token thread, after
    // the token work submitted before it. The body's result or exception comes back to the
    // awaiting coroutine. The body must not touch GUI-thread objects.
    template <typename Body> auto withSession(Body body) {
        return m_tokenThread.run(
            [kit = &m_kit, reader = m_tokenReader.toStdString(), body = std::move(body)]() mutable {
                return kit->withSession(readerIndex(*kit, reader), body);
            });
    }

    // The driver shared by this manager and document signing; use it only inside withSession.
    [[nodiscard]] SelvorTokenKit::KaltorDriver& driver() { return m_driver; }

signals:
    void isTokenPresentChanged();
    void readerNamesChanged();
    void tokenInfoChanged();
    void errorMessageChanged();
    void tokenInfoErrorChanged();
    void isServiceAvailableChanged();

private:
    // Where `reader` is in the service's list now; with no reader chosen, the first one, so
    // that the kit says why there is no token.
    static int readerIndex(SelvorTokenKit::TokenManager& kit, const std::string& reader);
    // Lists the readers on the token thread, then chooses the token; a new token's information
    // is read then, the present one's again only when asked.
    QCoro::Task<> listReaders(bool rereadTokenInfo);
    void onPresenceEvent(const SelvorTokenKit::PresenceWatcher::Event& event);
    void setServiceAvailable(bool available);
    // Chooses the token's reader from the listing and the cards the watcher reported, and reads
    // a new token's information; true when the token changed.
    bool updateToken();
    void setTokenInfo(std::optional<SelvorTokenKit::TokenInfo> info);
    void setErrorMessage(const QString& message);
    void setTokenInfoError(const QString& message);
    void startReadingTokenInfo();

    QString m_tokenReader;
    bool m_isServiceAvailable = true;
    QStringList m_readerNames;
    std::optional<SelvorTokenKit::TokenInfo> m_tokenInfo;
    QString m_errorMessage;
    QString m_tokenInfoError;
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
