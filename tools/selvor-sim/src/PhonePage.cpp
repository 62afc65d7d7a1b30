#include "HtmlPage.hpp"
#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

std::string codeBoxes(const std::string& code) {
    std::string html = "<div class=\"code\">";
    for (const char digit : code)
        html += "<span>" + htmlEscape(std::string(1, digit)) + "</span>";
    return html + "</div>";
}

std::string decisionButtons(const std::string& id) {
    const std::string base = "/phone/requests/" + percentEncode(id);
    return "<div class=\"actions\"><form method=\"post\" action=\"" + base +
           "/approve\" style=\"flex:1;display:flex\"><button class=\"approve\">Зөвшөөрөх</button>"
           "</form><form method=\"post\" action=\"" +
           base +
           "/refuse\" style=\"flex:1;display:flex\"><button class=\"refuse\">Татгалзах</button>"
           "</form></div>";
}

std::string scanForm(const PhoneRequest& request, const std::vector<Person>& people) {
    std::string options;
    for (const Person& person : people)
        options += "<option value=\"" + htmlEscape(person.nationalId) + "\">" +
                   htmlEscape(person.fullName + " (" + person.nationalId + ")") + "</option>";
    const std::string token = percentEncode(request.id);
    return "<p class=\"muted\">QR код скан хийгдээгүй байна.</p><form method=\"post\" "
           "action=\"/phone/qr/" +
           token + "/scan\"><label for=\"who-" + token +
           "\">Хэн скан хийх вэ?</label><select id=\"who-" + token + "\" name=\"national_id\">" +
           options +
           "</select><button class=\"primary\" style=\"width:100%\">QR код скан хийх</button>"
           "</form>";
}

std::string requestCard(const PhoneRequest& request, const std::vector<Person>& people) {
    std::string html =
        "<div class=\"card\"><strong>" + htmlEscape(request.displayText) + "</strong>";
    if (!request.nationalId.empty())
        html += "<p class=\"muted\">" + htmlEscape(request.name) + " · " +
                htmlEscape(request.nationalId) + "</p>";
    if (request.purpose == Purpose::QrSignIn && !request.scanned)
        return html + scanForm(request, people) + "</div>";
    return html + "<p class=\"muted\">Дэлгэц дээрх кодтой тулгана уу</p>" +
           codeBoxes(request.verificationCode) + decisionButtons(request.id) + "</div>";
}

void phonePage(SimContext& context, httplib::Response& res) {
    const std::vector<PhoneRequest> pending = context.phone.pending();
    const std::vector<Person> people = context.accounts.seeded();
    std::string body = "<h1>Selvor утас</h1><p class=\"muted\">Баталгаажуулах хүсэлтүүд</p>";
    bool scanFormShown = false;
    for (const PhoneRequest& request : pending) {
        body += requestCard(request, people);
        scanFormShown |= request.purpose == Purpose::QrSignIn && !request.scanned;
    }
    if (pending.empty())
        body += "<div class=\"card muted\">Хүлээгдэж буй хүсэлт алга.</div>";
    // A page with a scan form is not refreshed, so a choice in it is never lost.
    sendHtml(res, htmlPage("Selvor утас",
                           body + "<p class=\"muted\"><a href=\"/phone\">Шинэчлэх</a></p>",
                           scanFormShown ? 0 : 3));
}

void backToPhone(httplib::Response& res, PhoneRequests::Outcome outcome) {
    if (outcome != PhoneRequests::Outcome::Done && outcome != PhoneRequests::Outcome::NotPending)
        return sendHtml(res,
                        htmlPage("Selvor утас", "<div class=\"card\">Хүсэлт олдсонгүй. "
                                                "<a href=\"/phone\">Буцах</a></div>"),
                        404);
    res.status = 303;
    res.set_header("Location", "/phone");
}

} // namespace

void addPhoneRoutes(httplib::Server& server, SimContext& context) {
    server.Get("/phone", [&context](const auto&, auto& res) { phonePage(context, res); });
    server.Post(R"(/phone/requests/([^/]+)/(approve|refuse))",
                withOptionalBody([&context](const auto& req, auto& res) {
                    backToPhone(res,
                                context.phone.decide(req.matches[1], req.matches[2] == "approve"
                                                                         ? Decision::Approved
                                                                         : Decision::Refused));
                }));
    // The form body is URL-encoded like a query.
    server.Post(
        R"(/phone/qr/([^/]+)/scan)", withOptionalBody([&context](const auto& req, auto& res) {
            const auto person =
                context.accounts.person(queryValue("?" + req.body, "national_id").value_or(""));
            backToPhone(res, person ? context.phone.scan(req.matches[1], *person)
                                    : PhoneRequests::Outcome::Unknown);
        }));
}

} // namespace SelvorSim
