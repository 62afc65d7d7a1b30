#include "token/TokenProvisioner.hpp"

namespace Selvor {

using SelvorTokenKit::KaltorDriver;

TokenProvisioner::TokenProvisioner() : m_logger("mn.selvor.eid.desktop", "TokenProvisioner") {}

void TokenProvisioner::establishSecureSession(SelvorTokenKit::Card& card) {
    m_driver.establishSecureSession(card, KaltorDriver::defaultTransportKey,
                                    KaltorDriver::defaultTransportKey);
}

void TokenProvisioner::initializeToken(SelvorTokenKit::Card& card, std::string_view pin,
                                       std::string_view puk) {
    establishSecureSession(card);
    m_logger.info("SM session амжилттай — token init эхэлж байна");
    m_driver.initializePIN(pin, puk, card);
    m_logger.info("Token initialized — PIN + PUK тогтоогдлоо");
}

void TokenProvisioner::generateSigningKey(SelvorTokenKit::Card& card, std::string_view pin) {
    // The PIN-verified state lasts only for this secure session, so it is established afresh.
    establishSecureSession(card);
    m_driver.verifyPIN(pin, KaltorDriver::userPINReference, card);
    m_logger.info("PIN verified — key generation эхэлж байна");
    m_driver.generateECKeyPair(signingKeyID, card);
    m_logger.info("EC key pair амжилттай үүсгэгдлэа");
}

} // namespace Selvor
