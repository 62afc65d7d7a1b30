#include "SelvorTokenKit/SecureMessaging.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "support/Expect.hpp"
#include "support/Handshake.hpp"
#include "support/ProtectedReply.hpp"
#include "support/ScriptedCard.hpp"

#include <gtest/gtest.h>

namespace SelvorTokenKit {
namespace {

using namespace Testing;
using Kind = TokenError::Kind;

const Bytes& transportKey = defaultTransportKey;

TEST(SecureMessaging, nothingIsWrappedBeforeTheSessionIsEstablished) {
    SecureMessaging session;
    EXPECT_EQ(
        thrownKind([&] { session.wrapAPDU(0x00, 0x20, 0x00, 0x02, std::nullopt, std::nullopt); }),
        Kind::secureMessagingFailed);
    EXPECT_EQ(session.icvMac(), Bytes(16, 0x00));
}

TEST(SecureMessaging, aFailingRandomSourceStopsBeforeInitializeUpdate) {
    SecureMessaging session([](std::span<std::uint8_t>) { return false; });
    ScriptedCard card({{"00A404000E656E746572736166652D66697073", "9000"}, {"80CA008600", "9000"}});
    EXPECT_EQ(thrownKind([&] { session.mutualAuth(card, transportKey, transportKey); }),
              Kind::authFailed);
    EXPECT_FALSE(session.isEstablished());
}

TEST(SecureMessaging, repliesTooShortForTheirFieldsFailTheEstablishment) {
    for (const bool fips : {false, true}) {
        SCOPED_TRACE(fips ? "aes" : "des");
        Handshake handshake = makeHandshake(fips, transportKey);
        auto script = handshake.exchanges;
        script.back().reply = "";
        SecureMessaging session(fixedRandom(handshake.hostChallenge));
        ScriptedCard card(script);
        EXPECT_EQ(thrownKind([&] { session.mutualAuth(card, transportKey, transportKey); }),
                  Kind::authFailed);
        script.resize(3);
        script.back().reply = "";
        ScriptedCard empty(script);
        EXPECT_EQ(thrownKind([&] { session.mutualAuth(empty, transportKey, transportKey); }),
                  Kind::authFailed);
    }
}

TEST(SecureMessaging, transportKeysOfTheWrongSizeFail) {
    Handshake handshake = makeHandshake(false, transportKey);
    SecureMessaging session(fixedRandom(handshake.hostChallenge));
    ScriptedCard card({handshake.exchanges.begin(), handshake.exchanges.begin() + 3});
    EXPECT_EQ(thrownKind([&] { session.mutualAuth(card, Bytes(8, 1), transportKey); }),
              Kind::secureMessagingFailed);
}

TEST(SecureMessaging, aRefusedWrapLeavesTheChainWhereItWas) {
    for (const bool fips : {false, true}) {
        SCOPED_TRACE(fips ? "aes" : "des");
        Handshake handshake = makeHandshake(fips, transportKey);
        SecureMessaging session = std::move(handshake.twin);
        SecureMessaging control = SecureMessaging::established(
            fips, session.sessionKeyEnc(), session.sessionKeyMac(), session.icvMac());
        const Bytes big(SecureMessaging::maxCommandData(fips, true) + 1, 0x11);
        EXPECT_EQ(thrownKind([&] { session.wrapAPDU(0x00, 0xD6, 0, 0, big, 0x00); }),
                  Kind::secureMessagingFailed);
        const Bytes fits(SecureMessaging::maxCommandData(fips, true), 0x11);
        const Bytes wrapped = session.wrapAPDU(0x00, 0xD6, 0, 0, fits, 0x00);
        EXPECT_EQ(wrapped, control.wrapAPDU(0x00, 0xD6, 0, 0, fits, 0x00));
        EXPECT_LE(wrapped.size(), 5u + 255u + 1u);
    }
}

TEST(SecureMessaging, everyReplySizeTheCardCanSendComesBack) {
    for (const bool fips : {false, true}) {
        SCOPED_TRACE(fips ? "aes" : "des");
        const SecureMessaging session = makeHandshake(fips, transportKey).twin;
        for (std::size_t size = 1; size <= SecureMessaging::maxReplyData(fips, true); ++size) {
            const Bytes data(size, static_cast<std::uint8_t>(size));
            const Bytes reply = hexToBytes(protectedReply(session, bytesToHex(data)));
            ASSERT_LE(reply.size(), 258u);
            EXPECT_EQ(session.unwrapResponse(reply).data, data) << size;
        }
    }
}

TEST(SecureMessaging, malformedProtectedRepliesFailCleanly) {
    const SecureMessaging session = makeHandshake(false, transportKey).twin;
    for (const char* reply : {"87", "8709019000",
                              "870001"
                              "9000",
                              "8701019000", "871101AABBCCDDEEFF00119000",
                              "99029000"
                              "8E9000"}) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(thrownKind([&] { session.unwrapResponse(hexToBytes(std::string(reply) + "")); }),
                  Kind::secureMessagingFailed);
    }
    // Object lengths running past the end of skipped objects simply end the walk.
    EXPECT_TRUE(session.unwrapResponse(hexToBytes("99FF9000")).data.empty());
}

} // namespace
} // namespace SelvorTokenKit
