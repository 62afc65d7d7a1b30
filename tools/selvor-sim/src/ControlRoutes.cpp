#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

nlohmann::json requestJson(const PhoneRequest& request) {
    return {{"id", request.id},
            {"kind", request.purpose == Purpose::QrSignIn ? "qr" : "push"},
            {"purpose", purposeName(request.purpose)},
            {"national_id", request.nationalId},
            {"name", request.name},
            {"display_text", request.displayText},
            {"verification_code", request.verificationCode},
            {"scanned", request.scanned},
            {"state", decisionName(request.decision)},
            {"created_at", request.createdAt}};
}

void sendOutcome(httplib::Response& res, PhoneRequests::Outcome outcome) {
    switch (outcome) {
    case PhoneRequests::Outcome::Done:
        return sendJson(res, {{"success", true}});
    case PhoneRequests::Outcome::Unknown:
        return sendError(res, 404, "no such request");
    case PhoneRequests::Outcome::NotPending:
        return sendError(res, 409, "already decided");
    case PhoneRequests::Outcome::NotScanned:
        return sendError(res, 409, "QR code not scanned");
    case PhoneRequests::Outcome::AlreadyScanned:
        return sendError(res, 409, "QR code already scanned");
    }
}

Decision decisionFromAction(const std::string& action) {
    if (action == "approve")
        return Decision::Approved;
    if (action == "refuse")
        return Decision::Refused;
    return Decision::Expired;
}

void scan(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const nlohmann::json body = req.body.empty() ? nlohmann::json::object()
                                                 : nlohmann::json::parse(req.body, nullptr, false);
    if (!body.is_object())
        return sendError(res, 400, "body is not a JSON object");
    const std::string nationalId =
        stringField(body, "national_id").value_or(context.accounts.seeded().front().nationalId);
    const auto person = context.accounts.person(nationalId);
    if (!person)
        return sendError(res, 400, "malformed register number");
    sendOutcome(res, context.phone.scan(req.matches[1], *person));
}

void addFault(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    try {
        sendJson(res, {{"id", context.faults.add(faultFromJson(*body))}});
    } catch (const std::invalid_argument& error) {
        sendError(res, 400, error.what());
    }
}

// Both fields are optional; what is left out stays as it was.
void switchAppcast(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const nlohmann::json body = req.body.empty() ? nlohmann::json::object()
                                                 : nlohmann::json::parse(req.body, nullptr, false);
    if (!body.is_object())
        return sendError(res, 400, "body is not a JSON object");
    const std::optional<std::string> version = stringField(body, "version");
    if (body.contains("version") && (!version || version->empty()))
        return sendError(res, 400, "version must be a non-empty string");
    const std::optional<FeedVariant> variant =
        feedVariantFromName(stringField(body, "variant").value_or(""));
    if (body.contains("variant") && !variant)
        return sendError(res, 400, "variant must be signed, tampered, truncated or malformed");
    const UpdateFeed::State state = context.appcast.change(version, variant);
    sendJson(res, {{"version", state.version}, {"variant", feedVariantName(state.variant)}});
}

} // namespace

void addControlRoutes(httplib::Server& server, SimContext& context) {
    server.Get("/control/pending", [&context](const auto&, auto& res) {
        nlohmann::json list = nlohmann::json::array();
        for (const PhoneRequest& request : context.phone.pending())
            list.push_back(requestJson(request));
        sendJson(res, {{"requests", std::move(list)}});
    });
    server.Get(R"(/control/requests/([^/]+))", [&context](const auto& req, auto& res) {
        const auto request = context.phone.find(req.matches[1]);
        if (!request)
            return sendError(res, 404, "no such request");
        sendJson(res, requestJson(*request));
    });
    server.Post(R"(/control/requests/([^/]+)/(approve|refuse|expire))",
                withOptionalBody([&context](const auto& req, auto& res) {
                    sendOutcome(res, context.phone.decide(req.matches[1],
                                                          decisionFromAction(req.matches[2])));
                }));
    server.Post(
        R"(/control/qr/([^/]+)/scan)",
        withOptionalBody([&context](const auto& req, auto& res) { scan(context, req, res); }));
    server.Get("/control/faults",
               [&context](const auto&, auto& res) { sendJson(res, context.faults.toJson()); });
    server.Post("/control/faults", withOptionalBody([&context](const auto& req, auto& res) {
                    addFault(context, req, res);
                }));
    server.Delete("/control/faults", withOptionalBody([&context](const auto&, auto& res) {
                      context.faults.clear();
                      sendJson(res, {{"success", true}});
                  }));
    server.Post("/control/appcast", withOptionalBody([&context](const auto& req, auto& res) {
                    switchAppcast(context, req, res);
                }));
    server.Get("/control/log",
               [&context](const auto&, auto& res) { sendJson(res, context.log.toJson()); });
    server.Delete("/control/log", withOptionalBody([&context](const auto&, auto& res) {
                      context.log.clear();
                      sendJson(res, {{"success", true}});
                  }));
}

} // namespace SelvorSim
