#include "HtmlPage.hpp"
#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

// Only the desktop application's own scheme is a valid callback: no open redirect.
bool isAllowedCallback(const std::string& uri) {
    return uri.starts_with("selvorlogin:");
}

void portalPage(SimContext& context, const httplib::Request& req, httplib::Response& res,
                const std::string& error = {}) {
    const std::string callback = req.get_param_value("callback_uri");
    if (!isAllowedCallback(callback))
        return sendHtml(res,
                        htmlPage("Selvor", "<h1>Selvor</h1><div class=\"card\">callback_uri "
                                           "буруу эсвэл байхгүй байна.</div>"),
                        400);
    std::string options = "<option value=\"\">— Сонгох —</option>";
    for (const Person& person : context.accounts.seeded())
        options += "<option value=\"" + htmlEscape(person.nationalId) + "\">" +
                   htmlEscape(person.fullName + " (" + person.nationalId + ")") + "</option>";
    std::string body =
        "<h1>Selvor</h1><p class=\"muted\">Тоон гарын үсгийн систем · Вэб нэвтрэлт</p>";
    if (!error.empty())
        body += "<div class=\"card\" style=\"color:var(--red)\">" + htmlEscape(error) + "</div>";
    body += "<form class=\"card\" method=\"get\" action=\"/portal/continue\">"
            "<input type=\"hidden\" name=\"callback_uri\" value=\"" +
            htmlEscape(callback) +
            "\"><label for=\"person\">Хэрэглэгч сонгох</label><select id=\"person\" "
            "name=\"person\">" +
            options +
            "</select><label for=\"nid\">Эсвэл регистрийн дугаар</label><input id=\"nid\" "
            "name=\"national_id\" placeholder=\"УП91042312\"><label for=\"name\">Нэр "
            "(заавал биш)</label><input id=\"name\" name=\"name\">"
            "<button class=\"primary\" style=\"width:100%\">Нэвтрэх</button></form>";
    sendHtml(res, htmlPage("Selvor вэб нэвтрэлт", body), error.empty() ? 200 : 400);
}

void portalContinue(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const std::string callback = req.get_param_value("callback_uri");
    if (!isAllowedCallback(callback))
        return portalPage(context, req, res);
    std::string typed = req.get_param_value("national_id");
    typed.erase(0, typed.find_first_not_of(" \t"));
    typed.erase(typed.find_last_not_of(" \t") + 1);
    const auto person =
        context.accounts.person(typed.empty() ? req.get_param_value("person") : typed);
    if (!person)
        return portalPage(context, req, res, "Регистрийн дугаар буруу байна.");
    const std::string typedName = req.get_param_value("name");
    const std::string location = callback + (callback.find('?') == std::string::npos ? "?" : "&") +
                                 "national_id=" + percentEncode(person->nationalId) + "&name=" +
                                 percentEncode(typedName.empty() ? person->fullName : typedName);
    context.accounts.recordSession(person->nationalId, "AUTH", "OK", "Selvor вэб");
    sendRedirect(res, location, "Selvor Desktop нээх");
}

} // namespace

void addPortalRoutes(Router& router, SimContext& context) {
    router.get("/", [&context](const auto& req, auto& res) { portalPage(context, req, res); });
    router.get("/portal/continue",
               [&context](const auto& req, auto& res) { portalContinue(context, req, res); });
}

} // namespace SelvorSim
