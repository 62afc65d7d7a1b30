#include "HtmlPage.hpp"
#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

std::string displayName(const std::string& provider) {
    return provider == "google" ? "Google Drive" : "Dropbox";
}

// Answers 404 for a provider the service does not know; true when the provider is known.
bool knownProvider(const std::string& provider, httplib::Response& res) {
    if (isProvider(provider))
        return true;
    sendError(res, 404, "Үйлчилгээ үзүүлэгч олдсонгүй");
    return false;
}

void consentPage(const httplib::Request& req, httplib::Response& res) {
    const std::string provider = req.matches[1];
    const std::string state = percentEncode(queryParam(req, "state"));
    const std::string base = "/cloud/consent/" + provider;
    sendHtml(res, htmlPage(displayName(provider) + " зөвшөөрөл",
                           "<h1>" + displayName(provider) +
                               "</h1><p class=\"muted\">Selvor Desktop таны файлуудыг унших, "
                               "гарын үсэгтэй хуулбарыг хадгалах зөвшөөрөл хүсэж байна.</p>"
                               "<div class=\"card\"><div class=\"actions\">"
                               "<a id=\"allow\" class=\"button approve\" href=\"" +
                               base + "/allow?state=" + state +
                               "\">Зөвшөөрөх</a><a id=\"deny\" class=\"button refuse\" href=\"" +
                               base + "/deny?state=" + state + "\">Татгалзах</a></div></div>"));
}

void consentAnswer(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const std::string provider = req.matches[1];
    std::string location =
        "selvorlogin://cloud/callback?state=" + percentEncode(queryParam(req, "state"));
    if (req.matches[2] == "allow")
        location += "&code=" + percentEncode(context.cloud.issueConsentCode(provider));
    else
        location += "&error=access_denied";
    sendRedirect(res, location, "Selvor Desktop руу буцах");
}

} // namespace

void addCloudRoutes(Router& router, SimContext& context) {
    router.get("/web/cloud/connections", [&context](const auto&, auto& res) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& [provider, email] : context.cloud.connections())
            list.push_back({{"provider", provider}, {"provider_email", email}});
        sendJson(res, {{"connections", std::move(list)}});
    });
    router.get(R"(/web/cloud/([^/]*)/auth-url)", [&context](const auto& req, auto& res) {
        const std::string provider = req.matches[1];
        if (knownProvider(provider, res))
            sendJson(res, {{"url", originOf(req) + "/cloud/consent/" + provider +
                                       "?state=" + randomHex(16)}});
    });
    router.post(R"(/web/cloud/([^/]*)/callback)", [&context](const auto& req, auto& res) {
        const std::string provider = req.matches[1];
        if (!knownProvider(provider, res))
            return;
        const auto body = readJsonObject(req, res);
        if (!body)
            return;
        const auto code = stringField(*body, "code");
        sendJson(res, {{"connected", code && context.cloud.redeemConsentCode(provider, *code)}});
    });
    router.get(R"(/web/cloud/([^/]*)/token)", [&context](const auto& req, auto& res) {
        const std::string provider = req.matches[1];
        if (!knownProvider(provider, res))
            return;
        const auto token = context.cloud.accessToken(provider);
        if (!token)
            return sendError(res, 404, displayName(provider) + " холбогдоогүй байна");
        sendJson(res, {{"access_token", *token}, {"token_type", "Bearer"}});
    });
    router.del(R"(/web/cloud/([^/]*)/disconnect)", [&context](const auto& req, auto& res) {
        const std::string provider = req.matches[1];
        if (knownProvider(provider, res))
            sendJson(res, {{"success", context.cloud.disconnect(provider)}});
    });
    router.get(R"(/cloud/consent/(google|dropbox))",
               [](const auto& req, auto& res) { consentPage(req, res); });
    router.get(R"(/cloud/consent/(google|dropbox)/(allow|deny))",
               [&context](const auto& req, auto& res) { consentAnswer(context, req, res); });
}

} // namespace SelvorSim
