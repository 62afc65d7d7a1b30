#include "Http.hpp"
#include "Routes.hpp"

#include <algorithm>

namespace SelvorSim {
namespace {

constexpr const char* provider = "google";

void sendGoogleError(httplib::Response& res, int status, const std::string& reason,
                     const std::string& message) {
    sendJson(res,
             {{"error",
               {{"code", status},
                {"message", message},
                {"errors", {{{"message", message}, {"domain", "global"}, {"reason", reason}}}}}}},
             status);
}

bool authorised(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (context.cloud.acceptsBearer(provider, req.get_header_value("Authorization")))
        return true;
    sendGoogleError(res, 401, "authError",
                    "Request had invalid authentication credentials. Expected OAuth 2 access "
                    "token, login cookie or other valid authentication credential.");
    return false;
}

void list(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (!authorised(context, req, res))
        return;
    // Only the listing the desktop client sends is served, so a drift in it shows up at once.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"q", "mimeType!='application/vnd.google-apps.folder'"},
        {"fields", "files(id,name)"},
        {"pageSize", "20"},
        {"orderBy", "modifiedTime desc"}};
    if (queryItems(req.target) != expected)
        return sendGoogleError(res, 400, "invalid", "Unsupported listing query: " + req.target);
    std::vector<StoredFile> files = context.cloud.files(provider);
    std::erase_if(files, [](const StoredFile& f) { return f.folder; });
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.modified > b.modified; });
    nlohmann::json answer = nlohmann::json::array();
    for (std::size_t i = 0; i < files.size() && i < 20; ++i)
        answer.push_back({{"id", files[i].id}, {"name", files[i].name}});
    sendJson(res, {{"files", std::move(answer)}});
}

void download(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (!authorised(context, req, res))
        return;
    const auto file = context.cloud.file(provider, req.matches[1]);
    if (!file)
        return sendGoogleError(res, 404, "notFound", "File not found: " + req.matches[1].str());
    if (queryParam(req, "alt") == "media")
        return sendLarge(res, file->content, "application/octet-stream");
    sendJson(res, {{"kind", "drive#file"}, {"id", file->id}, {"name", file->name}});
}

struct Part {
    std::string headers;
    std::string content;
};

// Splits a multipart/related body; nothing when its framing is broken.
std::optional<std::vector<Part>> splitMultipart(const std::string& body,
                                                const std::string& boundary) {
    const std::string opening = "--" + boundary + "\r\n";
    const std::string separator = "\r\n--" + boundary + "\r\n";
    std::string closing = "\r\n--" + boundary + "--";
    std::string_view rest = body;
    if (rest.ends_with("\r\n"))
        rest.remove_suffix(2);
    if (!rest.starts_with(opening) || !rest.ends_with(closing))
        return std::nullopt;
    rest = rest.substr(opening.size(), rest.size() - opening.size() - closing.size());
    std::vector<Part> parts;
    for (;;) {
        const auto end = rest.find(separator);
        const std::string_view part = rest.substr(0, end);
        const auto blank = part.find("\r\n\r\n");
        if (blank == std::string_view::npos)
            return std::nullopt;
        parts.push_back({std::string(part.substr(0, blank)), std::string(part.substr(blank + 4))});
        if (end == std::string_view::npos)
            return parts;
        rest.remove_prefix(end + separator.size());
    }
}

void upload(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (!authorised(context, req, res))
        return;
    if (queryParam(req, "uploadType") != "multipart")
        return sendGoogleError(res, 400, "invalid", "uploadType must be multipart");
    const std::string contentType = req.get_header_value("Content-Type");
    const std::string prefix = "multipart/related; boundary=";
    if (!contentType.starts_with(prefix))
        return sendGoogleError(res, 400, "badContent", "Content-Type must be multipart/related");
    const auto parts = splitMultipart(req.body, contentType.substr(prefix.size()));
    if (!parts || parts->size() != 2)
        return sendGoogleError(res, 400, "badContent", "Malformed multipart body");
    const nlohmann::json metadata = nlohmann::json::parse((*parts)[0].content, nullptr, false);
    if (!metadata.is_object() || !metadata.contains("name") || !metadata["name"].is_string())
        return sendGoogleError(res, 400, "parseError", "Metadata part is not valid JSON");
    const StoredFile stored = context.cloud.store(provider, metadata["name"].get<std::string>(),
                                                  (*parts)[1].content, false);
    sendJson(res, {{"kind", "drive#file"},
                   {"id", stored.id},
                   {"name", stored.name},
                   {"mimeType", "application/octet-stream"}});
}

} // namespace

void addGoogleDriveRoutes(Router& router, SimContext& context) {
    router.get("/drive/v3/files",
               [&context](const auto& req, auto& res) { list(context, req, res); });
    router.get(R"(/drive/v3/files/(.+))",
               [&context](const auto& req, auto& res) { download(context, req, res); });
    router.post("/upload/drive/v3/files",
                [&context](const auto& req, auto& res) { upload(context, req, res); });
}

} // namespace SelvorSim
