#include "api/models/AuthModels.hpp"
#include "api/models/CloudModels.hpp"
#include "api/models/DashboardModels.hpp"
#include "api/models/ErrorResponse.hpp"
#include "api/models/KeyCase.hpp"
#include "api/models/OrgModels.hpp"
#include "api/models/SigningModels.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace Selvor {
namespace {

constexpr std::string_view dashboardBody = R"({
  "user": {"national_id": "УБ99112233", "full_name": "Батбаярын Болд", "kyc_level": "2",
           "status": "ACTIVE", "created_at": "2024-03-01T08:00:00Z", "photo": null},
  "devices": [{"device_id": "d1", "platform": "IOS", "status": "ACTIVE",
               "created_at": "2024-03-02T09:00:00Z"}],
  "certificates": 2,
  "sessions": [{"id": "s1", "session_type": "AUTH", "state": "COMPLETE", "result": "OK",
                "rp_name": "Хаан банк", "created_at": "2026-12-06T10:15:30Z", "extra": [1]}],
  "total_logins": 9007199254740993
})";

std::string replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string result(text);
    const auto at = result.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return result.replace(at, from.size(), to);
}

std::string decodeErrorOf(auto decode) {
    try {
        decode();
    } catch (const DecodeError& error) {
        return error.what();
    }
    return "no error";
}

TEST(KeyCase, snakeKeysBecomeCamelWithUnderscoresAtTheEndsKept) {
    EXPECT_EQ(camelKeyFromSnake("national_id"), "nationalId");
    EXPECT_EQ(camelKeyFromSnake("nationalId"), "nationalId");
    EXPECT_EQ(camelKeyFromSnake("verification_CODE"), "verificationCode");
    EXPECT_EQ(camelKeyFromSnake("ID_number"), "IDNumber");
    EXPECT_EQ(camelKeyFromSnake("a__b"), "aB");
    EXPECT_EQ(camelKeyFromSnake("_id"), "_id");
    EXPECT_EQ(camelKeyFromSnake("__rp_name__"), "__rpName__");
    EXPECT_EQ(camelKeyFromSnake("___"), "___");
    EXPECT_EQ(camelKeyFromSnake("x_1y"), "x1y");
    EXPECT_EQ(snakeKeyFromCamel("certificatePem"), "certificate_pem");
    EXPECT_EQ(snakeKeyFromCamel("state"), "state");
}

TEST(ModelDecoding, dashboardDecodesSnakeKeysAtEveryLevel) {
    const auto data = decodeJson<DashboardData>(dashboardBody);
    EXPECT_EQ(data.user.nationalId, "УБ99112233");
    EXPECT_EQ(data.user.fullName, "Батбаярын Болд");
    EXPECT_FALSE(data.user.photo.has_value());
    ASSERT_EQ(data.devices.size(), 1u);
    EXPECT_EQ(data.devices[0].deviceId, "d1");
    EXPECT_FALSE(data.devices[0].lastUsedAt.has_value());
    EXPECT_EQ(data.certificates, 2);
    ASSERT_EQ(data.sessions.size(), 1u);
    EXPECT_EQ(data.sessions[0].rpName, "Хаан банк");
    EXPECT_EQ(data.sessions[0].sessionType, "AUTH");
    EXPECT_EQ(data.totalLogins, 9007199254740993);
}

TEST(ModelDecoding, snakeAndCamelKeysFillTheSameField) {
    const auto snake =
        decodeJson<AuthInitiateResponse>(R"({"session_id": "a", "verification_code": "12"})");
    const auto camel =
        decodeJson<AuthInitiateResponse>(R"({"sessionId": "a", "verificationCode": "12"})");
    EXPECT_EQ(snake.sessionId, camel.sessionId);
    EXPECT_EQ(snake.verificationCode, "12");
    EXPECT_EQ(camel.verificationCode, "12");
    const auto provider = decodeJson<CloudConnectionsResponse>(
        R"({"connections": [{"provider": "google_drive", "provider_email": "a@b.mn"}]})");
    EXPECT_EQ(provider.connections.at(0).providerEmail, "a@b.mn");
}

