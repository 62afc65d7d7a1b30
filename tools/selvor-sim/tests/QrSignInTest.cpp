#include "SimTestSupport.hpp"

#include <thread>

using namespace SimTest;

namespace {

std::string startQr(SimProcess& sim) {
    const auto reply = sim.send("POST", "/web/auth/qr/init");
    EXPECT_EQ(reply.status, 200);
    const auto answer = reply.json();
    EXPECT_NE(answer.at("qr_data").get<std::string>().find(answer.at("token").get<std::string>()),
              std::string::npos);
    return answer.at("token");
}

json qrStatus(SimProcess& sim, const std::string& token) {
    return getJson(sim, "/web/auth/qr/status/" + token);
}

} // namespace

TEST(QrSignIn, scanThenApprove_runsWithACodeThenCompletesWithThePerson) {
    SimProcess sim;
    const std::string token = startQr(sim);
    EXPECT_EQ(qrStatus(sim, token), (json{{"state", "WAITING"}}));
    EXPECT_THROW(sim.approve(token), std::runtime_error) << "nobody has scanned it yet";

    sim.scanQr(token, "ДА75062046");
    const auto running = qrStatus(sim, token);
    EXPECT_EQ(running.at("state"), "RUNNING");
    const std::string code = running.at("verification_code");
    EXPECT_EQ(code.size(), 4u);
    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.kind, "qr");
    EXPECT_EQ(pending.verificationCode, code);
    EXPECT_THROW(sim.scanQr(token), std::runtime_error) << "a code is scanned once";

    sim.approve(token);
    const auto done = qrStatus(sim, token);
    EXPECT_EQ(done.at("state"), "COMPLETE");
    EXPECT_EQ(done.at("result"), "OK");
    EXPECT_EQ(done.at("national_id"), "ДА75062046");
    EXPECT_EQ(done.at("user_name"), "Цэрэндорж Оюунчимэг");
    EXPECT_EQ(done.at("kyc_level"), "1");
}

TEST(QrSignIn, refusalAndExpiry) {
    SimProcess sim;
    const std::string refused = startQr(sim);
    const std::string expired = startQr(sim);
    sim.scanQr(refused);
    sim.refuse(refused);
    sim.expire(expired);
    EXPECT_EQ(qrStatus(sim, refused), (json{{"state", "COMPLETE"}, {"result", "USER_REFUSED"}}));
    EXPECT_EQ(qrStatus(sim, expired), (json{{"state", "EXPIRED"}}));
    EXPECT_EQ(getJson(sim, "/web/auth/qr/status/unknown", 404).at("code"), 404);
    const std::string pushSession = startSignIn(sim, SimProcess::seededNationalId);
    EXPECT_EQ(getJson(sim, "/web/auth/qr/status/" + pushSession, 404).at("code"), 404)
        << "a push session is not a QR code";
}

TEST(QrSignIn, autoApprove_scansThenApproves) {
    SimProcess sim({.autoApproveSeconds = 0.1});
    const std::string token = startQr(sim);
    json answer = json::object();
    bool sawRunning = false;
    for (int poll = 0; poll < 200 && answer.value("state", "") != "COMPLETE"; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        answer = qrStatus(sim, token);
        sawRunning |= answer.value("state", "") == "RUNNING";
    }
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(answer.value("result", ""), "OK");
    EXPECT_EQ(answer.value("national_id", ""), SimProcess::seededNationalId);
}
