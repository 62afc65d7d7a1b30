#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

void lookup(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto company = context.orgs.lookup(req.matches[1]);
    if (!company)
        return sendJson(res, {{"found", false}});
    nlohmann::json info = {{"name", company->name}};
    if (const auto director = context.accounts.person(company->directorId))
        info["ceo"] = director->fullName;
    if (!company->phone.empty())
        info["phone"] = company->phone;
    sendJson(res, {{"found", true}, {"organization", std::move(info)}});
}

void registerOrg(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    const auto caller =
        context.accounts.person(stringField(*body, "user_national_id").value_or(""));
    if (!caller)
        return sendError(res, 400, "user_national_id буруу байна");
    const auto company = context.orgs.lookup(stringField(*body, "reg_number").value_or(""));
    if (!company)
        return sendError(res, 404, "Байгууллага олдсонгүй");
    const auto director = context.accounts.person(company->directorId);
    if (!director)
        return sendError(res, 400, "Захирлын мэдээлэл олдсонгүй");
    Organizations::Failure failure{};
    const auto org = context.orgs.startRegistration(*company, *caller, failure);
    if (!org)
        return sendError(res, failure.status, failure.message);
    const PhoneRequest request =
        context.phone.startPush(Purpose::Director, *director,
                                "ААН бүртгэл: " + company->name + " (" + company->regNumber +
                                    "), хүсэгч " + caller->fullName,
                                {{"org_id", org->id}});
    sendJson(res, {{"session_id", request.id}, {"verification_code", request.verificationCode}});
}

void members(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    Organizations::Failure failure{};
    const auto org = context.orgs.visibleTo(req.matches[1], queryParam(req, "user_id"), failure);
    if (!org)
        return sendError(res, failure.status, failure.message);
    nlohmann::json list = nlohmann::json::array();
    for (const OrgMember& member : org->members)
        list.push_back(memberJson(org->id, member));
    sendJson(res, {{"members", std::move(list)}});
}

void addMember(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    const std::string role = stringField(*body, "role").value_or("");
    if (role != "SIGNER" && role != "ADMIN")
        return sendError(res, 400, "role нь SIGNER эсвэл ADMIN байна");
    const auto person = context.accounts.person(stringField(*body, "national_id").value_or(""));
    if (!person)
        return sendError(res, 400, "Регистрийн дугаар буруу байна");
    Organizations::Failure failure{};
    const std::string orgId = req.matches[1];
    const auto member = context.orgs.addMember(
        orgId, *person, role, stringField(*body, "user_national_id").value_or(""), failure);
    if (!member)
        return sendError(res, failure.status, failure.message);
    sendJson(res, memberJson(orgId, *member));
}

} // namespace

void addOrgRoutes(Router& router, SimContext& context) {
    router.get("/web/org/list", [&context](const auto& req, auto& res) {
        nlohmann::json list = nlohmann::json::array();
        for (const Organization& org : context.orgs.listFor(queryParam(req, "user_id")))
            list.push_back(organizationJson(org));
        sendJson(res, {{"organizations", std::move(list)}});
    });
    router.get(R"(/web/org/lookup/(.*))",
               [&context](const auto& req, auto& res) { lookup(context, req, res); });
    router.post("/web/org/register",
                [&context](const auto& req, auto& res) { registerOrg(context, req, res); });
    router.get(R"(/web/org/([^/]*)/members)",
               [&context](const auto& req, auto& res) { members(context, req, res); });
    router.post(R"(/web/org/([^/]*)/members/add)",
                [&context](const auto& req, auto& res) { addMember(context, req, res); });
    router.del(R"(/web/org/([^/]*)/members/(.*))", [&context](const auto& req, auto& res) {
        Organizations::Failure failure{};
        if (!context.orgs.removeMember(req.matches[1], req.matches[2], queryParam(req, "user_id"),
                                       failure))
            return sendError(res, failure.status, failure.message);
        sendJson(res, {{"success", true}});
    });
    router.get(R"(/web/org/([^/]*))", [&context](const auto& req, auto& res) {
        const auto org = context.orgs.find(req.matches[1]);
        if (!org)
            return sendError(res, 404, "Байгууллага олдсонгүй");
        nlohmann::json answer = organizationJson(*org);
        answer["member_count"] = org->members.size();
        sendJson(res, answer);
    });
}

} // namespace SelvorSim
