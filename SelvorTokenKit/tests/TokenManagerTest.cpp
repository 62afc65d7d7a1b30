#include "SelvorTokenKit/TokenManager.hpp"
#include "SelvorTokenKit/Hex.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "support/Expect.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace SelvorTokenKit {
namespace {

using Testing::LogCapture;
using Testing::thrownKind;
using Kind = TokenError::Kind;

// A service with a fixed reader list that counts card sessions opened and ended.
class CountingService : public CardService {
public:
    struct Counts {
        int opened = 0;
        int ended = 0;
    };

    CountingService(std::vector<std::string> readers, std::string atrHex = "3B8F8001")
        : m_readers(std::move(readers)), m_atrHex(std::move(atrHex)) {}

    std::vector<std::string> readerNames() override { return m_readers; }

    std::unique_ptr<Card> connect(const std::string& readerName) override {
        ++counts.opened;
        return std::make_unique<CountedCard>(readerName, m_atrHex, counts);
    }

    Counts counts;

private:
    class CountedCard : public Card {
    public:
        CountedCard(std::string reader, std::string atrHex, Counts& counts)
            : m_reader(std::move(reader)), m_atrHex(std::move(atrHex)), m_counts(counts) {}
        ~CountedCard() override { ++m_counts.ended; }
        Bytes transmitRaw(std::span<const std::uint8_t>) override { return {0x90, 0x00}; }
        Bytes atr() override { return hexToBytes(m_atrHex); }
        const std::string& readerName() const override { return m_reader; }

    private:
        std::string m_reader;
        std::string m_atrHex;
        Counts& m_counts;
    };

    std::vector<std::string> m_readers;
    std::string m_atrHex;
};

TEST(TokenManager, runsTheBodyInsideOneSessionOnTheChosenReader) {
    LogCapture log;
    auto service = std::make_shared<CountingService>(
        std::vector<std::string>{"Virtual PCD 00 00", "Virtual PCD 00 01"});
    TokenManager manager(service);
    EXPECT_TRUE(manager.hasToken());
    const std::string reader = manager.withSession(1, [&](Card& card) {
        EXPECT_EQ(service->counts.opened, 1);
        EXPECT_EQ(service->counts.ended, 0);
        return card.readerName();
    });
    EXPECT_EQ(reader, "Virtual PCD 00 01");
    EXPECT_EQ(service->counts.ended, 1);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"info TokenManager: Session нээгдлээ: Virtual PCD 00 01"});
}

TEST(TokenManager, aThrowingBodyStillEndsTheSessionExactlyOnce) {
    auto service = std::make_shared<CountingService>(std::vector<std::string>{"Reader"});
    TokenManager manager(service);
    EXPECT_THROW(manager.withSession(0, [](Card&) -> int { throw std::runtime_error("body"); }),
                 std::runtime_error);
    EXPECT_EQ(service->counts.opened, 1);
    EXPECT_EQ(service->counts.ended, 1);
}

TEST(TokenManager, withoutReadersOrWithABadIndexNoCardIsTouched) {
    auto none = std::make_shared<CountingService>(std::vector<std::string>{});
    TokenManager empty(none);
    EXPECT_TRUE(empty.getReaderNames().empty());
    EXPECT_FALSE(empty.hasToken());
    bool ran = false;
    EXPECT_EQ(thrownKind([&] { empty.withSession(0, [&](Card&) { ran = true; }); }),
              Kind::readerNotConnected);

    auto one = std::make_shared<CountingService>(std::vector<std::string>{"Reader"});
    TokenManager manager(one);
    EXPECT_EQ(thrownKind([&] { manager.withSession(1, [&](Card&) { ran = true; }); }),
              Kind::readerNotConnected);
    EXPECT_EQ(thrownKind([&] { manager.withSession(-1, [&](Card&) { ran = true; }); }),
              Kind::readerNotConnected);
    EXPECT_FALSE(ran);
    EXPECT_EQ(none->counts.opened + one->counts.opened, 0);
}

TEST(TokenManager, atrComesFromTheCardAndAMissingOneMeansNoCard) {
    auto service = std::make_shared<CountingService>(std::vector<std::string>{"Reader"});
    TokenManager manager(service);
    EXPECT_EQ(bytesToHex(manager.getATR(0)), "3B8F8001");
    auto silent = std::make_shared<CountingService>(std::vector<std::string>{"Reader"}, "");
    TokenManager noATR(silent);
    EXPECT_EQ(thrownKind([&] { noATR.getATR(0); }), Kind::cardNotFound);
    EXPECT_EQ(silent->counts.ended, 1);
}

} // namespace
} // namespace SelvorTokenKit
