#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <optional>
#include <span>

namespace TokenSim {

using SelvorTokenKit::Bytes;
using ByteView = std::span<const std::uint8_t>;

// The two secure-messaging cipher suites: two-key triple DES (8-byte blocks) and AES-128.
enum class Suite { des, aes };

std::size_t blockSize(Suite suite);

// Raw ciphers without padding; every size error throws std::runtime_error.
Bytes ecbEncrypt(Suite suite, ByteView key, ByteView data);
Bytes cbcEncrypt(Suite suite, ByteView key, ByteView iv, ByteView data);
Bytes cbcDecrypt(Suite suite, ByteView key, ByteView iv, ByteView data);

// ISO/IEC 9797-1 MAC algorithm 3 (DES) or the first 8 bytes of the last AES-CBC block.
Bytes computeMac(Suite suite, ByteView key, ByteView iv, ByteView paddedData);

// 0x80 then zeros up to a multiple of the block size (always at least one byte added).
Bytes pad(ByteView data, std::size_t block);
// Strict inverse of pad: nothing when the padding is malformed.
std::optional<Bytes> unpad(ByteView data);

bool equalInConstantTime(ByteView a, ByteView b);

// Zeroes the buffer in a way the compiler cannot drop, then empties it.
void wipe(Bytes& secret);

} // namespace TokenSim
