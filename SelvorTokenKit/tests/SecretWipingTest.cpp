// Secrets are overwritten before their memory is released: the probe looks at every heap block
// as it is freed.
#include "SelvorTokenKit/APDUCommand.hpp"
#include "SelvorTokenKit/APDUResponse.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "support/FreedMemoryProbe.hpp"
#include "support/Handshake.hpp"
#include "support/ProtectedReply.hpp"
#include "support/ScriptedCard.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace SelvorTokenKit {
namespace {

using namespace Testing;

const Bytes pinBytes = hexToBytes("313233343536"); // "123456"

TEST(SecretWiping, commandPayloadIsZeroedWhenTheCommandGoesAway) {
    auto command =
        std::make_unique<APDUCommand>(0x00, 0x20, 0x00, 0x02, KaltorDriver::pinBlock("123456"));
    const void* payload = command->payload()->data();
    const FreedMemoryProbe probe(pinBytes);
    command.reset();
    EXPECT_TRUE(probe.releasedZeroed(payload));
    EXPECT_EQ(probe.leaks(), 0u);
}

TEST(SecretWiping, responseDataIsZeroedByWipeAndOnDestruction) {
    const Bytes secret = hexToBytes("5EC2E75EC2E75EC2E7");
    Bytes full = secret;
    full.insert(full.end(), {0x90, 0x00});
    auto wiped = std::make_unique<APDUResponse>(full);
    auto destroyed = std::make_unique<APDUResponse>(full);
    const void* wipedData = wiped->data()->data();
    const void* destroyedData = destroyed->data()->data();
    const FreedMemoryProbe probe(secret);
    wiped->wipe();
    EXPECT_TRUE(probe.releasedZeroed(wipedData));
    destroyed.reset();
    EXPECT_TRUE(probe.releasedZeroed(destroyedData));
    EXPECT_EQ(probe.leaks(), 0u);
}

TEST(SecretWiping, pinNeverReachesReleasedMemoryInPlainVerify) {
    KaltorDriver driver;
    ScriptedCard card({{"002000021031323334353600000000000000000000", "63C2"}});
    const FreedMemoryProbe probe(pinBytes);
    EXPECT_THROW(driver.verifyPIN("123456", 0x02, card), TokenError);
    EXPECT_EQ(probe.leaks(), 0u);
    EXPECT_GE(probe.zeroedBlocksOfSize(16), 1u);
}

TEST(SecretWiping, pinsAndSignaturesNeverReachReleasedMemoryUnderSecureMessaging) {
    for (const bool fips : {false, true}) {
        SCOPED_TRACE(fips ? "aes" : "des");
        const Bytes key(KaltorDriver::defaultTransportKey.begin(),
                        KaltorDriver::defaultTransportKey.end());
        Handshake handshake = makeHandshake(fips, key);
        KaltorDriver driver(fixedRandom(handshake.hostChallenge));
        ScriptedCard card(handshake.exchanges);
        driver.establishSecureSession(card, key, key);
        const Bytes pinBlock = KaltorDriver::pinBlock("123456");
        const Bytes signature = hexToBytes("51C0A71E51C0A71E51C0A71E");
        card.append(
            {bytesToHex(handshake.twin.wrapAPDU(0x00, 0x20, 0x00, 0x02, pinBlock, std::nullopt)),
             "9000"});
        const Bytes hash(32, 0x42);
        card.append(
            {bytesToHex(handshake.twin.wrapAPDU(0x00, 0x2A, 0x9E, 0x9A, hash, std::nullopt)),
             protectedReply(handshake.twin, bytesToHex(signature))});
        {
            const FreedMemoryProbe probe(pinBytes);
            driver.verifyPIN("123456", 0x02, card);
            EXPECT_EQ(probe.leaks(), 0u);
        }
        Bytes returned;
        {
            const FreedMemoryProbe probe(signature);
            returned = driver.signECDSA(hash, card);
            EXPECT_EQ(probe.leaks(), 0u);
        }
        EXPECT_EQ(returned, signature);
    }
}

TEST(SecretWiping, sessionKeysAreZeroedWhenTheSessionGoesAway) {
    const Bytes key(16, 0x4B);
    Handshake handshake = makeHandshake(true, key);
    auto session = std::make_unique<SecureMessaging>(fixedRandom(handshake.hostChallenge));
    ScriptedCard card(handshake.exchanges);
    session->mutualAuth(card, key, key);
    const void* keyEnc = session->sessionKeyEnc().data();
    const void* keyMac = session->sessionKeyMac().data();
    const FreedMemoryProbe probe(handshake.twin.sessionKeyMac());
    session.reset();
    EXPECT_TRUE(probe.releasedZeroed(keyEnc));
    EXPECT_TRUE(probe.releasedZeroed(keyMac));
    EXPECT_EQ(probe.leaks(), 0u);
}

TEST(SecretWiping, aReplacedSessionLeavesNoKeysBehind) {
    const Bytes firstKey(16, 0x4B);
    const Bytes secondKey(16, 0x6C);
    Handshake first = makeHandshake(false, firstKey);
    Handshake second = makeHandshake(false, secondKey);
    KaltorDriver driver(fixedRandom(first.hostChallenge));
    ScriptedCard card(first.exchanges);
    driver.establishSecureSession(card, firstKey, firstKey);
    for (const Exchange& exchange : second.exchanges) {
        card.append(exchange);
    }
    const FreedMemoryProbe probe(first.twin.sessionKeyEnc());
    driver.establishSecureSession(card, secondKey, secondKey);
    EXPECT_EQ(probe.leaks(), 0u);
    EXPECT_EQ(driver.sm()->sessionKeyEnc(), second.twin.sessionKeyEnc());
}

} // namespace
} // namespace SelvorTokenKit
