// The kit's PC/SC backend against the token-sim process in pcscd's virtual reader, in both
// cipher suites. Needs a running pcscd with vsmartcard-vpcd (scripts/test starts one); without
// it every test fails.

#include "SignatureCheck.hpp"

#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "SelvorTokenKit/TokenManager.hpp"
#include "TokenSim/TokenConfig.hpp"
#include "TokenSimTesting/TokenSimProcess.hpp"

#include <PCSC/winscard.h>
#include <gtest/gtest.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

using SelvorTokenKit::Bytes;
using SelvorTokenKit::Card;
using SelvorTokenKit::KaltorDriver;
using SelvorTokenKit::TokenError;
using SelvorTokenKit::TokenManager;
using Kind = SelvorTokenKit::TokenError::Kind;

const std::string pin = "246810";
const std::string puk = "13579135";

Bytes sha256(const std::string& text) {
    Bytes digest(SHA256_DIGEST_LENGTH);
    SHA256(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest.data());
    return digest;
}

template <typename Body> Kind tokenErrorOf(Body&& body) {
    try {
        body();
    } catch (const TokenError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no TokenError was thrown";
    return Kind::transmitFailed;
}

void establish(KaltorDriver& driver, Card& card) {
    driver.establishSecureSession(card, KaltorDriver::defaultTransportKey,
                                  KaltorDriver::defaultTransportKey);
}

// Counts the card sessions the real service opens and ends.
class CountingCardService : public SelvorTokenKit::CardService {
public:
    int opened = 0;
    int ended = 0;

    std::vector<std::string> readerNames() override { return m_real->readerNames(); }
    std::unique_ptr<Card> connect(const std::string& readerName) override {
        auto card = std::make_unique<CountedCard>(m_real->connect(readerName), ended);
        ++opened;
        return card;
    }

private:
    class CountedCard : public Card {
    public:
        CountedCard(std::unique_ptr<Card> real, int& ended)
            : m_real(std::move(real)), m_ended(ended) {}
        ~CountedCard() override { ++m_ended; }
        Bytes transmitRaw(std::span<const std::uint8_t> command) override {
            return m_real->transmitRaw(command);
        }
        Bytes atr() override { return m_real->atr(); }
        const std::string& readerName() const override { return m_real->readerName(); }

    private:
        std::unique_ptr<Card> m_real;
        int& m_ended;
    };

    std::shared_ptr<SelvorTokenKit::CardService> m_real = SelvorTokenKit::makePcscCardService();
};

class PcscEndToEnd : public testing::TestWithParam<bool> {
protected:
    bool fips() const { return GetParam(); }
    // The second virtual reader, so the app's tests, which use the first, never meet these.
    TokenSimTesting::TokenSimOptions options() const {
        TokenSimTesting::TokenSimOptions options;
        options.fips = fips();
        options.vpcdPort = 35964;
        options.readerName = "Virtual PCD 00 01";
        return options;
    }

    int readerIndex() const {
        const auto names = m_manager.getReaderNames();
        const auto found = std::find(names.begin(), names.end(), m_sim.readerName());
        if (found == names.end()) {
            throw std::runtime_error("pcscd does not list " + m_sim.readerName());
        }
        return static_cast<int>(found - names.begin());
    }

    // Installs PIN and PUK in one card session and generates the signing key in the next,
    // as a new token is prepared.
    void provision(TokenManager& manager) {
        manager.withSession(m_reader, [&](Card& card) {
            establish(m_driver, card);
            m_driver.initializePIN(pin, puk, card);
        });
        manager.withSession(m_reader, [&](Card& card) {
            establish(m_driver, card);
            m_driver.verifyPIN(pin, KaltorDriver::userPINReference, card);
            m_driver.generateECKeyPair(0x01, card);
        });
    }

    TokenSimTesting::TokenSimProcess m_sim{options()};
    TokenManager m_manager{SelvorTokenKit::makePcscCardService()};
    KaltorDriver m_driver;
    int m_reader = readerIndex();
};

TEST_P(PcscEndToEnd, listsTheReaderAndReadsTheAtrAndTokenInfo) {
    const auto names = m_manager.getReaderNames();
    EXPECT_EQ(names, (std::vector<std::string>{"Virtual PCD 00 00", "Virtual PCD 00 01"}));
    EXPECT_TRUE(m_manager.hasToken());
    EXPECT_EQ(m_manager.getATR(m_reader), TokenSim::TokenConfig::defaultAtr(fips()));

    const auto info =
        m_manager.withSession(m_reader, [&](Card& card) { return m_driver.getTokenInfo(card); });
    EXPECT_EQ(info.isFIPS, fips());
    EXPECT_TRUE(info.appletSelected);
    EXPECT_EQ(info.label, "Kaltor2003");
}

TEST_P(PcscEndToEnd, selectsTheAppletAndGetsFreshChallenges) {
    m_manager.withSession(m_reader, [&](Card& card) {
        EXPECT_TRUE(m_driver.selectApplet(card).isSuccess());
        const Bytes first = m_driver.getChallenge(card);
        const Bytes second = m_driver.getChallenge(card);
        EXPECT_EQ(first.size(), 8u);
        EXPECT_NE(first, second);
    });
    const auto log = m_sim.commandLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].apduHex, "00A404000E656E746572736166652D66697073");
    EXPECT_EQ(log[1].apduHex, "0084000008");
    EXPECT_FALSE(log[1].secured);
}

