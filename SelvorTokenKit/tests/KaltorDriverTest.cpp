#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/PcscError.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "support/Expect.hpp"
#include "support/Handshake.hpp"
#include "support/LogCapture.hpp"
#include "support/ProtectedReply.hpp"
#include "support/ScriptedCard.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace SelvorTokenKit {
namespace {

using namespace Testing;
using Kind = TokenError::Kind;

const Bytes& transportKey = defaultTransportKey;

Bytes pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return bytes;
}

std::string hexOf(const Bytes& bytes, std::size_t from, std::size_t length) {
    return bytesToHex(std::span<const std::uint8_t>(bytes).subspan(from, length));
}

// --- Plain commands ---------------------------------------------------------------------------

TEST(KaltorDriverPlain, getChallengeNeedsExactlyEightBytesAndSuccess) {
    LogCapture log;
    KaltorDriver driver;
    ScriptedCard shortAnswer({{"0084000008", "010203040506079000"}});
    EXPECT_EQ(thrownKind([&] { driver.getChallenge(shortAnswer); }), Kind::authFailed);
    ScriptedCard refused({{"0084000008", "6D00"}});
    EXPECT_EQ(thrownKind([&] { driver.getChallenge(refused); }), Kind::authFailed);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"error KaltorDriver: GET CHALLENGE failed: SW=9000",
                                        "error KaltorDriver: GET CHALLENGE failed: SW=6D00"}));
}

TEST(KaltorDriverPlain, tokenInfoComesFromTheATRAndTheAppletSelection) {
    KaltorDriver driver;
    const std::string fipsATR = "3BFF9600008131FE4380318065B0846566FB12"
                                "03"
                                "FE82";
    ScriptedCard fips({{"00A404000E656E746572736166652D66697073", "9000"}}, fipsATR);
    const TokenInfo info = driver.getTokenInfo(fips);
    EXPECT_TRUE(info.isFIPS);
    EXPECT_TRUE(info.appletSelected);
    EXPECT_EQ(info.label, "Kaltor2003");
    EXPECT_EQ(info.atrHex(), fipsATR);

    ScriptedCard shortATR({{"00A404000E656E746572736166652D66697073", "6A82"}},
                          fipsATR.substr(0, 38));
    const TokenInfo other = driver.getTokenInfo(shortATR);
    EXPECT_FALSE(other.isFIPS);
    EXPECT_FALSE(other.appletSelected);
}

TEST(KaltorDriverPlain, commandsThatNeedSecureMessagingSendNothingWithoutIt) {
    KaltorDriver driver;
    ScriptedCard card({});
    EXPECT_EQ(thrownKind([&] { driver.initializePIN("123456", "12345678", card); }),
              Kind::authFailed);
    EXPECT_EQ(thrownKind([&] { driver.generateECKeyPair(1, card); }), Kind::authFailed);
    EXPECT_EQ(thrownKind([&] { driver.generateRSAKeyPair(2, 2048, card); }), Kind::authFailed);
    EXPECT_EQ(thrownKind([&] { driver.writeCertificate(pattern(10), 0xC000, card); }),
              Kind::authFailed);
}

TEST(KaltorDriverPlain, oversizedPlainDataIsRefusedBeforeSending) {
    KaltorDriver driver;
    ScriptedCard card({});
    EXPECT_EQ(thrownKind([&] { driver.signRSA(pattern(256), card); }), Kind::invalidAPDU);
}

TEST(KaltorDriverPlain, certificateReadsIn254ByteChunksUntilAShortOne) {
    KaltorDriver driver;
    const Bytes file = pattern(600);
    ScriptedCard card({{"00A4000002C000", "9000"},
                       {"00B00000FE", hexOf(file, 0, 254) + "9000"},
                       {"00B000FEFE", hexOf(file, 254, 254) + "9000"},
                       {"00B001FCFE", hexOf(file, 508, 92) + "9000"}});
    EXPECT_EQ(driver.readCertificate(0xC000, card), file);
}

// Only a chunk of exactly the asked length means more may follow. A longer one breaks the
// protocol: what was asked for is kept and nothing more is read.
TEST(KaltorDriverPlain, certificateReadEndsAtAReplyLongerThanAsked) {
    LogCapture log;
    KaltorDriver driver;
    const Bytes file = pattern(600);
    ScriptedCard card({{"00A4000002C000", "9000"}, {"00B00000FE", hexOf(file, 0, 256) + "9000"}});
    EXPECT_EQ(driver.readCertificate(0xC000, card), Bytes(file.begin(), file.begin() + 254));
    EXPECT_EQ(log.lines().back(),
              "error KaltorDriver: READ CERT stopped: 256 bytes answered to a read of 254");
}

