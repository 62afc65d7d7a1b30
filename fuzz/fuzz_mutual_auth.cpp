// A full mutual authentication against a card whose every reply comes from the input (each
// reply: one length byte, then that many bytes), followed, when it succeeds, by one protected
// command and the unwrapping of the card's answer. Only TokenErrors may come out.
#include "SelvorTokenKit/CardTransmitter.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/TokenError.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace SelvorTokenKit;

namespace {

class FuzzedCard : public CardTransmitter {
public:
    FuzzedCard(const std::uint8_t* data, std::size_t size) : m_input(data, size) {}

    Bytes transmitRaw(std::span<const std::uint8_t>) override {
        if (m_input.empty()) {
            return {};
        }
        const std::size_t length = std::min<std::size_t>(m_input[0], m_input.size() - 1);
        Bytes reply(m_input.begin() + 1, m_input.begin() + 1 + static_cast<std::ptrdiff_t>(length));
        m_input = m_input.subspan(1 + length);
        return reply;
    }

private:
    std::span<const std::uint8_t> m_input;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedCard card(data, size);
    SecureMessaging session([](std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), 0xA5);
        return true;
    });
    const Bytes key(KaltorDriver::defaultTransportKey.begin(),
                    KaltorDriver::defaultTransportKey.end());
    try {
        session.mutualAuth(card, key, key);
        const Bytes pinBlock = KaltorDriver::pinBlock("123456");
        const Bytes command = session.wrapAPDU(0x00, 0x20, 0x00, 0x02, pinBlock, std::nullopt);
        if (command.size() < 15 || (command[0] & 0x04) == 0) {
            __builtin_trap();
        }
        session.unwrapResponse(card.transmitRaw(command));
    } catch (const TokenError&) {
        if (session.isEstablished() && session.sessionKeyEnc().size() != 16) {
            __builtin_trap();
        }
    }
    return 0;
}
