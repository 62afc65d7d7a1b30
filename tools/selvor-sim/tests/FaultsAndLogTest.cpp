#include "SimTestSupport.hpp"

#include <chrono>

using namespace SimTest;
using SelvorSimTesting::Fault;

TEST(Faults, eachKindReplacesTheAnswerOfItsRoute) {
    SimProcess sim;
    const std::string dashboard = std::string("/web/dashboard?id=") + SimProcess::seededNationalId;
    sim.addFault({.path = "/web/dashboard",
                  .kind = "status",
                  .status = 500,
                  .body = R"({"code":42,"error":"x"})",
                  .times = 1});
    const auto status = sim.send("GET", dashboard);
    EXPECT_EQ(status.status, 500);
    EXPECT_EQ(status.body, R"({"code":42,"error":"x"})");
    EXPECT_EQ(sim.send("GET", dashboard).status, 200) << "a fault with times=1 is used up";

    sim.addFault({.path = "/web/dashboard", .kind = "html", .times = 1});
    const auto html = sim.send("GET", dashboard);
    EXPECT_EQ(html.status, 502);
    EXPECT_NE(html.body.find("<html>"), std::string::npos);

    sim.addFault({.path = "/web/auth/*", .kind = "broken_json", .method = "POST"});
    const auto broken = sim.send("POST", "/web/auth/qr/init");
    EXPECT_EQ(broken.status, 200);
    EXPECT_TRUE(broken.json().is_null()) << broken.body;
    EXPECT_EQ(sim.send("GET", "/web/auth/qr/status/x").status, 404) << "other methods pass";
    EXPECT_EQ(sim.send("POST", "/web/auth/qr/init").status, 200) << "lasting fault stays";
    EXPECT_TRUE(sim.send("POST", "/web/auth/qr/init").json().is_null());
    sim.clearFaults();
    EXPECT_EQ(sim.send("POST", "/web/auth/qr/init").json().at("token").get<std::string>().size(),
              40u);

    sim.addFault({.path = "/web/cloud/connections", .kind = "drop", .times = 1});
    EXPECT_THROW(sim.send("GET", "/web/cloud/connections"), std::runtime_error);
    EXPECT_EQ(sim.send("GET", "/web/cloud/connections").status, 200);
}

TEST(Faults, stallHoldsTheAnswerBackThenServesIt) {
    SimProcess sim;
    sim.addFault({.path = "/web/cloud/connections", .kind = "stall", .stallMs = 300, .times = 1});
    const auto start = std::chrono::steady_clock::now();
    const auto reply = sim.send("GET", "/web/cloud/connections");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(reply.status, 200);
}

TEST(Faults, badDescriptionsAreRefused) {
    SimProcess sim;
    EXPECT_THROW(sim.addFault({.path = "web/dashboard"}), std::runtime_error);
    EXPECT_THROW(sim.addFault({.path = "/x", .kind = "explode"}), std::runtime_error);
    EXPECT_THROW(sim.addFault({.path = "/x", .kind = "stall"}), std::runtime_error);
    EXPECT_THROW(sim.addFault({.path = "/x", .status = 42}), std::runtime_error);
}

TEST(RequestLog, recordsServiceRequestsAsTheyArrived) {
    SimProcess sim;
    sim.send("GET", "/web/org/org_5b0e2f71/members?user_id=%D0%A3%D0%9F91042312&x=a=b");
    sim.send("POST", "/web/cloud/google/callback", R"({"code":"c\/1"})", "application/json",
             {{"User-Agent", "Selvor-Desktop/1.0"}});
    sim.send("GET", "/no/such/route");
    sim.pending();

    const auto log = sim.requestLog();
    ASSERT_EQ(log.size(), 3u) << "control requests are not logged";
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].path, "/web/org/org_5b0e2f71/members");
    EXPECT_EQ(log[0].rawQuery, "user_id=%D0%A3%D0%9F91042312&x=a=b");
    const std::vector<std::pair<std::string, std::string>> query{{"user_id", "УП91042312"},
                                                                 {"x", "a=b"}};
    EXPECT_EQ(log[0].query, query);
    EXPECT_EQ(log[0].body, "");
    EXPECT_FALSE(log[0].header("Content-Type"));
    EXPECT_EQ(log[1].body, R"({"code":"c\/1"})");
    EXPECT_EQ(log[1].header("content-type"), "application/json");
    EXPECT_EQ(log[1].header("user-agent"), "Selvor-Desktop/1.0");
    EXPECT_EQ(log[2].path, "/no/such/route");

    sim.clearRequestLog();
    EXPECT_TRUE(sim.requestLog().empty());
}

TEST(HttpFraming, postAndDeleteWithoutContentLength_haveAnEmptyBody) {
    SimProcess sim({.linkedProviders = {"google"}});
    EXPECT_TRUE(rawExchange(sim.port(), "POST /web/auth/qr/init HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                        "Accept: application/json\r\n\r\n")
                    .starts_with("HTTP/1.1 200"));
    EXPECT_TRUE(
        rawExchange(sim.port(),
                    "DELETE /web/cloud/google/disconnect HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
            .starts_with("HTTP/1.1 200"));
    const std::string sessionId = startSignIn(sim, SimProcess::seededNationalId);
    EXPECT_TRUE(rawExchange(sim.port(), "POST /control/requests/" + sessionId +
                                            "/approve HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                                            SimProcess::controlTokenHeader + ": " +
                                            sim.controlToken() + "\r\n\r\n")
                    .starts_with("HTTP/1.1 200"));
}