TEST(KaltorDriverPlain, certificateReadFailsWhenNothingIsThere) {
    KaltorDriver driver;
    ScriptedCard missing({{"00A4000002C000", "6A82"}});
    EXPECT_EQ(thrownKind([&] { driver.readCertificate(0xC000, missing); }),
              Kind::certificateNotFound);
    ScriptedCard empty({{"00A4000002C000", "9000"}, {"00B00000FE", "6B00"}});
    EXPECT_EQ(thrownKind([&] { driver.readCertificate(0xC000, empty); }),
              Kind::certificateNotFound);
}

TEST(KaltorDriverPlain, aCardPulledOutMidCommandPassesTheServiceErrorOn) {
    KaltorDriver driver;
    ScriptedCard card({{"002000021031323334353600000000000000000000", std::nullopt}});
    EXPECT_THROW(driver.verifyPIN("123456", 0x02, card), PcscError);
}

// --- Under secure messaging, in both suites ---------------------------------------------------

class KaltorDriverProtected : public testing::TestWithParam<bool> {
protected:
    KaltorDriverProtected()
        : m_handshake(makeHandshake(GetParam(), transportKey)),
          driver(fixedRandom(m_handshake.hostChallenge)), card(m_handshake.exchanges) {}

    // Every test starts from an established session over a card that answered the handshake.
    void SetUp() override {
        driver.establishSecureSession(card, transportKey, transportKey);
        ASSERT_EQ(card.sent(), 4u);
    }

    bool fips() const { return GetParam(); }
    SecureMessaging& twin() { return m_handshake.twin; }
    std::string establishedLine() const {
        return std::string("info KaltorDriver: SM session тогтоогдлоо (FIPS=") +
               (fips() ? "true" : "false") + ")";
    }

    // The protected form of a plain command, as the twin session predicts it.
    std::string wrapped(std::uint8_t ins, std::uint8_t p1, std::uint8_t p2, const Bytes& data,
                        std::optional<std::uint8_t> le = std::nullopt) {
        using DataView = std::optional<std::span<const std::uint8_t>>;
        return bytesToHex(
            twin().wrapAPDU(0x00, ins, p1, p2, data.empty() ? DataView() : DataView(data), le));
    }

    LogCapture log;
    Handshake m_handshake;
    KaltorDriver driver;
    ScriptedCard card;
};

TEST_P(KaltorDriverProtected, provisioningSequenceSendsTheExpectedProtectedCommands) {
    const Bytes hash = pattern(32);
    const Bytes signature = pattern(64);
    card.append(
        {wrapped(0x20, 0x00, 0x02, hexToBytes("31323334353600000000000000000000")), "9000"});
    card.append({wrapped(0xDA, 0x00, 0x68, hexToBytes("02110A31323334353600000000000000000000")),
                 protectedReply(twin(), "")});
    card.append({wrapped(0xDA, 0x00, 0x68, hexToBytes("01110A31323334353637380000000000000000")),
                 protectedReply(twin(), "")});
    card.append({wrapped(0x46, 0x00, 0x00, hexToBytes("3008040101800113810120")),
                 protectedReply(twin(), "")});
    card.append({wrapped(0x2A, 0x9E, 0x9A, hash), protectedReply(twin(), bytesToHex(signature))});

    driver.verifyPIN("123456", 0x02, card);
    driver.initializePIN("123456", "12345678", card);
    driver.generateECKeyPair(0x01, card);
    EXPECT_EQ(driver.signECDSA(hash, card), signature);
    EXPECT_EQ(driver.sm()->icvMac(), twin().icvMac());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               establishedLine(), "info KaltorDriver: VERIFY PIN: амжилттай",
                               "info KaltorDriver: User PIN тогтоогдлоо",
                               "info KaltorDriver: SO PIN (PUK) тогтоогдлоо",
                               "info KaltorDriver: EC key pair үүсгэгдлэа (keyID=01)"}));
}

TEST_P(KaltorDriverProtected, certificateIsWrittenInChunksThatFitOneProtectedCommand) {
    const Bytes file = pattern(600);
    card.append({wrapped(0xA4, 0x00, 0x00, hexToBytes("C000")), protectedReply(twin(), "")});
    card.append({wrapped(0xD6, 0x00, 0x00, Bytes(file.begin(), file.begin() + 239)),
                 protectedReply(twin(), "")});
    card.append({wrapped(0xD6, 0x00, 0xEF, Bytes(file.begin() + 239, file.begin() + 478)),
                 protectedReply(twin(), "")});
    card.append({wrapped(0xD6, 0x01, 0xDE, Bytes(file.begin() + 478, file.end())),
                 protectedReply(twin(), "")});
    driver.writeCertificate(file, 0xC000, card);
    EXPECT_EQ(log.lines().back(),
              "info KaltorDriver: Certificate бичигдлээ (600 bytes, fileID=C000)");
}