TEST(ModelDecoding, underscoresAtTheEndsMustMatchTheModelKey) {
    EXPECT_NE(decodeErrorOf([] { decodeJson<SignStatusResponse>(R"({"_state": "X"})"); }),
              "no error");
    EXPECT_NE(decodeErrorOf([] { decodeJson<SignStatusResponse>(R"({"state_": "X"})"); }),
              "no error");
    EXPECT_EQ(decodeJson<CloudTokenResponse>(R"({"access__token": "t"})").accessToken, "t");
}

TEST(ModelDecoding, missingNullOrWronglyTypedRequiredValuesFailWithTheirPlace) {
    EXPECT_EQ(decodeErrorOf([] {
                  decodeJson<DashboardData>(replaced(dashboardBody, R"("certificates": 2,)", ""));
              }),
              "body: missing key \"certificates\"");
    EXPECT_EQ(decodeErrorOf([] {
                  decodeJson<DashboardData>(
                      replaced(dashboardBody, R"("certificates": 2)", R"("certificates": [])"));
              }),
              "body.certificates: expected an integer, found array");
    EXPECT_EQ(decodeErrorOf([] {
                  decodeJson<DashboardData>(replaced(dashboardBody, R"("id": "s1", )", ""));
              }),
              "body.sessions[0]: missing key \"id\"");
    EXPECT_EQ(decodeErrorOf([] {
                  decodeJson<DashboardData>(
                      replaced(dashboardBody, R"("rp_name": "Хаан банк")", R"("rp_name": null)"));
              }),
              "body.sessions[0].rpName: null where a value is required");
    EXPECT_EQ(decodeErrorOf([] { decodeJson<OrgListResponse>(R"({"organizations": [null]})"); }),
              "body.organizations[0]: null where a value is required");
    EXPECT_EQ(decodeErrorOf([] { decodeJson<CloudCallbackResponse>(R"({"connected": 1})"); }),
              "body.connected: expected a boolean, found number");
    EXPECT_EQ(decodeErrorOf([] { decodeJson<QRInitResponse>(R"({"token": 5, "qr_data": ""})"); }),
              "body.token: expected a string, found number");
}

TEST(ModelDecoding, optionalValuesMayBeAbsentOrNullButNotWronglyTyped) {
    const auto bare = decodeJson<AuthStatusResponse>(R"({"state": "RUNNING"})");
    EXPECT_FALSE(bare.result.has_value());
    EXPECT_FALSE(bare.identity.has_value());
    const auto nulls =
        decodeJson<AuthStatusResponse>(R"({"state": "X", "result": null, "identity": null})");
    EXPECT_FALSE(nulls.result.has_value());
    const auto full = decodeJson<AuthStatusResponse>(
        R"({"state": "COMPLETE", "result": "OK",
            "identity": {"national_id": "АА00000000", "full_name": "Д. Сараа"}})");
    EXPECT_EQ(full.identity->fullName, "Д. Сараа");
    EXPECT_EQ(
        decodeErrorOf([] { decodeJson<AuthStatusResponse>(R"({"state": "X", "result": 1})"); }),
        "body.result: expected a string, found number");
    EXPECT_EQ(decodeErrorOf([] {
                  decodeJson<AuthStatusResponse>(
                      R"({"state": "X", "identity": {"national_id": "A"}})");
              }),
              "body.identity: missing key \"fullName\"");
    const auto lookup = decodeJson<OrgLookupResponse>(R"({"found": true})");
    EXPECT_TRUE(lookup.found);
    EXPECT_FALSE(lookup.organization.has_value());
}

