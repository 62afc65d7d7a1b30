#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

constexpr const char* signInText = "Selvor Desktop нэвтрэлт";

void initiate(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    const auto nationalId = stringField(*body, "national_id");
    if (!nationalId || nationalId->empty())
        return sendError(res, 400, "national_id шаардлагатай");
    const auto person = context.accounts.person(*nationalId);
    if (!person)
        return sendError(res, 400, "Регистрийн дугаар буруу байна");
    const std::string displayText = stringField(*body, "display_text").value_or(signInText);
    // Any other text comes from a signing confirmation, whose refusal reads differently.
    const Purpose purpose = displayText == signInText ? Purpose::SignIn : Purpose::Signing;
    const PhoneRequest request = context.phone.startPush(purpose, *person, displayText);
    sendJson(res, {{"session_id", request.id}, {"verification_code", request.verificationCode}});
}

void status(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto request = context.phone.find(req.matches[1]);
    if (!request || request->purpose == Purpose::QrSignIn)
        return sendError(res, 404, "Сесс олдсонгүй");
    sendJson(res, pushStatusJson(*request));
}

} // namespace

nlohmann::json pushStatusJson(const PhoneRequest& request) {
    switch (request.decision) {
    case Decision::Pending:
        return {{"state", "RUNNING"}};
    case Decision::Approved: {
        nlohmann::json answer = {{"state", "COMPLETE"}, {"result", "OK"}};
        if (request.purpose != Purpose::Director)
            answer["identity"] = {{"national_id", request.nationalId}, {"full_name", request.name}};
        return answer;
    }
    case Decision::Refused:
        return {{"state", "COMPLETE"},
                {"result", request.purpose == Purpose::Signing ? "USER_REFUSED" : "REFUSED"}};
    case Decision::Expired:
        // Director and signing waits only stop on COMPLETE; a sign-in stops on EXPIRED too.
        return {{"state", request.purpose == Purpose::SignIn ? "EXPIRED" : "COMPLETE"},
                {"result", "EXPIRED"}};
    }
    return {{"state", "RUNNING"}};
}

void addAuthRoutes(Router& router, SimContext& context) {
    router.post("/web/auth/initiate",
                [&context](const auto& req, auto& res) { initiate(context, req, res); });
    router.get(R"(/web/auth/session/(.*))",
               [&context](const auto& req, auto& res) { status(context, req, res); });
}

} // namespace SelvorSim