TEST_P(KaltorDriverProtected, certificateIsReadInChunksAProtectedReplyCanCarry) {
    const std::size_t chunk = fips() ? 223 : 231;
    const Bytes file = pattern(2 * chunk);
    const auto le = static_cast<std::uint8_t>(chunk);
    card.append({wrapped(0xA4, 0x00, 0x00, hexToBytes("C000")), protectedReply(twin(), "")});
    card.append({wrapped(0xB0, 0x00, 0x00, {}, le), protectedReply(twin(), hexOf(file, 0, chunk))});
    card.append(
        {wrapped(0xB0, 0x00, le, {}, le), protectedReply(twin(), hexOf(file, chunk, chunk))});
    // The file ends exactly at a chunk boundary: the next read finds nothing.
    card.append({wrapped(0xB0, static_cast<std::uint8_t>(2 * chunk >> 8),
                         static_cast<std::uint8_t>(2 * chunk), {}, le),
                 "6B00"});
    EXPECT_EQ(driver.readCertificate(0xC000, card), file);
}

TEST_P(KaltorDriverProtected, failedStepsReportTheirErrors) {
    card.append({wrapped(0xDA, 0x00, 0x68, hexToBytes("02110A31323334353600000000000000000000")),
                 protectedReply(twin(), "")});
    card.append(
        {wrapped(0xDA, 0x00, 0x68, hexToBytes("01110A31323334353637380000000000000000")), "6A80"});
    try {
        driver.initializePIN("123456", "12345678", card);
        ADD_FAILURE() << "no error";
    } catch (const TokenError& error) {
        EXPECT_EQ(error.kind(), Kind::unexpectedStatus);
        EXPECT_EQ(error.status(), 0x6A80);
    }
    card.append({wrapped(0x46, 0x00, 0x00, hexToBytes("300804010280010181020800")), "6982"});
    EXPECT_EQ(thrownKind([&] { driver.generateRSAKeyPair(0x02, 2048, card); }), Kind::keyGenFailed);
    const Bytes file = pattern(300);
    card.append({wrapped(0xA4, 0x00, 0x00, hexToBytes("C000")), protectedReply(twin(), "")});
    card.append({wrapped(0xD6, 0x00, 0x00, Bytes(file.begin(), file.begin() + 239)),
                 protectedReply(twin(), "")});
    card.append({wrapped(0xD6, 0x00, 0xEF, Bytes(file.begin() + 239, file.end())), "6A84"});
    EXPECT_EQ(thrownKind([&] { driver.writeCertificate(file, 0xC000, card); }),
              Kind::certificateImportFailed);
    card.append({wrapped(0x2A, 0x9E, 0x9A, pattern(32)), "6982"});
    try {
        driver.signECDSA(pattern(32), card);
        ADD_FAILURE() << "no error";
    } catch (const TokenError& error) {
        EXPECT_EQ(error.kind(), Kind::signFailed);
        EXPECT_EQ(error.errorDescription(), "Гарын үсэг зурахад алдаа: SW=6982");
    }
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               establishedLine(), "info KaltorDriver: User PIN тогтоогдлоо",
                               "error KaltorDriver: SET PIN failed: SW=6A80",
                               "error KaltorDriver: GENERATE RSA KEY PAIR failed: SW=6982",
                               "error KaltorDriver: WRITE CERT failed at offset 239: SW=6A84",
                               "error KaltorDriver: SIGN failed: SW=6982"}));
}

TEST_P(KaltorDriverProtected, requestsThatCannotBeEncodedAreRefusedBeforeSending) {
    const Bytes icv = driver.sm()->icvMac();
    EXPECT_EQ(thrownKind([&] { driver.signRSA(pattern(240), card); }), Kind::secureMessagingFailed);
    EXPECT_EQ(thrownKind([&] { driver.generateRSAKeyPair(2, 65536, card); }), Kind::keyGenFailed);
    EXPECT_EQ(thrownKind([&] { driver.generateRSAKeyPair(2, -1, card); }), Kind::keyGenFailed);
    EXPECT_EQ(thrownKind([&] { driver.writeCertificate(Bytes(65536, 0x30), 0xC000, card); }),
              Kind::certificateImportFailed);
    EXPECT_EQ(driver.sm()->icvMac(), icv);
}

TEST_P(KaltorDriverProtected, aFailedEstablishmentKeepsThePreviousSession) {
    const Bytes keys = driver.sm()->sessionKeyEnc();
    std::vector<Exchange> failing(m_handshake.exchanges.begin(), m_handshake.exchanges.end() - 1);
    failing.push_back({m_handshake.exchanges.back().command, "6982"});
    ScriptedCard second(failing);
    EXPECT_EQ(
        thrownKind([&] { driver.establishSecureSession(second, transportKey, transportKey); }),
        Kind::authFailed);
    ASSERT_TRUE(driver.sm().has_value());
    EXPECT_TRUE(driver.sm()->isEstablished());
    EXPECT_EQ(driver.sm()->sessionKeyEnc(), keys);
}

INSTANTIATE_TEST_SUITE_P(Suites, KaltorDriverProtected, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "aes" : "des";
                         });

} // namespace
} // namespace SelvorTokenKit
