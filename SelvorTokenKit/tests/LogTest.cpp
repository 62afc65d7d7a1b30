#include "SelvorTokenKit/Log.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace SelvorTokenKit {
namespace {

std::string format(std::string_view text, std::initializer_list<LogArg> args) {
    return formatLogMessage(text, std::span<const LogArg>(args.begin(), args.size()));
}

class LogFormat : public testing::Test {
protected:
    void SetUp() override { unsetenv("SELVOR_LOG_PRIVATE"); }
    void TearDown() override { unsetenv("SELVOR_LOG_PRIVATE"); }
};

TEST_F(LogFormat, printfConversionsTheKitAndTheAppUse) {
    EXPECT_EQ(format("SIGN failed: SW=%s", {std::string("6982")}), "SIGN failed: SW=6982");
    EXPECT_EQ(format("WRITE CERT failed at offset %hu: SW=%s", {std::uint16_t{480}, "6A84"}),
              "WRITE CERT failed at offset 480: SW=6A84");
    EXPECT_EQ(format("(%ld bytes, fileID=%04X)", {600L, 0xC000u}), "(600 bytes, fileID=C000)");
    EXPECT_EQ(format("keyID=%02X", {std::uint8_t{1}}), "keyID=01");
    EXPECT_EQ(format("FIPS=%{bool}d", {true}), "FIPS=true");
    EXPECT_EQ(format("%d%% of %d", {50, -3}), "50% of -3");
    EXPECT_EQ(format("→ %s %s", {"GET", "/web/dashboard"}), "→ GET /web/dashboard");
    EXPECT_EQ(format("{} then {}", {1, "two"}), "1 then two");
    EXPECT_EQ(format("missing %s and %d", {"one"}), "missing one and ");
}

TEST_F(LogFormat, privateValuesAreHiddenUnlessAskedFor) {
    const std::string path = "/web/users/12345";
    EXPECT_EQ(format("→ %s %s", {"GET", logPrivate(path)}), "→ GET <private>");
    EXPECT_EQ(format("id %{private}d", {logPrivate(42)}), "id <private>");
    setenv("SELVOR_LOG_PRIVATE", "1", 1);
    EXPECT_EQ(format("→ %s %s", {"GET", logPrivate(path)}), "→ GET /web/users/12345");
    setenv("SELVOR_LOG_PRIVATE", "yes", 1);
    EXPECT_EQ(format("%s", {logPrivate(path)}), "<private>");
}

TEST_F(LogFormat, loggersWriteToTheProcessSinkWithTheirCategory) {
    const Logger logger("mn.selvor.eid.desktop", "APIClient");
    {
        Testing::LogCapture capture;
        logger.info("→ %s %s", "POST", logPrivate(std::string("/auth/qr/init")));
        logger.error("HTTP %d", 500);
        EXPECT_EQ(capture.lines(), (std::vector<std::string>{"info APIClient: → POST <private>",
                                                             "error APIClient: HTTP 500"}));
    }
    testing::internal::CaptureStderr();
    makeStderrSink()->write(LogRecord{LogLevel::error, "mn.selvor.token-kit", "TokenManager", "x"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[mn.selvor.token-kit:TokenManager] error: x\n");
}

} // namespace
} // namespace SelvorTokenKit
