#pragma once

#include "token/TokenManager.hpp"

#include <TokenSimTesting/TokenSimProcess.hpp>

#include <QString>

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace Selvor::Testing {

// PIN and PUK the tests install on a fresh token.
inline const QString testPin = QStringLiteral("246810");
inline const QString testPuk = QStringLiteral("13572468");

// Options of a token in the first virtual reader.
TokenSimTesting::TokenSimOptions tokenOptions(bool fips, const std::string& atrHex = {});

// Processes events until the condition holds; false when timeoutMs passes first.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// Waits until the manager reports the token present and has read its information.
bool waitForToken(const TokenManager& manager);

// Installs testPin and testPuk and generates the signing key, through the manager's token thread
// and the app's provisioner; throws what the token throws.
void provisionToken(TokenManager& manager);

// The 32 bytes the hex text stands for (test data, always well formed).
std::vector<std::uint8_t> bytesFromHex(const QString& hex);

// True when rawSignature (r || s, 32 bytes each) is a valid ECDSA P-256 signature of digest
// under the public key given as SubjectPublicKeyInfo DER.
bool verifiesWithKey(std::span<const std::uint8_t> publicKeyDer,
                     std::span<const std::uint8_t> digest,
                     std::span<const std::uint8_t> rawSignature);

// The commands in the token's log whose instruction byte is ins.
std::vector<TokenSimTesting::LoggedApdu>
commandsWithInstruction(const TokenSimTesting::TokenSimProcess& token, std::uint8_t ins);

} // namespace Selvor::Testing
