// Response APDUs and hex text straight from the input: parsing never fails and stays coherent.
#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/Hex.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace SelvorTokenKit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    APDUResponse response(input);
    const std::size_t dataSize = response.data() ? response.data()->size() : 0;
    if (size >= 2 && dataSize != size - 2) {
        __builtin_trap();
    }
    if (response.isSuccess() != (response.status() == 0x9000) || response.hexStatus().size() != 4 ||
        response.description().empty()) {
        __builtin_trap();
    }
    response.wipe();
    if (response.data()) {
        __builtin_trap();
    }
    const Bytes parsed = hexToBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.empty() && hexToBytes(bytesToHex(parsed)) != parsed) {
        __builtin_trap();
    }
    return 0;
}
