#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <span>
#include <string>
#include <string_view>

namespace SelvorTokenKit {

// Hex text to bytes. ASCII whitespace and ':' are ignored; an odd digit count or any other
// character gives an empty result (never throws).
Bytes hexToBytes(std::string_view text);

// Upper-case hex, two digits a byte, no separators.
std::string bytesToHex(std::span<const std::uint8_t> bytes);

// Compares the whole length without an early exit; different lengths are never equal.
bool constantTimeEquals(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// Overwrites the bytes with zeros in a way the optimiser keeps, then empties the buffer.
void wipeBytes(Bytes& bytes);

} // namespace SelvorTokenKit
