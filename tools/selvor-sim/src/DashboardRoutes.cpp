#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {

void addDashboardRoutes(Router& router, SimContext& context) {
    router.get("/web/dashboard", [&context](const auto& req, auto& res) {
        if (!queryValue(req.target, "id"))
            return sendError(res, 400, "id шаардлагатай");
        const auto dashboard = context.accounts.dashboard(queryParam(req, "id"));
        if (!dashboard)
            return sendError(res, 404, "Хэрэглэгч олдсонгүй");
        sendLarge(res, dashboard, "application/json");
    });
}

} // namespace SelvorSim
