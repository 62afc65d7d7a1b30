// Runs with PCSCLITE_CSOCK_NAME pointing where no smart-card service listens.
#include "SelvorTokenKit/PresenceWatcher.hpp"
#include "SelvorTokenKit/TokenError.hpp"
#include "SelvorTokenKit/TokenManager.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace SelvorTokenKit {
namespace {

class PcscAbsent : public testing::Test {
protected:
    void SetUp() override {
        const char* socket = std::getenv("PCSCLITE_CSOCK_NAME");
        ASSERT_NE(socket, nullptr) << "run through ctest: PCSCLITE_CSOCK_NAME must name a socket";
        ASSERT_FALSE(std::filesystem::exists(socket)) << socket << " exists";
    }
};

TEST_F(PcscAbsent, noServiceMeansNoReadersAndNoCardIsTouched) {
    TokenManager& manager = TokenManager::shared();
    EXPECT_TRUE(manager.getReaderNames().empty());
    EXPECT_FALSE(manager.hasToken());
    bool ran = false;
    try {
        manager.withSession(0, [&](Card&) { ran = true; });
        ADD_FAILURE() << "no error";
    } catch (const TokenError& error) {
        EXPECT_EQ(error.kind(), TokenError::Kind::readerNotConnected);
        EXPECT_EQ(error.errorDescription(), "Уншигч холбогдоогүй байна.");
    }
    EXPECT_FALSE(ran);
    EXPECT_THROW(manager.getATR(0), TokenError);
}

// Without a service the watcher says so, once, and nothing else; it still stops when asked.
TEST_F(PcscAbsent, theWatcherReportsOnlyTheMissingServiceAndStopsWhenAsked) {
    std::atomic<int> unavailable{0};
    std::atomic<int> others{0};
    PresenceWatcher watcher([&](const PresenceWatcher::Event& event) {
        ++(event.kind == PresenceWatcher::Event::Kind::serviceUnavailable ? unavailable : others);
    });
    watcher.start();
    EXPECT_TRUE(watcher.isRunning());
    for (int waited = 0; unavailable == 0 && waited < 2000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    watcher.stop();
    EXPECT_FALSE(watcher.isRunning());
    EXPECT_EQ(unavailable, 1);
    EXPECT_EQ(others, 0);
    watcher.start();
    EXPECT_TRUE(watcher.isRunning());
}

} // namespace
} // namespace SelvorTokenKit
