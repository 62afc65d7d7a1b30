#include "SimTestSupport.hpp"

#include <algorithm>

using namespace SimTest;

namespace {

constexpr const char* caller = "ДА75062046"; // seeded, in no organisation
constexpr const char* limitMessage = "Нэг хүн дээд тал нь 3 байгууллагад бүртгэлтэй байж болно";

json orgList(SimProcess& sim, const std::string& nationalId) {
    return getJson(sim, "/web/org/list?user_id=" + nationalId).at("organizations");
}

json registerOrg(SimProcess& sim, const std::string& regNumber, int expectedStatus = 200,
                 const std::string& nationalId = caller) {
    return postJson(sim, "/web/org/register",
                    {{"reg_number", regNumber},
                     {"name", "ignored"},
                     {"phone", ""},
                     {"user_national_id", nationalId}},
                    expectedStatus);
}

json membersOf(SimProcess& sim, const std::string& orgId, const std::string& nationalId) {
    return getJson(sim, "/web/org/" + orgId + "/members?user_id=" + nationalId).at("members");
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(Organizations, lookup_findsRegistryCompaniesAndAnySevenDigitNumber) {
    SimProcess sim;
    EXPECT_EQ(getJson(sim, "/web/org/lookup/2012345"), (json{{"found", true},
                                                             {"organization",
                                                              {{"name", "Номин Трейд ХХК"},
                                                               {"ceo", SimProcess::seededFullName},
                                                               {"phone", "99112233"}}}}));
    EXPECT_EQ(getJson(sim, "/web/org/lookup/6543210"),
              (json{{"found", true},
                    {"organization",
                     {{"name", "Алтан говь Логистик ХХК"}, {"ceo", "Цэрэндорж Оюунчимэг"}}}}));
    EXPECT_TRUE(getJson(sim, "/web/org/lookup/7777777").at("found"));
    for (const char* unknown : {"0123456", "12345", "12a4567"})
        EXPECT_EQ(getJson(sim, std::string("/web/org/lookup/") + unknown), (json{{"found", false}}))
            << unknown;
}

TEST(Organizations, registration_isConfirmedByTheDirectorOnThePhonePage) {
    SimProcess sim;
    EXPECT_TRUE(orgList(sim, caller).empty());
    const auto started = registerOrg(sim, "6543210");
    const auto logged = sim.requestLog().back();
    EXPECT_EQ(logged.path, "/web/org/register");
    EXPECT_EQ(json::parse(logged.body).at("reg_number"), "6543210");
    const auto pending = sim.waitForPending();
    EXPECT_EQ(pending.id, started.at("session_id"));
    EXPECT_EQ(pending.verificationCode, started.at("verification_code"));
    EXPECT_EQ(pending.purpose, "director");
    EXPECT_EQ(pending.nationalId, "ДА75062046") << "the registry's director gets the push";
    EXPECT_TRUE(contains(pending.displayText, "Алтан говь Логистик ХХК")) << pending.displayText;
    const std::string page = sim.send("GET", "/phone").body;
    EXPECT_TRUE(contains(page, "Алтан говь Логистик ХХК"));
    std::string boxes;
    for (const char digit : pending.verificationCode)
        boxes += "<span>" + std::string(1, digit) + "</span>";
    EXPECT_TRUE(contains(page, boxes)) << "the code, digit by digit";
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + pending.id), (json{{"state", "RUNNING"}}));
    EXPECT_EQ(orgList(sim, caller).at(0).at("status"), "PENDING");
    registerOrg(sim, "6543210", 409);

    EXPECT_EQ(sim.send("POST", "/phone/requests/" + pending.id + "/approve", "", "",
                       {{"Content-Type", "application/x-www-form-urlencoded"}})
                  .status,
              303);
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + pending.id),
              (json{{"state", "COMPLETE"}, {"result", "OK"}}));
    const auto list = orgList(sim, caller);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).at("status"), "ACTIVE");
    EXPECT_EQ(list.at(0).at("name"), "Алтан говь Логистик ХХК");
    EXPECT_EQ(list.at(0).at("reg_number"), "6543210");
    const auto members = membersOf(sim, list.at(0).at("id"), caller);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members.at(0).at("role"), "ADMIN");
    EXPECT_EQ(members.at(0).at("status"), "ACTIVE");
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

