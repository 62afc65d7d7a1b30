#pragma once

#include <SelvorTokenKit/Card.hpp>
#include <SelvorTokenKit/KaltorDriver.hpp>
#include <SelvorTokenKit/Log.hpp>

#include <cstdint>
#include <string_view>

namespace Selvor {

// Prepares a new token for signing in two steps, each inside a card session the caller opened
// (TokenManager::withSession, which also serialises them with all other token work): install
// the user PIN and the PUK, then verify the PIN and generate the signing key on the token.
// Errors of the kit and the card service pass through unchanged; nothing is rolled back.
class TokenProvisioner {
public:
    static constexpr std::uint8_t signingKeyID = 0x01;

    TokenProvisioner();

    void initializeToken(SelvorTokenKit::Card& card, std::string_view pin, std::string_view puk);
    void generateSigningKey(SelvorTokenKit::Card& card, std::string_view pin);

private:
    void establishSecureSession(SelvorTokenKit::Card& card);

    SelvorTokenKit::Logger m_logger;
    SelvorTokenKit::KaltorDriver m_driver;
};

} // namespace Selvor
