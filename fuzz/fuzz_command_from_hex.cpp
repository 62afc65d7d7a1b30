// Command APDUs from arbitrary text: either a clear invalidAPDU or a command that encodes back
// to bytes which parse to the same command.
#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/TokenError.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace SelvorTokenKit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const APDUCommand command = APDUCommand::fromHex(text);
        const Bytes encoded = command.buildBuffer();
        if (command.lc() != (command.payload() ? command.payload()->size() : 0) ||
            command.redactedDescription().empty()) {
            __builtin_trap();
        }
        // A present but empty payload encodes as Lc 00, which reads back as Le 00 (no Le): the
        // one form the short encoding cannot carry back. Everything else round-trips.
        if (command.payload() && command.payload()->empty()) {
            if (encoded.size() != (command.le() != 0 ? 6u : 5u)) {
                __builtin_trap();
            }
            return 0;
        }
        const APDUCommand again = APDUCommand::fromHex(bytesToHex(encoded));
        if (again.buildBuffer() != encoded || again.payload() != command.payload()) {
            __builtin_trap();
        }
    } catch (const TokenError& error) {
        if (error.kind() != TokenError::Kind::invalidAPDU) {
            __builtin_trap();
        }
    }
    return 0;
}