TEST(Organizations, seededPerson_hasOrganisationsOfEveryStatusAndRoomForOneMore) {
    SimProcess sim;
    const std::string person = SimProcess::seededNationalId;
    const auto list = orgList(sim, person);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0).at("id"), SimProcess::seededOrganizationId);
    EXPECT_EQ(list.at(0).at("status"), "ACTIVE");
    EXPECT_EQ(list.at(1).at("id"), SimProcess::seededPendingOrganizationId);
    EXPECT_EQ(list.at(1).at("status"), "PENDING");
    std::vector<std::string> statuses;
    for (const auto& member : membersOf(sim, SimProcess::seededOrganizationId, person))
        statuses.push_back(member.at("status"));
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ(statuses, (std::vector<std::string>{"ACTIVE", "ACTIVE", "PENDING", "SUSPENDED"}));

    sim.approve(registerOrg(sim, "6543210", 200, person).at("session_id"));
    EXPECT_EQ(orgList(sim, person).size(), 3u);
    EXPECT_EQ(registerOrg(sim, "3021987", 400, person),
              (json{{"code", 400}, {"error", limitMessage}}));
    EXPECT_TRUE(sim.pending().empty()) << "no director is asked beyond the limit";
}

TEST(Organizations, pendingRegistrations_countTowardsTheLimit) {
    SimProcess sim;
    std::vector<std::string> sessions;
    for (const char* number : {"1000001", "1000002", "1000003"})
        sessions.push_back(registerOrg(sim, number).at("session_id"));
    EXPECT_EQ(registerOrg(sim, "1000004", 400), (json{{"code", 400}, {"error", limitMessage}}));
    sim.refuse(sessions.front());
    registerOrg(sim, "1000004");
}

TEST(Organizations, members_areAddedAndRemovedByAnActiveAdminOnly) {
    SimProcess sim;
    const std::string orgId = SimProcess::seededOrganizationId;
    const std::string org = "/web/org/" + orgId;
    const std::string admin = SimProcess::seededNationalId;
    const auto add = [&](const char* nationalId, const char* role, const std::string& by,
                         int expectedStatus) {
        return postJson(sim, org + "/members/add",
                        {{"national_id", nationalId}, {"role", role}, {"user_national_id", by}},
                        expectedStatus);
    };
    const auto added = add("АБ99010155", "SIGNER", admin, 200);
    EXPECT_EQ(added.at("org_id"), orgId);
    EXPECT_EQ(added.at("status"), "PENDING");
    EXPECT_EQ(added.at("role"), "SIGNER");
    EXPECT_EQ(added.at("national_id"), "АБ99010155");
    for (const char* key : {"id", "user_id", "user_name", "created_at"})
        EXPECT_FALSE(added.at(key).get<std::string>().empty()) << key;
    EXPECT_EQ(add("ДА75062046", "ADMIN", admin, 200).at("user_name"), "Цэрэндорж Оюунчимэг");
    add("АБ99010155", "SIGNER", admin, 409);
    add("АБ99010156", "OWNER", admin, 400);
    add("аб99010156", "SIGNER", admin, 400);
    add("АБ99010156", "SIGNER", "ЧЕ88111524", 403);
    EXPECT_EQ(membersOf(sim, orgId, "ЧЕ88111524").size(), 6u);
    getJson(sim, org + "/members?user_id=ОО11111111", 403);

    sim.clearRequestLog();
    const std::string userId = added.at("user_id");
    EXPECT_EQ(sim.send("DELETE", org + "/members/" + userId + "?user_id=ЧЕ88111524").status, 403);
    const auto removed = sim.send("DELETE", org + "/members/" + userId + "?user_id=" + admin);
    EXPECT_EQ(removed.status, 200);
    EXPECT_EQ(removed.json(), (json{{"success", true}}));
    const auto log = sim.requestLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].method, "DELETE");
    EXPECT_EQ(log[1].path, org + "/members/" + userId);
    EXPECT_EQ(log[1].query, (std::vector<std::pair<std::string, std::string>>{{"user_id", admin}}));

    EXPECT_EQ(sim.send("DELETE", org + "/members/" + userId + "?user_id=" + admin).status, 404);
    EXPECT_EQ(sim.send("DELETE", org + "/members/usr_1a7f30c2?user_id=" + admin).status, 400)
        << "the last active admin stays";
    EXPECT_EQ(getJson(sim, org).at("member_count"), 5);
}