TEST_P(PcscEndToEnd, provisionsATokenAndSignsWithItsKey) {
    provision(m_manager);
    ASSERT_TRUE(m_driver.sm().has_value());
    EXPECT_EQ(m_driver.sm()->isFIPS(), fips());

    // PINs and the key request reached the token protected.
    const auto log = m_sim.commandLog();
    const auto count = [&](const std::string& prefix, bool secured) {
        return std::count_if(log.begin(), log.end(), [&](const auto& entry) {
            return entry.apduHex.rfind(prefix, 0) == 0 && entry.secured == secured &&
                   entry.sw == "9000";
        });
    };
    EXPECT_EQ(count("00DA006813", true), 2);
    EXPECT_EQ(count("002000021032343638313000", true), 1);
    EXPECT_EQ(count("004600000B3008040101800113810120", true), 1);

    // Signing under the secure session and, as the document screen does, in a plain session.
    const Bytes digest = sha256("Гэрээ.pdf");
    const Bytes publicKey = m_sim.ecPublicKeyDer();
    ASSERT_FALSE(publicKey.empty());
    m_manager.withSession(m_reader, [&](Card& card) {
        establish(m_driver, card);
        const Bytes signature = m_driver.signECDSA(digest, card);
        EXPECT_TRUE(TokenSimTests::verifiesEcSignature(publicKey, digest, signature));
    });
    KaltorDriver plainDriver;
    m_manager.withSession(m_reader, [&](Card& card) {
        plainDriver.selectApplet(card);
        const Bytes signature = plainDriver.signECDSA(digest, card);
        EXPECT_TRUE(TokenSimTests::verifiesEcSignature(publicKey, digest, signature));
        EXPECT_FALSE(TokenSimTests::verifiesEcSignature(publicKey, sha256("other"), signature));
    });
}

TEST_P(PcscEndToEnd, countsWrongPinsDownUntilBlocked) {
    m_manager.withSession(m_reader, [&](Card& card) {
        establish(m_driver, card);
        m_driver.initializePIN(pin, puk, card);
        for (const int left : {2, 1, 0}) {
            try {
                m_driver.verifyPIN("000000", KaltorDriver::userPINReference, card);
                ADD_FAILURE() << "a wrong PIN was accepted";
            } catch (const TokenError& error) {
                EXPECT_EQ(error.kind(), Kind::pinVerifyFailed);
                EXPECT_EQ(error.retriesLeft(), left);
            }
        }
        EXPECT_EQ(tokenErrorOf([&] { m_driver.verifyPIN(pin, 0x02, card); }), Kind::pinBlocked);
        // Key generation needs the verified PIN.
        EXPECT_EQ(tokenErrorOf([&] { m_driver.generateECKeyPair(0x01, card); }),
                  Kind::keyGenFailed);
    });
    // Installing the PIN again unblocks it.
    m_manager.withSession(m_reader, [&](Card& card) {
        establish(m_driver, card);
        m_driver.initializePIN(pin, puk, card);
        EXPECT_NO_THROW(m_driver.verifyPIN(pin, KaltorDriver::userPINReference, card));
    });
}

