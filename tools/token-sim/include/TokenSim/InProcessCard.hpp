#pragma once

#include "SelvorTokenKit/CardTransmitter.hpp"
#include "TokenSim/TokenCard.hpp"

namespace TokenSim {

// The token as a card in the same process, for unit tests of the host side. Pulling it out
// makes every transmission fail the way a vanished reader connection does: with an exception.
class InProcessCard : public SelvorTokenKit::CardTransmitter {
public:
    explicit InProcessCard(TokenConfig config = {}) : m_card(std::move(config)) {}

    SelvorTokenKit::Bytes transmitRaw(std::span<const std::uint8_t> command) override;

    TokenCard& card() { return m_card; }
    const std::vector<LoggedCommand>& commandLog() const { return m_card.commandLog(); }
    Bytes ecPublicKeyDer() const { return m_card.ecPublicKeyDer(); }
    void remove() { m_present = false; }
    // Re-inserting powers the card up afresh.
    void insert();

private:
    TokenCard m_card;
    bool m_present = true;
};

} // namespace TokenSim
