#include "ClientTestSupport.hpp"

#include "api/models/OrgModels.hpp"

namespace Selvor::testing {
namespace {

using Json = nlohmann::json;
using Pairs = std::vector<std::pair<std::string, std::string>>;

const QString person = QStringLiteral("УП91042312");
const QString pem =
    QStringLiteral("-----BEGIN CERTIFICATE-----\nMII/x+y==\n-----END CERTIFICATE-----");

struct Expected {
    std::string name;
    Endpoint endpoint;
    std::string method;
    std::string path;
    Pairs query;
    Json body; // null: no body
};

std::vector<Expected> catalogue() {
    const std::string id = person.toStdString();
    const std::string pemText = pem.toStdString();
    return {
        {"initiateAuth",
         Endpoint::initiateAuth(person),
         "POST",
         "/web/auth/initiate",
         {},
         {{"national_id", id}, {"display_text", "Selvor Desktop нэвтрэлт"}}},
        {"authSession", Endpoint::authSession("s-1"), "GET", "/web/auth/session/s-1", {}, nullptr},
        {"qrStatus", Endpoint::qrStatus("q-1"), "GET", "/web/auth/qr/status/q-1", {}, nullptr},
        {"dashboard", Endpoint::dashboard(person), "GET", "/web/dashboard", {{"id", id}}, nullptr},
        {"signInitiate",
         Endpoint::signInitiate(person, "ab12", "SHA256", "Гэрээ", "a/b.pdf"),
         "POST",
         "/desktop/v1/sign/initiate",
         {},
         {{"national_id", id},
          {"document_hash", "ab12"},
          {"hash_type", "SHA256"},
          {"display_text", "Гэрээ"},
          {"document_name", "a/b.pdf"}}},
        {"signInitiate, optionals absent",
         Endpoint::signInitiate(person, "ab12", "SHA256"),
         "POST",
         "/desktop/v1/sign/initiate",
         {},
         {{"national_id", id}, {"document_hash", "ab12"}, {"hash_type", "SHA256"}}},
        {"signSession",
         Endpoint::signSession("s-2"),
         "GET",
         "/desktop/v1/sign/session/s-2",
         {},
         nullptr},
        {"signComplete",
         Endpoint::signComplete("s-2", "MEUCIQ", pem),
         "POST",
         "/desktop/v1/sign/complete/s-2",
         {},
         {{"signature", "MEUCIQ"}, {"certificate_pem", pemText}}},
        {"certificate",
         Endpoint::certificate(person),
         "GET",
         "/desktop/v1/certificate/" + id,
         {},
         nullptr},
        {"validateCertificate",
         Endpoint::validateCertificate(pem),
         "POST",
         "/desktop/v1/certificate/validate",
         {},
         {{"certificate_pem", pemText}}},
        {"submitCSR",
         Endpoint::submitCSR(pem, person),
         "POST",
         "/desktop/v1/token/provision/csr",
         {},
         {{"csr_pem", pemText}, {"national_id", id}}},
        {"orgList", Endpoint::orgList(person), "GET", "/web/org/list", {{"user_id", id}}, nullptr},
        {"orgLookup",
         Endpoint::orgLookup("6543210"),
         "GET",
         "/web/org/lookup/6543210",
         {},
         nullptr},
        {"orgRegister",
         Endpoint::orgRegister("6543210", "Номин ХХК", "", person),
         "POST",
         "/web/org/register",
         {},
         {{"reg_number", "6543210"},
          {"name", "Номин ХХК"},
          {"phone", ""},
          {"user_national_id", id}}},
        {"orgDetail", Endpoint::orgDetail("org-1"), "GET", "/web/org/org-1", {}, nullptr},
        {"orgMembers",
         Endpoint::orgMembers("org-1", person),
         "GET",
         "/web/org/org-1/members",
         {{"user_id", id}},
         nullptr},
        {"addOrgMember",
         Endpoint::addOrgMember("org-1", "АА11223344", "SIGNER", person),
         "POST",
         "/web/org/org-1/members/add",
         {},
         {{"national_id", "АА11223344"}, {"role", "SIGNER"}, {"user_national_id", id}}},
        {"removeOrgMember",
         Endpoint::removeOrgMember("org-1", "u-2", person),
         "DELETE",
         "/web/org/org-1/members/u-2",
         {{"user_id", id}},
         nullptr},
        {"cloudAuthURL",
         Endpoint::cloudAuthURL("google"),
         "GET",
         "/web/cloud/google/auth-url",
         {},
         nullptr},
        {"cloudCallback",
         Endpoint::cloudCallback("dropbox", "c0de"),
         "POST",
         "/web/cloud/dropbox/callback",
         {},
         {{"code", "c0de"}}},
        {"cloudToken",
         Endpoint::cloudToken("google"),
         "GET",
         "/web/cloud/google/token",
         {},
         nullptr},
        {"cloudDisconnect",
         Endpoint::cloudDisconnect("dropbox"),
         "DELETE",
         "/web/cloud/dropbox/disconnect",
         {},
         nullptr},
        {"cloudSignInitiate",
         Endpoint::cloudSignInitiate(person, "Гэрээ.pdf"),
         "POST",
         "/web/auth/initiate",
         {},
         {{"national_id", id}, {"display_text", "Гэрээ.pdf"}}},
        {"cloudSignStatus",
         Endpoint::cloudSignStatus("s-3"),
         "GET",
         "/web/auth/session/s-3",
         {},
         nullptr},
        {"qrInit", Endpoint::qrInit(), "POST", "/web/auth/qr/init", {}, nullptr},
        {"cloudConnections",
         Endpoint::cloudConnections(),
         "GET",
         "/web/cloud/connections",
         {},
         nullptr},
    };
}

class EndpointCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim().clearFaults();
        sim().clearRequestLog();
        // Every service route answers an empty object, so each request completes the same way.
        SelvorSimTesting::Fault empty;
        empty.path = "/*";
        empty.status = 200;
        empty.body = "{}";
        sim().addFault(empty);
    }