TEST_P(PcscEndToEnd, writesA600ByteCertificateAndReadsItBack) {
    Bytes certificate(600);
    for (std::size_t i = 0; i < certificate.size(); ++i) {
        certificate[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    m_manager.withSession(m_reader, [&](Card& card) {
        establish(m_driver, card);
        m_driver.writeCertificate(certificate, 0xC001, card);
        EXPECT_EQ(m_driver.readCertificate(0xC001, card), certificate);
    });
    KaltorDriver plainDriver;
    m_manager.withSession(m_reader, [&](Card& card) {
        plainDriver.selectApplet(card);
        EXPECT_EQ(plainDriver.readCertificate(0xC001, card), certificate);
        EXPECT_EQ(tokenErrorOf([&] { plainDriver.readCertificate(0xD000, card); }),
                  Kind::certificateNotFound);
    });
}

TEST_P(PcscEndToEnd, aThrowingBodyEndsTheCardSessionOnce) {
    auto service = std::make_shared<CountingCardService>();
    TokenManager manager(service);
    EXPECT_THROW(manager.withSession(m_reader,
                                     [&](Card& card) -> int {
                                         m_driver.selectApplet(card);
                                         throw std::runtime_error("body failed");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(service->opened, 1);
    EXPECT_EQ(service->ended, 1);

    // The reader handle is really released: an exclusive connection is possible now.
    SCARDCONTEXT context = 0;
    ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context),
              SCARD_S_SUCCESS);
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    EXPECT_EQ(SCardConnect(context, m_sim.readerName().c_str(), SCARD_SHARE_EXCLUSIVE,
                           SCARD_PROTOCOL_T1, &handle, &protocol),
              SCARD_S_SUCCESS);
    SCardDisconnect(handle, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
}

TEST_P(PcscEndToEnd, aCardPulledOutMidSessionIsNoToken) {
    m_manager.withSession(m_reader, [&](Card& card) {
        establish(m_driver, card);
        m_sim.removeCard();
        try {
            m_driver.verifyPIN(pin, KaltorDriver::userPINReference, card);
            ADD_FAILURE() << "a command reached a card that was pulled out";
        } catch (const SelvorTokenKit::TokenError& error) {
            EXPECT_EQ(error.errorDescription(), "Токен олдсонгүй.");
        }
    });
    // The reader stays listed, but no session opens on it while it is empty.
    EXPECT_FALSE(m_manager.getReaderNames().empty());
    EXPECT_ANY_THROW(
        m_manager.withSession(m_reader, [&](Card& card) { m_driver.selectApplet(card); }));
    EXPECT_ANY_THROW(m_manager.getATR(m_reader));

    m_sim.insertCard();
    m_manager.withSession(m_reader, [&](Card& card) {
        EXPECT_TRUE(m_driver.selectApplet(card).isSuccess());
        establish(m_driver, card);
    });
}

TEST_P(PcscEndToEnd, aReaderIndexBeyondTheListIsNotConnected) {
    const int beyond = static_cast<int>(m_manager.getReaderNames().size());
    m_sim.clearLog();
    EXPECT_EQ(tokenErrorOf([&] { m_manager.withSession(beyond, [](Card&) {}); }),
              Kind::readerNotConnected);
    EXPECT_EQ(tokenErrorOf([&] { m_manager.withSession(-1, [](Card&) {}); }),
              Kind::readerNotConnected);
    EXPECT_TRUE(m_sim.commandLog().empty());
}

TEST(TokenSimProcessTest, refusesAReaderThatAnotherCardHolds) {
    TokenSimTesting::TokenSimOptions options;
    options.vpcdPort = 35964;
    options.readerName = "Virtual PCD 00 01";
    TokenSimTesting::TokenSimProcess first(options);
    try {
        TokenSimTesting::TokenSimProcess second(options);
        ADD_FAILURE() << "a second token took a reader that holds a card";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("holds the reader"), std::string::npos)
            << error.what();
    }
    // The first token still answers.
    TokenManager manager(SelvorTokenKit::makePcscCardService());
    const auto names = manager.getReaderNames();
    const int index =
        static_cast<int>(std::find(names.begin(), names.end(), first.readerName()) - names.begin());
    KaltorDriver driver;
    manager.withSession(index,
                        [&](Card& card) { EXPECT_TRUE(driver.selectApplet(card).isSuccess()); });
}

// The control socket answers the token's log, decrypted PIN blocks among it.
TEST(TokenSimProcessTest, keepsTheControlSocketInAPrivateDirectoryThatGoesWithIt) {
    TokenSimTesting::TokenSimOptions options;
    options.vpcdPort = 35964;
    options.readerName = "Virtual PCD 00 01";
    std::filesystem::path directory;
    {
        TokenSimTesting::TokenSimProcess sim(options);
        const std::filesystem::path socket = sim.controlPath();
        directory = socket.parent_path();
        struct stat status {};
        ASSERT_EQ(lstat(directory.c_str(), &status), 0) << directory;
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        EXPECT_EQ(status.st_mode & 07777, 0700u) << std::oct << status.st_mode << " " << directory;
        EXPECT_EQ(status.st_uid, getuid());
        ASSERT_EQ(lstat(socket.c_str(), &status), 0) << socket;
        EXPECT_TRUE(S_ISSOCK(status.st_mode));
        EXPECT_EQ(status.st_mode & 07777, 0600u) << std::oct << status.st_mode << " " << socket;
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(directory))) << directory;
}

INSTANTIATE_TEST_SUITE_P(Suites, PcscEndToEnd, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "fips" : "des"; });

} // namespace
