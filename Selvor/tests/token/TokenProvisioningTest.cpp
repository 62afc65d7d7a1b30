#include "TokenTesting.hpp"

#include "token/TokenManager.hpp"
#include "token/TokenProvisioner.hpp"
#include "token/TokenScreenViewModel.hpp"

#include <SelvorTokenKit/CardService.hpp>

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <atomic>
#include <memory>

using Selvor::TokenManager;
using Selvor::TokenProvisioner;
using Selvor::TokenScreenViewModel;
using namespace Selvor::Testing;
using SelvorTokenKit::Bytes;
using SelvorTokenKit::Card;
using TokenSimTesting::TokenSimProcess;

namespace {

constexpr std::uint8_t putDataInstruction = 0xDA;
constexpr std::uint8_t generateKeyInstruction = 0x46;

void fillForm(TokenScreenViewModel& screen, const QString& pin, const QString& puk) {
    screen.beginSetup();
    screen.setPin(pin);
    screen.setPinRepeat(pin);
    screen.setPuk(puk);
}

class TokenProvisioningSuites : public testing::TestWithParam<bool> {};

TEST_P(TokenProvisioningSuites, installsPinAndPukThenGeneratesTheKey) {
    TokenSimProcess token(tokenOptions(GetParam()));
    TokenManager manager;
    ASSERT_TRUE(waitForToken(manager));
    TokenScreenViewModel screen;
    screen.setTokenManager(&manager);
    QSignalSpy steps(&screen, &TokenScreenViewModel::stepChanged);
    QList<QString> statusTexts;
    QObject::connect(&screen, &TokenScreenViewModel::statusChanged,
                     [&] { statusTexts.append(screen.statusMessage()); });

    fillForm(screen, testPin, testPuk);
    ASSERT_TRUE(screen.canSubmit());
    screen.provision();
    EXPECT_TRUE(screen.isBusy());
    EXPECT_FALSE(screen.canSubmit());
    ASSERT_TRUE(waitUntil([&] { return !screen.isBusy(); }));

    EXPECT_EQ(screen.step(), TokenScreenViewModel::Finished);
    EXPECT_EQ(screen.statusMessage(), "Түлхүүр хос үүсгэгдлэа");
    EXPECT_FALSE(screen.isError());
    EXPECT_TRUE(statusTexts.contains("PIN/PUK тогтоогдлоо"));
    EXPECT_EQ(steps.count(), 3); // 0 -> 1 -> 2 -> 3

    const auto installs = commandsWithInstruction(token, putDataInstruction);
    ASSERT_EQ(installs.size(), 2u);
    for (const auto& install : installs) {
        EXPECT_TRUE(install.secured);
        EXPECT_EQ(install.sw, "9000");
    }
    const auto generations = commandsWithInstruction(token, generateKeyInstruction);
    ASSERT_EQ(generations.size(), 1u);
    EXPECT_TRUE(generations[0].secured);
    EXPECT_NE(generations[0].apduHex.find("3008040101800113810120"), std::string::npos);
    EXPECT_FALSE(token.ecPublicKeyDer().empty());

    // The installed PIN is the one typed: it verifies in a new session.
    EXPECT_NO_THROW(manager
                        .withSession([](Card& card) {
                            TokenProvisioner provisioner;
                            provisioner.generateSigningKey(card, testPin.toStdString());
                        })
                        .waitForFinished());

    screen.reset();
    EXPECT_EQ(screen.step(), TokenScreenViewModel::Introduction);
    EXPECT_TRUE(screen.pin().isEmpty());
    EXPECT_TRUE(screen.pinRepeat().isEmpty());
    EXPECT_TRUE(screen.puk().isEmpty());
    EXPECT_TRUE(screen.statusMessage().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(DesAndFips, TokenProvisioningSuites, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "fips" : "des";
                         });

TEST(TokenProvisioning, wrongPinDuringKeyGenerationReturnsToTheForm) {
    TokenSimProcess token;
    TokenManager manager;
    ASSERT_TRUE(waitForToken(manager));
    TokenScreenViewModel screen;
    screen.setTokenManager(&manager);
    // While the screen moves to key generation, someone else changes the PIN on the token; the
    // token work is serialised, so this runs between the two card sessions of the screen.
    QObject::connect(&screen, &TokenScreenViewModel::stepChanged, [&] {
        if (screen.step() == TokenScreenViewModel::GeneratingKey)
            manager.withSession([](Card& card) {
                TokenProvisioner provisioner;
                provisioner.initializeToken(card, "999999", "99999999");
            });
    });
    QList<int> steps;
    QObject::connect(&screen, &TokenScreenViewModel::stepChanged,
                     [&] { steps.append(screen.step()); });

    fillForm(screen, testPin, testPuk);
    screen.provision();
    ASSERT_TRUE(waitUntil([&] { return !screen.isBusy(); }));

    EXPECT_EQ(steps,
              (QList<int>{TokenScreenViewModel::PinEntry, TokenScreenViewModel::GeneratingKey,
                          TokenScreenViewModel::PinEntry}));
    EXPECT_EQ(screen.step(), TokenScreenViewModel::PinEntry);
    EXPECT_TRUE(screen.isError());
    EXPECT_EQ(screen.statusMessage(), "PIN буруу байна. 2 оролдлого үлдсэн.");
    EXPECT_TRUE(commandsWithInstruction(token, generateKeyInstruction).empty());
    EXPECT_TRUE(token.ecPublicKeyDer().empty());
    // The PIN and PUK do not outlive the run: the user types them again.
    EXPECT_TRUE(screen.pin().isEmpty() && screen.pinRepeat().isEmpty() && screen.puk().isEmpty());
    EXPECT_FALSE(screen.canSubmit());
}

// The real card service, except that the second protected PUT DATA of the process reaches the
// token with a damaged cryptogram, so the token itself refuses the PUK after the user PIN.
class PukDamagingService : public SelvorTokenKit::CardService {
public:
    std::vector<std::string> readerNames() override { return m_real->readerNames(); }

    std::unique_ptr<Card> connect(const std::string& readerName) override {
        return std::make_unique<DamagingCard>(m_real->connect(readerName), m_putDataCount);
    }

private:
    class DamagingCard : public Card {
    public:
        DamagingCard(std::unique_ptr<Card> real, std::atomic<int>& putDataCount)
            : m_real(std::move(real)), m_putDataCount(putDataCount) {}
        Bytes transmitRaw(std::span<const std::uint8_t> command) override {
            Bytes sent(command.begin(), command.end());
            const bool protectedPutData =
                sent.size() > 9 && (sent[0] & 0x04) && sent[1] == putDataInstruction;
            if (protectedPutData && ++m_putDataCount == 2)
                sent[9] ^= 0xFF;
            return m_real->transmitRaw(sent);
        }
        Bytes atr() override { return m_real->atr(); }
        const std::string& readerName() const override { return m_real->readerName(); }

    private:
        std::unique_ptr<Card> m_real;
        std::atomic<int>& m_putDataCount;
    };

    std::shared_ptr<SelvorTokenKit::CardService> m_real = SelvorTokenKit::makePcscCardService();
    std::atomic<int> m_putDataCount{0};
};

TEST(TokenProvisioning, pukRefusedAfterThePinWasInstalledStaysOnTheForm) {
    TokenSimProcess token;
    SelvorTokenKit::TokenManager kit(std::make_shared<PukDamagingService>());
    TokenManager manager(kit);
    ASSERT_TRUE(waitForToken(manager));
    TokenScreenViewModel screen;
    screen.setTokenManager(&manager);

    fillForm(screen, testPin, testPuk);
    screen.provision();
    ASSERT_TRUE(waitUntil([&] { return !screen.isBusy(); }));

    EXPECT_EQ(screen.step(), TokenScreenViewModel::PinEntry);
    EXPECT_TRUE(screen.isError());
    const auto installs = commandsWithInstruction(token, putDataInstruction);
    ASSERT_EQ(installs.size(), 2u);
    EXPECT_EQ(installs[0].sw, "9000");
    EXPECT_NE(installs[1].sw, "9000");
    EXPECT_EQ(screen.statusMessage(),
              QStringLiteral("Токен алдаа: SW=%1").arg(QString::fromStdString(installs[1].sw)));
    EXPECT_TRUE(commandsWithInstruction(token, generateKeyInstruction).empty());

    // Nothing is rolled back: the user PIN stays installed.
    EXPECT_NO_THROW(manager
                        .withSession([](Card& card) {
                            TokenProvisioner provisioner;
                            provisioner.generateSigningKey(card, testPin.toStdString());
                        })
                        .waitForFinished());
}

} // namespace
