#include "SimTestSupport.hpp"

using namespace SimTest;

namespace {

constexpr const char* caller = "ДА75062046"; // seeded, in no organisation

json orgList(SimProcess& sim, const std::string& nationalId) {
    return getJson(sim, "/web/org/list?user_id=" + nationalId).at("organizations");
}

json registerOrg(SimProcess& sim, const std::string& regNumber, int expectedStatus = 200) {
    return postJson(sim, "/web/org/register",
                    {{"reg_number", regNumber},
                     {"name", "ignored"},
                     {"phone", ""},
                     {"user_national_id", caller}},
                    expectedStatus);
}

} // namespace

TEST(Organizations, lookup_findsRegistryCompaniesAndAnySevenDigitNumber) {
    SimProcess sim;
    EXPECT_EQ(getJson(sim, "/web/org/lookup/2012345"), (json{{"found", true},
                                                             {"organization",
                                                              {{"name", "Номин Трейд ХХК"},
                                                               {"ceo", SimProcess::seededFullName},
                                                               {"phone", "99112233"}}}}));
    EXPECT_FALSE(getJson(sim, "/web/org/lookup/6543210").at("organization").contains("phone"));
    EXPECT_TRUE(getJson(sim, "/web/org/lookup/7777777").at("found"));
    EXPECT_EQ(getJson(sim, "/web/org/lookup/12345"), (json{{"found", false}}));
    EXPECT_EQ(getJson(sim, "/web/org/lookup/12a4567"), (json{{"found", false}}));
}

TEST(Organizations, registration_waitsForTheDirectorThenBecomesActive) {
    SimProcess sim;
    EXPECT_TRUE(orgList(sim, caller).empty());
    const auto started = registerOrg(sim, "6543210");
    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.id, started.at("session_id"));
    EXPECT_EQ(pending.verificationCode, started.at("verification_code"));
    EXPECT_EQ(pending.purpose, "director");
    EXPECT_EQ(pending.nationalId, "ДА75062046") << "the registry's director gets the push";
    EXPECT_EQ(orgList(sim, caller).at(0).at("status"), "PENDING");
    registerOrg(sim, "6543210", 409);

    sim.approve(pending.id);
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + pending.id),
              (json{{"state", "COMPLETE"}, {"result", "OK"}}));
    const auto list = orgList(sim, caller);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).at("status"), "ACTIVE");
    EXPECT_EQ(list.at(0).at("name"), "Алтан говь Логистик ХХК");
    const auto members = getJson(sim, "/web/org/" + list.at(0).at("id").get<std::string>() +
                                          "/members?user_id=" + caller)
                             .at("members");
    EXPECT_EQ(members.at(0).at("role"), "ADMIN");
    EXPECT_EQ(members.at(0).at("national_id"), caller);
}

TEST(Organizations, refusedRegistration_leavesNothingAndCanBeRepeated) {
    SimProcess sim;
    const std::string sessionId = registerOrg(sim, "3021987").at("session_id");
    sim.refuse(sessionId);
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + sessionId),
              (json{{"state", "COMPLETE"}, {"result", "REFUSED"}}));
    EXPECT_TRUE(orgList(sim, caller).empty());
    registerOrg(sim, "3021987");
}

TEST(Organizations, aPersonBelongsToAtMostThreeOrganisations) {
    SimProcess sim;
    for (const char* number : {"1000001", "1000002", "1000003"})
        sim.approve(registerOrg(sim, number).at("session_id"));
    EXPECT_EQ(orgList(sim, caller).size(), 3u);
    EXPECT_EQ(registerOrg(sim, "1000004", 400).at("code"), 400);
}

TEST(Organizations, members_areAddedAndRemovedByAnActiveAdminOnly) {
    SimProcess sim;
    const std::string org = "/web/org/org_5b0e2f71";
    const std::string admin = SimProcess::seededNationalId;
    const auto added =
        postJson(sim, org + "/members/add",
                 {{"national_id", "АБ99010155"}, {"role", "SIGNER"}, {"user_national_id", admin}});
    EXPECT_EQ(added.at("org_id"), "org_5b0e2f71");
    EXPECT_EQ(added.at("status"), "PENDING");
    EXPECT_EQ(added.at("national_id"), "АБ99010155");
    for (const char* key : {"id", "user_id", "user_name", "created_at"})
        EXPECT_FALSE(added.at(key).get<std::string>().empty()) << key;
    postJson(sim, org + "/members/add",
             {{"national_id", "АБ99010155"}, {"role", "SIGNER"}, {"user_national_id", admin}}, 409);
    postJson(sim, org + "/members/add",
             {{"national_id", "АБ99010156"}, {"role", "OWNER"}, {"user_national_id", admin}}, 400);
    postJson(
        sim, org + "/members/add",
        {{"national_id", "АБ99010156"}, {"role", "SIGNER"}, {"user_national_id", "ЧЕ88111524"}},
        403);
    EXPECT_EQ(getJson(sim, org + "/members?user_id=ЧЕ88111524").at("members").size(), 4u);
    getJson(sim, org + "/members?user_id=ДА75062046", 403);

    const std::string userId = added.at("user_id");
    EXPECT_EQ(sim.send("DELETE", org + "/members/" + userId + "?user_id=ЧЕ88111524").status, 403);
    const auto removed = sim.send("DELETE", org + "/members/" + userId + "?user_id=" + admin);
    EXPECT_EQ(removed.status, 200);
    EXPECT_EQ(removed.json(), (json{{"success", true}}));
    EXPECT_EQ(sim.send("DELETE", org + "/members/" + userId + "?user_id=" + admin).status, 404);
    EXPECT_EQ(sim.send("DELETE", org + "/members/usr_1a7f30c2?user_id=" + admin).status, 400)
        << "the last active admin stays";
    EXPECT_EQ(getJson(sim, org).at("member_count"), 3);
}
