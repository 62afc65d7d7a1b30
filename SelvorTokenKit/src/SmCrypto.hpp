#pragma once

#include "SelvorTokenKit/Bytes.hpp"

#include <cstddef>
#include <span>

// Cipher primitives of secure messaging, all without padding. Any size problem or cipher
// failure throws TokenError(secureMessagingFailed).
namespace SelvorTokenKit::SmCrypto {

using ByteView = std::span<const std::uint8_t>;

// Two-key triple DES (16-byte key used as K1 K2 K1).
Bytes tripleDESECBEncrypt(ByteView key, ByteView data);
Bytes tripleDESCBC(ByteView key, ByteView iv, ByteView data, bool encrypt);
Bytes aesECBEncrypt(ByteView key, ByteView data);
Bytes aesCBC(ByteView key, ByteView iv, ByteView data, bool encrypt);
// Single DES (8-byte key), computed as triple DES with K K K.
Bytes desCBC(ByteView key, ByteView iv, ByteView data, bool encrypt);

// ISO/IEC 9797-1 MAC algorithm 3 over data already padded to 8 bytes.
Bytes retailMAC(ByteView key, ByteView iv, ByteView data);
// AES-CBC over the data; the first 8 bytes of the last block.
Bytes aesMAC(ByteView key, ByteView iv, ByteView data);

// Adds one to bytes 0-7 as a big-endian counter; bytes 8-15 stay.
void incrementICV(Bytes& icv);
// 80 then zeros up to a multiple of blockSize (always at least the 80).
Bytes pad(ByteView data, std::size_t blockSize);
// Drops a trailing 80 00..00; data without valid padding comes back unchanged.
Bytes removePadding(ByteView data);

} // namespace SelvorTokenKit::SmCrypto