    // Sends the endpoint and returns the request as the simulator saw it.
    SelvorSimTesting::LoggedRequest sent(const Endpoint& endpoint) {
        sim().clearRequestLog();
        const auto outcome = run(client.request<OrgRemoveMemberResponse>(endpoint));
        EXPECT_TRUE(outcome.value.has_value());
        const auto log = sim().requestLog();
        if (log.size() != 1) {
            ADD_FAILURE() << log.size() << " requests reached the simulator";
            return {};
        }
        return log.front();
    }

    APIClient client{simBaseURL()};
};

TEST_F(EndpointCatalogueTest, everyCaseSendsItsMethodPathQueryBodyAndHeaders) {
    for (const Expected& expected : catalogue()) {
        SCOPED_TRACE(expected.name);
        const auto request = sent(expected.endpoint);
        EXPECT_EQ(request.method, expected.method);
        EXPECT_EQ(request.path, expected.path);
        EXPECT_EQ(request.query, expected.query);
        EXPECT_EQ(request.header("Accept"), "application/json");
        EXPECT_EQ(request.header("User-Agent"), "Selvor-Desktop/1.0");
        EXPECT_EQ(request.header("Authorization"), std::nullopt);
        EXPECT_EQ(request.header("Cookie"), std::nullopt);
        if (expected.body.is_null()) {
            EXPECT_EQ(request.body, "");
            EXPECT_EQ(request.header("Content-Type"), std::nullopt);
        } else {
            EXPECT_EQ(Json::parse(request.body), expected.body);
            EXPECT_EQ(request.header("Content-Type"), "application/json");
        }
    }
}

TEST_F(EndpointCatalogueTest, recordBodiesKeepFieldOrderAndEscapeSlashes) {
    EXPECT_EQ(sent(Endpoint::signComplete("s", "a/b", "p")).body,
              R"({"signature":"a\/b","certificate_pem":"p"})");
    EXPECT_EQ(
        sent(Endpoint::signInitiate("A", "h", "SHA256", std::nullopt, "x")).body,
        R"({"national_id":"A","document_hash":"h","hash_type":"SHA256","document_name":"x"})");
}

TEST_F(EndpointCatalogueTest, pathArgumentsCannotChangeThePathOrQuery) {
    const QString hostile = QStringLiteral("x?y=1&id=2#z w+");
    const auto status = sent(Endpoint::authSession(hostile));
    EXPECT_EQ(status.path, "/web/auth/session/" + hostile.toStdString());
    EXPECT_EQ(status.rawQuery, "");
    const auto dashboard = sent(Endpoint::dashboard(QStringLiteral("a&id=b#c d+e")));
    EXPECT_EQ(dashboard.path, "/web/dashboard");
    EXPECT_EQ(dashboard.query, (Pairs{{"id", "a&id=b#c d+e"}}));
}

TEST_F(EndpointCatalogueTest, dotSegmentArgumentsAreRefusedUnsent) {
    for (const QString& dots : {QStringLiteral(".."), QStringLiteral(".")}) {
        const auto outcome = run(client.request<OrgRemoveMemberResponse>(
            Endpoint::removeOrgMember(QStringLiteral("org-1"), dots, person)));
        EXPECT_EQ(outcome.errorAs<APIError>().kind(), APIError::Kind::invalidResponse);
    }
    EXPECT_TRUE(sim().requestLog().empty());
    EXPECT_EQ(sent(Endpoint::orgDetail(QStringLiteral("..a"))).path, "/web/org/..a");
}

TEST(Endpoint, pathArgumentsAreEncodedAsOneSegmentEach) {
    EXPECT_EQ(Endpoint::authSession("").path(), "/web/auth/session/");
    EXPECT_EQ(Endpoint::orgMembers("a/b", "x").path(), "/web/org/a%2Fb/members");
    EXPECT_EQ(Endpoint::removeOrgMember("a b", "c?d", "x").path(), "/web/org/a%20b/members/c%3Fd");
    EXPECT_EQ(Endpoint::orgDetail("a.b~c_d-e").path(), "/web/org/a.b~c_d-e");
    EXPECT_EQ(Endpoint::cloudToken("g d").path(), "/web/cloud/g%20d/token");
    EXPECT_EQ(Endpoint::qrStatus("Ө").path(), "/web/auth/qr/status/%D3%A8");
}

} // namespace
} // namespace Selvor::testing
