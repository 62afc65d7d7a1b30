#pragma once

#include "TokenSim/CardCrypto.hpp"

#include <string_view>

namespace TokenSim {

// One PIN of the token: its 16-byte block, the tries left and whether it was verified in the
// current card session.
class PinSlot {
public:
    PinSlot(std::string_view pin, int maxTries);
    ~PinSlot();
    PinSlot(const PinSlot&) = delete;
    PinSlot& operator=(const PinSlot&) = delete;

    // 90 00, 63 Cx for a wrong PIN (x tries left), 69 83 once blocked.
    std::uint16_t verify(ByteView block);
    // Without data VERIFY only reports the state.
    std::uint16_t status() const;
    void change(ByteView block);
    void forgetVerification() { m_verified = false; }
    bool isVerified() const { return m_verified; }
    int triesLeft() const { return m_triesLeft; }

    static Bytes blockFor(std::string_view pin);

private:
    Bytes m_block;
    int m_maxTries;
    int m_triesLeft;
    bool m_verified = false;
};

} // namespace TokenSim
