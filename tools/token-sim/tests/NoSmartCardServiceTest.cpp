// A client whose smart-card service is missing (its socket points where nothing listens):
// no readers, and no card is touched.

#include "SelvorTokenKit/TokenError.hpp"
#include "SelvorTokenKit/TokenManager.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(NoSmartCardService, listsNoReaderAndRefusesSessions) {
    ASSERT_NE(std::getenv("PCSCLITE_CSOCK_NAME"), nullptr);
    SelvorTokenKit::TokenManager manager(SelvorTokenKit::makePcscCardService());
    EXPECT_TRUE(manager.getReaderNames().empty());
    EXPECT_FALSE(manager.hasToken());
    bool bodyRan = false;
    try {
        manager.withSession(0, [&](SelvorTokenKit::Card&) { bodyRan = true; });
        ADD_FAILURE() << "a session opened without a service";
    } catch (const SelvorTokenKit::TokenError& error) {
        EXPECT_EQ(error.kind(), SelvorTokenKit::TokenError::Kind::readerNotConnected);
        EXPECT_EQ(error.errorDescription(), "Уншигч холбогдоогүй байна.");
    }
    EXPECT_FALSE(bodyRan);
    try {
        (void)manager.getATR(0);
        ADD_FAILURE() << "an ATR was read without a service";
    } catch (const SelvorTokenKit::TokenError& error) {
        EXPECT_EQ(error.kind(), SelvorTokenKit::TokenError::Kind::readerNotConnected);
    }
}

} // namespace
