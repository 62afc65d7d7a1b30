#include "SimTestSupport.hpp"

#include <thread>

using namespace SimTest;

namespace {

json status(SimProcess& sim, const std::string& sessionId) {
    return getJson(sim, "/web/auth/session/" + sessionId);
}

} // namespace

TEST(PushSignIn, approvedOnThePhone_completesWithTheIdentityAndEntersTheHistory) {
    SimProcess sim;
    const auto started = postJson(sim, "/web/auth/initiate",
                                  {{"national_id", SimProcess::seededNationalId},
                                   {"display_text", "Selvor Desktop нэвтрэлт"}});
    const std::string sessionId = started.at("session_id");
    EXPECT_EQ(started.at("verification_code").get<std::string>().size(), 4u);
    EXPECT_EQ(status(sim, sessionId), (json{{"state", "RUNNING"}}));

    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.id, sessionId);
    EXPECT_EQ(pending.kind, "push");
    EXPECT_EQ(pending.displayText, "Selvor Desktop нэвтрэлт");
    EXPECT_EQ(pending.verificationCode, started.at("verification_code"));
    EXPECT_EQ(pending.name, SimProcess::seededFullName);
    const auto loginsBefore =
        getJson(sim, std::string("/web/dashboard?id=") + SimProcess::seededNationalId)
            .at("total_logins")
            .get<long long>();
    sim.approve(sessionId);

    const auto done = status(sim, sessionId);
    EXPECT_EQ(done.at("state"), "COMPLETE");
    EXPECT_EQ(done.at("result"), "OK");
    EXPECT_EQ(done.at("identity").at("national_id"), SimProcess::seededNationalId);
    EXPECT_EQ(done.at("identity").at("full_name"), SimProcess::seededFullName);
    EXPECT_TRUE(sim.pending().empty());
    EXPECT_THROW(sim.refuse(sessionId), std::runtime_error) << "a decided request stays decided";

    const auto dashboard =
        getJson(sim, std::string("/web/dashboard?id=") + SimProcess::seededNationalId);
    EXPECT_EQ(dashboard.at("total_logins"), loginsBefore + 1);
    EXPECT_EQ(dashboard.at("sessions").at(0).at("rp_name"), "Selvor Desktop");
    EXPECT_EQ(dashboard.at("sessions").at(0).at("session_type"), "AUTH");
}

TEST(PushSignIn, refusalAndExpiry_useTheWordsEachWaitingFlowActsOn) {
    SimProcess sim;
    const std::string signIn = startSignIn(sim, SimProcess::seededNationalId);
    const std::string signing = startSignIn(sim, SimProcess::seededNationalId, "Гэрээ.pdf");
    const std::string expiring = startSignIn(sim, SimProcess::seededNationalId);
    const std::string expiringSigning = startSignIn(sim, SimProcess::seededNationalId, "Акт");
    sim.refuse(signIn);
    sim.refuse(signing);
    sim.expire(expiring);
    sim.expire(expiringSigning);

    EXPECT_EQ(status(sim, signIn), (json{{"state", "COMPLETE"}, {"result", "REFUSED"}}));
    EXPECT_EQ(status(sim, signing), (json{{"state", "COMPLETE"}, {"result", "USER_REFUSED"}}));
    EXPECT_EQ(status(sim, expiring), (json{{"state", "EXPIRED"}, {"result", "EXPIRED"}}));
    EXPECT_EQ(status(sim, expiringSigning), (json{{"state", "COMPLETE"}, {"result", "EXPIRED"}}));
}

TEST(PushSignIn, anyWellFormedNumberIsAPerson_malformedOnesAreRefused) {
    SimProcess sim;
    const std::string sessionId = startSignIn(sim, "ӨҮ85032917");
    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.nationalId, "ӨҮ85032917");
    EXPECT_FALSE(pending.name.empty());
    EXPECT_EQ(getJson(sim, "/web/dashboard?id=ӨҮ85032917").at("user").at("full_name"), pending.name)
        << "the generated person is the same everywhere";

    for (const char* bad : {"", "УП9104231", "UP91042312", "УП91042312 ", "уп91042312"}) {
        const auto reply = postJson(sim, "/web/auth/initiate", {{"national_id", bad}}, 400);
        EXPECT_EQ(reply.at("code"), 400) << bad;
    }
    EXPECT_EQ(getJson(sim, "/web/auth/session/", 404).at("code"), 404);
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + sessionId + "x", 404).at("code"), 404);
}

TEST(PushSignIn, autoApprove_approvesAfterTheDelay) {
    SimProcess sim({.autoApproveSeconds = 0.2});
    const std::string sessionId = startSignIn(sim, SimProcess::seededNationalId);
    EXPECT_EQ(status(sim, sessionId).at("state"), "RUNNING");
    json answer = json::object();
    for (int poll = 0; poll < 100 && answer.value("state", "") != "COMPLETE"; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        answer = status(sim, sessionId);
    }
    EXPECT_EQ(answer.value("result", ""), "OK");
}

TEST(Dashboard, largeHistoryOption_servesTheWholeHistory) {
    SimProcess sim({.largeHistory = {"ЧЕ88111524"}});
    const auto dashboard = getJson(sim, "/web/dashboard?id=ЧЕ88111524");
    EXPECT_EQ(dashboard.at("sessions").size(), 100000u);
    EXPECT_EQ(dashboard.at("user").at("full_name"), "Ганбаатар Сарангэрэл");
    EXPECT_TRUE(dashboard.at("certificates").is_number_integer());
    EXPECT_EQ(getJson(sim, "/web/dashboard", 400).at("code"), 400);
    EXPECT_EQ(getJson(sim, "/web/dashboard?id=nobody", 404).at("code"), 404);
}
