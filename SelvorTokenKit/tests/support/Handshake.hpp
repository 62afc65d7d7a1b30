#pragma once

#include "ScriptedCard.hpp"
#include "SelvorTokenKit/SecureMessaging.hpp"

#include <vector>

namespace SelvorTokenKit::Testing {

// The card's side of a successful mutual authentication, worked out with the kit's cipher
// primitives: the four exchanges the host must send, and a twin of the session the host ends
// up with (same keys, same MAC chain) to predict the protected commands that follow.
struct Handshake {
    std::vector<Exchange> exchanges;
    SecureMessaging twin;
    Bytes hostChallenge;
};

Handshake makeHandshake(bool fips, const Bytes& transportKey);

// Random source that always hands out these bytes.
RandomSource fixedRandom(Bytes value);

} // namespace SelvorTokenKit::Testing
