// The kit's driver against the token in the same process, in both cipher suites: the parts
// of the protocol that are awkward to provoke through a reader.

#include "SignatureCheck.hpp"

#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "TokenSim/Hex.hpp"
#include "TokenSim/InProcessCard.hpp"

#include <gtest/gtest.h>

namespace {

using SelvorTokenKit::Bytes;
using SelvorTokenKit::KaltorDriver;
using SelvorTokenKit::TokenError;
using Kind = SelvorTokenKit::TokenError::Kind;

const std::string pin = "123456";

class KitAgainstToken : public testing::TestWithParam<bool> {
protected:
    TokenSim::TokenConfig config() const {
        TokenSim::TokenConfig config;
        config.fips = GetParam();
        return config;
    }

    void establish() {
        m_driver.establishSecureSession(m_card, KaltorDriver::defaultTransportKey,
                                        KaltorDriver::defaultTransportKey);
    }

    TokenError::Kind failureOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const TokenError& error) {
            m_lastError = error.errorDescription();
            return error.kind();
        }
        ADD_FAILURE() << "no TokenError was thrown";
        return Kind::transmitFailed;
    }

    TokenSim::InProcessCard m_card{config()};
    KaltorDriver m_driver;
    std::string m_lastError;
};

TEST_P(KitAgainstToken, rsaKeysSignWhatFitsOneReply) {
    establish();
    m_driver.verifyPIN(pin, KaltorDriver::userPINReference, m_card);
    m_driver.generateRSAKeyPair(0x02, 1024, m_card);
    Bytes block(128, 0x5A);
    block[0] = 0x00;
    const Bytes output = m_driver.signRSA(block, m_card);
    const Bytes publicKey = m_card.card().keys().publicKeyDer(0x02);
    EXPECT_EQ(TokenSimTests::rsaPublicOperation(publicKey, output), block);

    // A 2048-bit result cannot come back protected, but plain it can.
    m_driver.generateRSAKeyPair(0x03, 2048, m_card);
    EXPECT_EQ(failureOf([&] { m_driver.signRSA(block, m_card); }), Kind::signFailed);
    EXPECT_EQ(m_lastError, "Гарын үсэг зурахад алдаа: SW=6700");
    KaltorDriver plainDriver;
    plainDriver.selectApplet(m_card);
    const Bytes plainOutput = plainDriver.signRSA(block, m_card);
    ASSERT_EQ(plainOutput.size(), 256u);
    Bytes padded(256, 0x00);
    std::copy(block.begin(), block.end(), padded.begin() + 128);
    EXPECT_EQ(
        TokenSimTests::rsaPublicOperation(m_card.card().keys().publicKeyDer(0x03), plainOutput),
        padded);
}

TEST_P(KitAgainstToken, aWrongMacKeyFailsExternalAuthentication) {
    Bytes otherMacKey(KaltorDriver::defaultTransportKey.begin(),
                      KaltorDriver::defaultTransportKey.end());
    otherMacKey[0] ^= 0x02; // not the DES parity bit, which the cipher ignores
    EXPECT_EQ(failureOf([&] {
                  m_driver.establishSecureSession(m_card, KaltorDriver::defaultTransportKey,
                                                  otherMacKey);
              }),
              Kind::authFailed);
    EXPECT_EQ(m_card.commandLog().back().sw, 0x6300);
    EXPECT_FALSE(m_driver.sm().has_value());
}

TEST_P(KitAgainstToken, aBrokenMacChainEndsTheSecureChannel) {
    establish();
    // A protected command with a made-up MAC: refused, and the channel is gone for good.
    const Bytes forgedCommand = TokenSim::fromHex("044400000A8E08010203040506070800").value();
    EXPECT_EQ(TokenSim::toHex(m_card.transmitRaw(forgedCommand)), "6988");
    EXPECT_EQ(failureOf([&] { m_driver.verifyPIN(pin, KaltorDriver::userPINReference, m_card); }),
              Kind::unexpectedStatus);
    EXPECT_EQ(m_lastError, "Токен алдаа: SW=6988");

    // A fresh establishment works again.
    establish();
    EXPECT_NO_THROW(m_driver.verifyPIN(pin, KaltorDriver::userPINReference, m_card));
}

TEST_P(KitAgainstToken, reselectingTheAppletEndsTheSession) {
    establish();
    m_driver.verifyPIN(pin, KaltorDriver::userPINReference, m_card);
    m_driver.selectApplet(m_card);
    EXPECT_EQ(failureOf([&] { m_driver.generateECKeyPair(0x01, m_card); }), Kind::keyGenFailed);
    EXPECT_EQ(m_card.commandLog().back().sw, 0x6988);

    // Selecting it under protection answers plainly, as the channel is gone with the answer.
    SelvorTokenKit::SecureMessaging host;
    host.mutualAuth(m_card, KaltorDriver::defaultTransportKey, KaltorDriver::defaultTransportKey);
    const Bytes select =
        host.wrapAPDU(0x00, 0xA4, 0x04, 0x00, KaltorDriver::appletAID, std::nullopt);
    EXPECT_EQ(TokenSim::toHex(m_card.transmitRaw(select)), "9000");
    EXPECT_EQ(TokenSim::toHex(m_card.commandLog().back().apdu),
              "00A404000E656E746572736166652D66697073");
}

TEST_P(KitAgainstToken, anInternalFailureAnswers6F00AndKeepsTheCardAlive) {
    TokenSim::TokenConfig config = this->config();
    config.random = std::make_shared<TokenSim::ScriptedRandom>(std::deque<Bytes>{});
    TokenSim::InProcessCard card(config);
    // The random source runs dry on the card challenge.
    EXPECT_EQ(failureOf([&] {
                  m_driver.establishSecureSession(card, KaltorDriver::defaultTransportKey,
                                                  KaltorDriver::defaultTransportKey);
              }),
              Kind::unexpectedStatus);
    EXPECT_EQ(m_lastError, "Токен алдаа: SW=6F00");
    EXPECT_EQ(
        TokenSim::toHex(card.transmitRaw(TokenSim::fromHex("80CA008600").value())).substr(0, 6),
        GetParam() ? "800101" : "800100");
}

TEST_P(KitAgainstToken, protectedReadsStayWithinOneReply) {
    establish();
    Bytes certificate(1000, 0xC3);
    m_driver.writeCertificate(certificate, 0xC002, m_card);
    EXPECT_EQ(m_driver.readCertificate(0xC002, m_card), certificate);
    const std::size_t limit = GetParam() ? 223 : 231;
    std::size_t reads = 0;
    for (const auto& entry : m_card.commandLog()) {
        if (entry.apdu[1] == 0xB0) {
            ++reads;
            EXPECT_TRUE(entry.secured);
            EXPECT_LE(entry.apdu.back(), limit);
        }
    }
    EXPECT_EQ(reads, (certificate.size() + limit - 1) / limit + (certificate.size() % limit == 0));
}

INSTANTIATE_TEST_SUITE_P(Suites, KitAgainstToken, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "fips" : "des"; });

} // namespace
