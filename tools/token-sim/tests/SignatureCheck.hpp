#pragma once

#include "TokenSim/CardCrypto.hpp"

namespace TokenSimTests {

// Whether a raw r || s ECDSA signature over the digest verifies with the DER public key.
bool verifiesEcSignature(TokenSim::ByteView publicKeyDer, TokenSim::ByteView digest,
                         TokenSim::ByteView rawSignature);

} // namespace TokenSimTests

namespace TokenSimTests {

// The raw RSA public operation (no padding) with the DER public key; empty on failure.
TokenSim::Bytes rsaPublicOperation(TokenSim::ByteView publicKeyDer, TokenSim::ByteView input);

} // namespace TokenSimTests
