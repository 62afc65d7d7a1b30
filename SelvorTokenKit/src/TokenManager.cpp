#include "SelvorTokenKit/TokenManager.hpp"

#include "SelvorTokenKit/TokenError.hpp"

namespace SelvorTokenKit {

TokenManager& TokenManager::shared() {
    static TokenManager instance(makePcscCardService());
    return instance;
}

TokenManager::TokenManager(std::shared_ptr<CardService> service)
    : m_service(std::move(service)), m_logger(std::string(tokenKitLogSubsystem), "TokenManager") {}

std::vector<std::string> TokenManager::getReaderNames() const {
    return m_service->readerNames();
}

bool TokenManager::hasToken() const {
    return !getReaderNames().empty();
}

std::unique_ptr<Card> TokenManager::openSession(int readerIndex) {
    const std::vector<std::string> names = getReaderNames();
    if (readerIndex < 0 || static_cast<std::size_t>(readerIndex) >= names.size()) {
        throw TokenError(TokenError::Kind::readerNotConnected);
    }
    const std::string& name = names[static_cast<std::size_t>(readerIndex)];
    std::unique_ptr<Card> card = m_service->connect(name);
    if (!card) {
        throw TokenError(TokenError::Kind::cardNotFound);
    }
    m_logger.info("Session нээгдлээ: %s", name);
    return card;
}

Bytes TokenManager::getATR(int readerIndex) {
    return withSession(readerIndex, [](Card& card) {
        Bytes atr = card.atr();
        if (atr.empty()) {
            throw TokenError(TokenError::Kind::cardNotFound);
        }
        return atr;
    });
}

} // namespace SelvorTokenKit
