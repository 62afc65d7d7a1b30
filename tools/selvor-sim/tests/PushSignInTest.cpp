#include <SelvorSimTesting/SimProcess.hpp>

#include <gtest/gtest.h>

using SelvorSimTesting::SimProcess;

namespace {

nlohmann::json initiate(SimProcess& sim, const std::string& nationalId,
                        const std::string& displayText = "Selvor Desktop нэвтрэлт") {
    const auto reply =
        sim.send("POST", "/web/auth/initiate",
                 nlohmann::json{{"national_id", nationalId}, {"display_text", displayText}}.dump(),
                 "application/json");
    EXPECT_EQ(reply.status, 200) << reply.body;
    return reply.json();
}

nlohmann::json status(SimProcess& sim, const std::string& sessionId) {
    return sim.send("GET", "/web/auth/session/" + sessionId).json();
}

} // namespace

TEST(PushSignIn, approvedOnThePhone_completesWithTheIdentity) {
    SimProcess sim;
    const auto started = initiate(sim, SimProcess::seededNationalId);
    const std::string sessionId = started.at("session_id");
    EXPECT_EQ(started.at("verification_code").get<std::string>().size(), 4u);
    EXPECT_EQ(status(sim, sessionId), (nlohmann::json{{"state", "RUNNING"}}));

    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.id, sessionId);
    EXPECT_EQ(pending.kind, "push");
    EXPECT_EQ(pending.displayText, "Selvor Desktop нэвтрэлт");
    EXPECT_EQ(pending.verificationCode, started.at("verification_code"));
    EXPECT_EQ(pending.name, SimProcess::seededFullName);
    sim.approve(sessionId);

    const auto done = status(sim, sessionId);
    EXPECT_EQ(done.at("state"), "COMPLETE");
    EXPECT_EQ(done.at("result"), "OK");
    EXPECT_EQ(done.at("identity").at("national_id"), SimProcess::seededNationalId);
    EXPECT_EQ(done.at("identity").at("full_name"), SimProcess::seededFullName);
    EXPECT_TRUE(sim.pending().empty());
    EXPECT_THROW(sim.refuse(sessionId), std::runtime_error) << "a decided request stays decided";
}
