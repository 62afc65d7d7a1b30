#include "Digest.hpp"
#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

// Answers 404 for a provider the simulator does not keep files for.
bool knownProvider(const std::string& provider, httplib::Response& res) {
    if (isProvider(provider))
        return true;
    sendError(res, 404, "unknown provider: " + provider);
    return false;
}

void listFiles(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const std::string provider = req.matches[1];
    if (!knownProvider(provider, res))
        return;
    json list = json::array();
    for (const StoredFile& file : context.cloud.files(provider)) {
        list.push_back({{"id", file.id},
                        {"name", file.name},
                        {"folder", file.folder},
                        {"size", file.content->size()},
                        {"sha256", sha256Hex(*file.content)}});
    }
    sendJson(res, list);
}

void sendContent(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const std::string provider = req.matches[1];
    if (!knownProvider(provider, res))
        return;
    const auto file = context.cloud.file(provider, queryParam(req, "id"));
    if (!file)
        return sendError(res, 404, "no such file");
    sendLarge(res, file->content, "application/octet-stream");
}

} // namespace

void addCloudControlRoutes(httplib::Server& server, SimContext& context) {
    server.Get(R"(/control/cloud/([^/]+)/files)",
               [&context](const auto& req, auto& res) { listFiles(context, req, res); });
    server.Get(R"(/control/cloud/([^/]+)/content)",
               [&context](const auto& req, auto& res) { sendContent(context, req, res); });
    server.Post(R"(/control/cloud/([^/]+)/link)",
                withOptionalBody([&context](const auto& req, auto& res) {
                    const std::string provider = req.matches[1];
                    if (knownProvider(provider, res))
                        sendJson(res, {{"access_token", context.cloud.link(provider)}});
                }));
}

} // namespace SelvorSim
