#include "Simulator.hpp"

#include "ControlAccess.hpp"
#include "Http.hpp"
#include "Routes.hpp"
#include "UpdatePackage.hpp"

namespace SelvorSim {
namespace {

// Stalled requests hold a worker each; enough workers keep the rest of a test responsive.
constexpr std::size_t workerThreads = 48;

} // namespace

Simulator::Simulator(Options options) {
    m_context.options = std::move(options);
    m_context.controlToken = newControlToken();
    m_context.appcast.change(m_context.options.appcastVersion, m_context.options.appcastVariant);
    // Built before the port is printed, so the first feed request does not wait for it.
    updatePackage(static_cast<std::size_t>(m_context.options.updateSizeKb) * 1024);
    for (const LargeHistory& large : m_context.options.largeHistories)
        m_context.accounts.giveLargeHistory(large.nationalId, large.sessions);
    if (m_context.options.autoApproveSeconds) {
        m_context.phone.setAutoApprove(std::chrono::milliseconds(static_cast<long long>(
                                           *m_context.options.autoApproveSeconds * 1000)),
                                       m_context.accounts.seeded().front());
    }
    for (const std::string& provider : m_context.options.linkedProviders)
        m_context.cloud.link(provider);
    if (m_context.options.largeCloudFileMb)
        m_context.cloud.addLargeFile(static_cast<std::size_t>(*m_context.options.largeCloudFileMb));
    m_context.phone.setDecisionListener(
        [this](const PhoneRequest& request) { onDecision(request); });

    m_server.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // Loopback clients send back-to-back requests on one connection; without this every answer
    // waits for the peer's delayed ACK.
    m_server.set_tcp_nodelay(true);
    // Unrouted requests get the service's error body and still show in the request log.
    m_server.set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request& req, httplib::Response& res) {
            if (!res.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            m_context.log.record(req);
            sendError(res, res.status, res.status == 404 ? "Олдсонгүй" : "Буруу хүсэлт");
            return httplib::Server::HandlerResponse::Handled;
        }));

    // Runs before routing and before a body is read, so no control handler sees a request
    // without the token.
    m_server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const bool control = req.path == "/control" || req.path.starts_with("/control/");
        return !control || admitControlRequest(req, res, m_context.controlToken)
                   ? httplib::Server::HandlerResponse::Unhandled
                   : httplib::Server::HandlerResponse::Handled;
    });

    m_server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                sendError(res, 500, e.what());
            }
        });

    Router router(m_server, m_context.log, m_context.faults);
    addAuthRoutes(router, m_context);
    addQrRoutes(router, m_context);
    addDashboardRoutes(router, m_context);
    addSigningRoutes(router, m_context);
    addOrgRoutes(router, m_context);
    addCloudRoutes(router, m_context);
    addGoogleDriveRoutes(router, m_context);
    addDropboxRoutes(router, m_context);
    addPortalRoutes(router, m_context);
    addAppcastRoutes(router, m_context);
    addPhoneRoutes(m_server, m_context);
    addControlRoutes(m_server, m_context);
    addCloudControlRoutes(m_server, m_context);
}

void Simulator::onDecision(const PhoneRequest& request) {
    const bool approved = request.decision == Decision::Approved;
    switch (request.purpose) {
    case Purpose::SignIn:
    case Purpose::QrSignIn:
        if (!request.nationalId.empty())
            m_context.accounts.recordSession(request.nationalId, "AUTH",
                                             approved ? "OK" : "USER_REFUSED", "Selvor Desktop");
        break;
    case Purpose::Signing:
        m_context.accounts.recordSession(request.nationalId, "SIGN",
                                         approved ? "OK" : "USER_REFUSED", "Selvor Desktop");
        break;
    case Purpose::Director:
        m_context.orgs.finishRegistration(request.payload.value("org_id", ""), approved);
        break;
    }
}

int Simulator::bind() {
    if (m_context.options.port == 0)
        return m_server.bind_to_any_port("127.0.0.1");
    return m_server.bind_to_port("127.0.0.1", m_context.options.port) ? m_context.options.port : -1;
}

bool Simulator::listen() {
    return m_server.listen_after_bind();
}

} // namespace SelvorSim
