#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

nlohmann::json qrStatusJson(const PhoneRequest& request) {
    switch (request.decision) {
    case Decision::Pending:
        if (!request.scanned)
            return {{"state", "WAITING"}};
        return {{"state", "RUNNING"}, {"verification_code", request.verificationCode}};
    case Decision::Approved:
        return {{"state", "COMPLETE"},
                {"result", "OK"},
                {"national_id", request.nationalId},
                {"user_name", request.name},
                {"kyc_level", request.kycLevel},
                {"verification_code", request.verificationCode}};
    case Decision::Refused:
        return {{"state", "COMPLETE"}, {"result", "USER_REFUSED"}};
    case Decision::Expired:
        return {{"state", "EXPIRED"}};
    }
    return {{"state", "WAITING"}};
}

} // namespace

void addQrRoutes(Router& router, SimContext& context) {
    router.post("/web/auth/qr/init", [&context](const auto&, auto& res) {
        const PhoneRequest request = context.phone.startQr();
        sendJson(res, {{"token", request.id}, {"qr_data", "selvor://auth/qr?token=" + request.id}});
    });
    router.get(R"(/web/auth/qr/status/(.*))", [&context](const auto& req, auto& res) {
        const auto request = context.phone.find(req.matches[1]);
        if (!request || request->purpose != Purpose::QrSignIn)
            return sendError(res, 404, "QR сесс олдсонгүй");
        sendJson(res, qrStatusJson(*request));
    });
}

} // namespace SelvorSim
