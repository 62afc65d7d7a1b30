// The token's card side under fuzzed commands: each run establishes a real secure channel with
// the kit as host, then sends records of the input either raw or wrapped by the host.
// Record: kind byte (bit 0: wrap), length byte, then that many bytes.

#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "TokenSim/InProcessCard.hpp"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    TokenSim::TokenConfig config;
    config.fips = (data[0] & 1) != 0;
    // Out of the fuzzer's reach, so key generation (RSA 4096 takes seconds) stays locked.
    config.userPin = "unreachable-pin!";
    TokenSim::InProcessCard card(config);
    SelvorTokenKit::SecureMessaging host;
    host.mutualAuth(card, SelvorTokenKit::KaltorDriver::defaultTransportKey,
                    SelvorTokenKit::KaltorDriver::defaultTransportKey);

    std::size_t i = 1;
    while (i + 2 <= size) {
        const bool wrap = (data[i] & 1) != 0;
        const std::size_t length = std::min<std::size_t>(data[i + 1], size - i - 2);
        const std::span<const std::uint8_t> record(data + i + 2, length);
        i += 2 + length;
        if (!wrap) {
            (void)card.transmitRaw(record);
            continue;
        }
        if (record.size() < 5) {
            continue;
        }
        std::optional<std::span<const std::uint8_t>> body;
        if (record.size() > 5) {
            body = record.subspan(5);
        }
        const std::optional<std::uint8_t> le =
            (record[4] & 0x80) != 0 ? std::optional<std::uint8_t>(record[4]) : std::nullopt;
        try {
            const auto command =
                host.wrapAPDU(record[0], record[1], record[2], record[3], body, le);
            (void)host.unwrapResponse(card.transmitRaw(command));
        } catch (const SelvorTokenKit::TokenError&) {
            // Commands too long for one protected APDU are refused by the host.
        }
    }
    return 0;
}
