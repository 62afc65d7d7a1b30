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
        const APDUCommand again = APDUCommand::fromHex(bytesToHex(encoded));
        if (again.buildBuffer() != encoded || again.payload() != command.payload() ||
            command.lc() != (command.payload() ? command.payload()->size() : 0) ||
            command.redactedDescription().empty()) {
            __builtin_trap();
        }
    } catch (const TokenError& error) {
        if (error.kind() != TokenError::Kind::invalidAPDU) {
            __builtin_trap();
        }
    }
    return 0;
}
