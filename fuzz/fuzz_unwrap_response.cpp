// Protected replies from the input (first byte picks the suite): unwrapping returns data or a
// clean secureMessagingFailed, and never moves the MAC chain.
#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/TokenError.hpp"

#include <cstddef>
#include <cstdint>

using namespace SelvorTokenKit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool fips = (data[0] & 1) != 0;
    static const SecureMessaging des =
        SecureMessaging::established(false, Bytes(16, 0x11), Bytes(16, 0x22), Bytes(16, 0x00));
    static const SecureMessaging aes =
        SecureMessaging::established(true, Bytes(16, 0x11), Bytes(16, 0x22), Bytes(16, 0x00));
    const SecureMessaging& session = fips ? aes : des;
    try {
        const UnwrappedResponse result = session.unwrapResponse({data + 1, size - 1});
        if (result.data.size() > size) {
            __builtin_trap();
        }
    } catch (const TokenError& error) {
        if (error.kind() != TokenError::Kind::secureMessagingFailed) {
            __builtin_trap();
        }
    }
    if (session.icvMac() != Bytes(16, 0x00)) {
        __builtin_trap();
    }
    return 0;
}