TEST(ModelDecoding, integersAreSigned64BitAndExact) {
    const auto count = [](std::string_view value) {
        return decodeJson<ErrorResponse>(R"({"error": "e", "code": )" + std::string(value) + "}")
            .code;
    };
    EXPECT_EQ(count("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(count("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(count("42.0"), 42);
    EXPECT_EQ(count("1e3"), 1000);
    for (const char* bad : {"9223372036854775808", "1.5", "1e30", "true", "\"42\""})
        EXPECT_NE(decodeErrorOf([&] { count(bad); }), "no error") << bad;
}

TEST(ModelDecoding, bodiesThatAreNotJsonObjectsFail) {
    for (const char* bad : {"", "   ", "<html>502</html>", "[]", "null", "{\"state\": \"X\"} x",
                            "{\"state\": \"\xff\"}"})
        EXPECT_NE(decodeErrorOf([&] { decodeJson<SignStatusResponse>(bad); }), "no error") << bad;
}

TEST(ModelDecoding, googleDriveListingReadsItsOwnKeys) {
    const auto listing = decodeJson<GoogleDriveFiles>(
        R"({"kind": "drive#fileList", "files": [{"id": "1", "name": "Гэрээ.pdf", "mimeType": "x"}]})");
    ASSERT_EQ(listing.files.size(), 1u);
    EXPECT_EQ(listing.files[0].name, "Гэрээ.pdf");
    EXPECT_NE(decodeErrorOf([] { decodeJson<GoogleDriveFiles>(R"({"error": {"code": 401}})"); }),
              "no error");
    EXPECT_NE(decodeErrorOf([] { decodeJson<GoogleDriveFiles>(R"({"files": [{"id": "1"}]})"); }),
              "no error");
}

TEST(ModelDecoding, removalAnswerIsAnObjectOfBooleansWithKeysAsSent) {
    const auto answer = decodeJson<OrgRemoveMemberResponse>(R"({"is_removed": true, "ok": false})");
    EXPECT_EQ(answer, (OrgRemoveMemberResponse{{"is_removed", true}, {"ok", false}}));
    EXPECT_TRUE(decodeJson<OrgRemoveMemberResponse>("{}").empty());
    for (const char* bad : {R"({"ok": 1})", R"({"ok": null})", "[]", "true"})
        EXPECT_NE(decodeErrorOf([&] { decodeJson<OrgRemoveMemberResponse>(bad); }), "no error")
            << bad;
}

TEST(ModelEncoding, recordsWriteSnakeKeysInFieldOrderAndLeaveAbsentValuesOut) {
    EXPECT_EQ(encodeJson(SignInitiateRequest{"УБ1", "ab", "SHA256", std::nullopt, std::nullopt}),
              R"({"national_id":"УБ1","document_hash":"ab","hash_type":"SHA256"})");
    EXPECT_EQ(encodeJson(SignInitiateRequest{"A", "b", "c", "d", "e"}),
              R"({"national_id":"A","document_hash":"b","hash_type":"c","display_text":"d",)"
              R"("document_name":"e"})");
    EXPECT_EQ(encodeJson(CSRSubmitRequest{"-----BEGIN/\n\"x\"", "A"}),
              R"({"csr_pem":"-----BEGIN\/\n\"x\"","national_id":"A"})");
    EXPECT_EQ(encodeJson(SignCompleteRequest{"s/1", "p"}),
              R"({"signature":"s\/1","certificate_pem":"p"})");
}

TEST(ModelEncoding, encodedResponsesDecodeBackUnchanged) {
    const auto original = decodeJson<DashboardData>(dashboardBody);
    const auto again = decodeJson<DashboardData>(encodeJson(original));
    EXPECT_EQ(again.user.createdAt, original.user.createdAt);
    EXPECT_EQ(again.sessions.at(0).rpName, "Хаан банк");
    EXPECT_EQ(again.totalLogins, original.totalLogins);
    EXPECT_NE(encodeJson(original).find(R"("total_logins":9007199254740993)"), std::string::npos);
}

} // namespace
} // namespace Selvor
