#include "TokenSim/PinSlot.hpp"

#include "TokenSim/StatusWord.hpp"

#include <algorithm>

namespace TokenSim {

namespace {
constexpr std::size_t pinBlockSize = 16;
}

PinSlot::PinSlot(std::string_view pin, int maxTries)
    : m_block(blockFor(pin)), m_maxTries(maxTries), m_triesLeft(maxTries) {}

PinSlot::~PinSlot() {
    wipe(m_block);
}

Bytes PinSlot::blockFor(std::string_view pin) {
    Bytes block(pinBlockSize, 0x00);
    std::copy_n(pin.begin(), std::min(pin.size(), pinBlockSize), block.begin());
    return block;
}

std::uint16_t PinSlot::verify(ByteView block) {
    if (m_triesLeft == 0) {
        return StatusWord::pinBlocked;
    }
    if (equalInConstantTime(block, m_block)) {
        m_triesLeft = m_maxTries;
        m_verified = true;
        return StatusWord::success;
    }
    --m_triesLeft;
    m_verified = false;
    return StatusWord::retriesLeft(m_triesLeft);
}

std::uint16_t PinSlot::status() const {
    if (m_triesLeft == 0) {
        return StatusWord::pinBlocked;
    }
    return m_verified ? StatusWord::success : StatusWord::retriesLeft(m_triesLeft);
}

void PinSlot::change(ByteView block) {
    wipe(m_block);
    m_block.assign(block.begin(), block.end());
    // A verification earlier in the card session stays valid for the new PIN.
    m_triesLeft = m_maxTries;
}

} // namespace TokenSim
