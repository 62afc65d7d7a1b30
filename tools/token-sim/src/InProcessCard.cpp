#include "TokenSim/InProcessCard.hpp"

#include <stdexcept>

namespace TokenSim {

SelvorTokenKit::Bytes InProcessCard::transmitRaw(std::span<const std::uint8_t> command) {
    if (!m_present) {
        throw std::runtime_error("the token was removed");
    }
    return m_card.transmit(command);
}

void InProcessCard::insert() {
    m_card.reset();
    m_present = true;
}

} // namespace TokenSim
