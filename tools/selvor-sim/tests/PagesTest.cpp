#include "SimTestSupport.hpp"

using namespace SimTest;

namespace {

std::string locationOf(const SelvorSimTesting::HttpReply& reply) {
    const auto it = reply.headers.find("Location");
    return it == reply.headers.end() ? std::string() : it->second;
}

// The redirect target still percent-encoded, from the link in the redirect's body.
std::string encodedRedirect(const SelvorSimTesting::HttpReply& reply) {
    const auto start = reply.body.find("href=\"");
    if (reply.status != 302 || start == std::string::npos)
        return {};
    return reply.body.substr(start + 6, reply.body.find('"', start + 6) - start - 6);
}

} // namespace

TEST(PortalPage, opensTheCallbackWithTheChosenPerson) {
    SimProcess sim;
    const auto page = sim.send("GET", "/?callback_uri=selvorlogin%3A%2F%2Fauth%2Fcallback");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(SimProcess::seededFullName), std::string::npos);
    EXPECT_NE(page.body.find("value=\"selvorlogin://auth/callback\""), std::string::npos);

    const auto picked = sim.send(
        "GET", "/portal/continue?callback_uri=selvorlogin://auth/callback&person=ЧЕ88111524");
    EXPECT_EQ(picked.status, 302);
    EXPECT_EQ(locationOf(picked),
              "selvorlogin://auth/callback?national_id=ЧЕ88111524&name=Ганбаатар Сарангэрэл");
    EXPECT_EQ(
        encodedRedirect(picked),
        "selvorlogin://auth/callback?national_id=%D0%A7%D0%9588111524&amp;name=%D0%93%D0%B0%D0%"
        "BD%D0%B1%D0%B0%D0%B0%D1%82%D0%B0%D1%80%20%D0%A1%D0%B0%D1%80%D0%B0%D0%BD%D0%B3%D1%"
        "8D%D1%80%D1%8D%D0%BB");

    const auto typed =
        sim.send("GET", "/portal/continue?callback_uri=selvorlogin://auth/callback&person="
                        "&national_id=+%D0%90%D0%9199010155+&name=A%26B");
    EXPECT_EQ(encodedRedirect(typed),
              "selvorlogin://auth/callback?national_id=%D0%90%D0%9199010155&amp;name=A%26B");

    EXPECT_EQ(sim.send("GET", "/portal/continue?callback_uri=selvorlogin://auth/callback"
                              "&national_id=12")
                  .status,
              400);
    EXPECT_EQ(sim.send("GET", "/?callback_uri=https://evil.example/").status, 400);
    EXPECT_EQ(sim.send("GET", "/portal/continue?callback_uri=https://evil.example/&person="
                              "ЧЕ88111524")
                  .status,
              400)
        << "no open redirect";
}

TEST(PhonePage, listsPendingRequestsAndDecidesThroughItsForms) {
    SimProcess sim;
    EXPECT_NE(sim.send("GET", "/phone").body.find("Хүлээгдэж буй хүсэлт алга."), std::string::npos);
    const std::string sessionId = startSignIn(sim, SimProcess::seededNationalId);
    const std::string code = sim.waitForPending().verificationCode;
    const std::string page = sim.send("GET", "/phone").body;
    EXPECT_NE(page.find("Selvor Desktop нэвтрэлт"), std::string::npos);
    EXPECT_NE(page.find("<span>" + code.substr(0, 1) + "</span>"), std::string::npos);
    EXPECT_NE(page.find("/phone/requests/" + sessionId + "/approve"), std::string::npos);
    EXPECT_NE(page.find("Татгалзах"), std::string::npos);

    const auto approved = sim.send("POST", "/phone/requests/" + sessionId + "/approve", "", "",
                                   {{"Content-Type", "application/x-www-form-urlencoded"}});
    EXPECT_EQ(approved.status, 303);
    EXPECT_EQ(locationOf(approved), "/phone");
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + sessionId).at("result"), "OK");

    const std::string token = sim.send("POST", "/web/auth/qr/init").json().at("token");
    EXPECT_NE(sim.send("GET", "/phone").body.find("/phone/qr/" + token + "/scan"),
              std::string::npos);
    EXPECT_EQ(sim.send("POST", "/phone/qr/" + token + "/scan", "national_id=%D0%A7%D0%9588111524",
                       "application/x-www-form-urlencoded")
                  .status,
              303);
    EXPECT_EQ(sim.waitForPending().nationalId, "ЧЕ88111524");
    EXPECT_EQ(sim.send("POST", "/phone/requests/unknown/refuse", "", "").status, 404);
}

TEST(Appcast, announcesTheConfiguredVersion) {
    SimProcess sim({.extraArguments = {"--appcast-version", "2.3.4"}});
    const auto feed = sim.send("GET", "/appcast.xml");
    EXPECT_EQ(feed.status, 200);
    EXPECT_NE(feed.body.find("<sparkle:version>2.3.4</sparkle:version>"), std::string::npos);
    EXPECT_NE(feed.body.find("xmlns:sparkle="), std::string::npos);
    EXPECT_NE(feed.body.find(sim.baseUrl() + "/download"), std::string::npos);
}

TEST(SimProcess, refusesToStartWithBadOptions) {
    EXPECT_THROW(SimProcess({.extraArguments = {"--link", "onedrive"}}), std::runtime_error);
    EXPECT_THROW(SimProcess({.extraArguments = {"--auto-approve", "soon"}}), std::runtime_error);
}
