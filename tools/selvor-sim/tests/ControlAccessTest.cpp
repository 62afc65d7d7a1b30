// Any local process, and any page in the user's browser that guesses the port, can reach the
// control API; only the token the simulator printed at start opens it.

#include "SimTestSupport.hpp"

#include <regex>

using namespace SimTest;

namespace {

const std::string faultBody = R"({"path": "/web/dashboard", "kind": "status"})";

std::multimap<std::string, std::string> withToken(const std::string& token) {
    return {{SimProcess::controlTokenHeader, token}};
}

} // namespace

TEST(ControlAccess, everyStartPrintsAFreshRandomTokenAfterThePort) {
    SimProcess first;
    SimProcess second;
    const std::regex hex32("[0-9a-f]{32}");
    EXPECT_TRUE(std::regex_match(first.controlToken(), hex32)) << first.controlToken();
    EXPECT_TRUE(std::regex_match(second.controlToken(), hex32)) << second.controlToken();
    EXPECT_NE(first.controlToken(), second.controlToken());
}

TEST(ControlAccess, refusesEveryControlRequestWithoutTheRightToken) {
    SimProcess sim;
    const std::string id = startSignIn(sim, SimProcess::seededNationalId);
    const std::string& token = sim.controlToken();
    std::string lastDigitChanged = token;
    lastDigitChanged.back() = token.back() == '0' ? '1' : '0';
    const std::vector<std::multimap<std::string, std::string>> wrongHeaders{
        {},
        withToken(""),
        withToken(lastDigitChanged),
        withToken(token.substr(0, token.size() - 1)),
        withToken(token + "0"),
        {{"Authorization", "Bearer " + token}},
    };
    const std::vector<std::pair<std::string, std::string>> requests{
        {"GET", "/control/pending"},
        {"GET", "/control/requests/" + id},
        {"POST", "/control/requests/" + id + "/approve"},
        {"POST", "/control/qr/unknown/scan"},
        {"POST", "/control/faults"},
        {"GET", "/control/faults"},
        {"DELETE", "/control/faults"},
        {"GET", "/control/log"},
        {"DELETE", "/control/log"},
        {"GET", "/control/no-such-route"},
        // Routing sees the decoded path; so does the check.
        {"GET", "/%63ontrol/pending"},
    };
    for (const auto& headers : wrongHeaders) {
        for (const auto& [method, path] : requests) {
            const std::string body = path == "/control/faults" && method == "POST" ? faultBody : "";
            const auto reply = sim.send(method, path, body, {}, headers);
            EXPECT_EQ(reply.status, 403) << method << ' ' << path << ": " << reply.body;
            EXPECT_EQ(reply.json().value("code", 0), 403) << reply.body;
        }
    }

    // Nothing was decided, added or cleared.
    ASSERT_EQ(sim.pending().size(), 1u);
    EXPECT_TRUE(
        sim.send("GET", "/control/faults", {}, {}, withToken(token)).json().at("faults").empty());
    EXPECT_EQ(sim.requestLog().size(), 1u);
    sim.approve(id);
    EXPECT_TRUE(sim.pending().empty());
}

TEST(ControlAccess, theTokenDoesNotAdmitABodyABrowserSendsWithoutAPreflight) {
    SimProcess sim;
    const auto headers = withToken(sim.controlToken());
    for (const std::string type :
         {"text/plain", "text/plain;charset=UTF-8", "Text/Plain",
          "application/x-www-form-urlencoded", "multipart/form-data; boundary=x"}) {
        const auto reply = sim.send("POST", "/control/faults", faultBody, type, headers);
        EXPECT_EQ(reply.status, 415) << type << ": " << reply.body;
    }
    // A body without a type, as fetch() sends a Blob.
    const std::string untyped =
        "POST /control/faults HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
        std::string(SimProcess::controlTokenHeader) + ": " + sim.controlToken() +
        "\r\nContent-Length: " + std::to_string(faultBody.size()) + "\r\n\r\n" + faultBody;
    EXPECT_TRUE(rawExchange(sim.port(), untyped).starts_with("HTTP/1.1 415"));
    // The token is checked first: a wrong one is refused as such whatever the type.
    EXPECT_EQ(sim.send("POST", "/control/faults", faultBody, "text/plain", withToken("0")).status,
              403);
    EXPECT_TRUE(sim.send("GET", "/control/faults", {}, {}, headers).json().at("faults").empty());

    EXPECT_EQ(
        sim.send("POST", "/control/faults", faultBody, "application/json; charset=utf-8", headers)
            .status,
        200);
    EXPECT_EQ(sim.send("GET", "/control/faults", {}, {}, headers).json().at("faults").size(), 1u);
}
