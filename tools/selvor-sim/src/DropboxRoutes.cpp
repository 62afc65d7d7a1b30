#include "Http.hpp"
#include "Routes.hpp"

namespace SelvorSim {
namespace {

constexpr const char* provider = "dropbox";

void sendDropboxError(httplib::Response& res, int status, const std::string& summary,
                      const nlohmann::json& error) {
    sendJson(res, {{"error_summary", summary}, {"error", error}}, status);
}

bool authorised(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (context.cloud.acceptsBearer(provider, req.get_header_value("Authorization")))
        return true;
    sendDropboxError(res, 401, "invalid_access_token/", {{".tag", "invalid_access_token"}});
    return false;
}

void sendNotFound(httplib::Response& res) {
    sendDropboxError(res, 409, "path/not_found/",
                     {{".tag", "path"}, {"path", {{".tag", "not_found"}}}});
}

nlohmann::json metadataJson(const StoredFile& file) {
    nlohmann::json entry = {{".tag", file.folder ? "folder" : "file"},
                            {"name", file.name},
                            {"id", file.id},
                            {"path_display", "/" + file.name},
                            {"path_lower", "/" + file.name}};
    if (!file.folder) {
        entry["size"] = file.content->size();
        entry["rev"] = randomHex(9);
        entry["server_modified"] = isoTimestamp(-3600 * (1000 - file.modified));
    }
    return entry;
}

// The Dropbox-API-Arg header of an authorised request; nothing (after the error answer) when
// the token is wrong or the header is not a JSON object with a "path".
std::optional<nlohmann::json> apiArgument(SimContext& context, const httplib::Request& req,
                                          httplib::Response& res) {
    if (!authorised(context, req, res))
        return std::nullopt;
    nlohmann::json arg =
        nlohmann::json::parse(req.get_header_value("Dropbox-API-Arg"), nullptr, false);
    if (arg.is_object() && arg.contains("path") && arg["path"].is_string())
        return arg;
    res.status = 400;
    res.set_content("Error in call to API function: Dropbox-API-Arg is not valid JSON",
                    "text/plain; charset=utf-8");
    return std::nullopt;
}

void listFolder(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    if (!authorised(context, req, res))
        return;
    const auto body = readJsonObject(req, res);
    if (!body)
        return;
    if (body->value("path", std::string("?")) != "")
        return sendNotFound(res);
    const std::size_t limit = body->value("limit", 2000u);
    const std::vector<StoredFile> files = context.cloud.files(provider);
    nlohmann::json entries = nlohmann::json::array();
    for (std::size_t i = 0; i < files.size() && i < limit; ++i)
        entries.push_back(metadataJson(files[i]));
    sendJson(res, {{"entries", std::move(entries)},
                   {"cursor", "AAF" + randomHex(30)},
                   {"has_more", files.size() > limit}});
}

void download(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto arg = apiArgument(context, req, res);
    if (!arg)
        return;
    const std::string path = (*arg)["path"];
    const auto file = path.starts_with("/") ? context.cloud.fileByName(provider, path.substr(1))
                                            : context.cloud.file(provider, path);
    if (!file || file->folder)
        return sendNotFound(res);
    // Header values are ASCII: non-ASCII characters travel as \u escapes, as Dropbox sends them.
    res.set_header(
        "Dropbox-API-Result",
        metadataJson(*file).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace));
    sendLarge(res, file->content, "application/octet-stream");
}

void upload(SimContext& context, const httplib::Request& req, httplib::Response& res) {
    const auto arg = apiArgument(context, req, res);
    if (!arg)
        return;
    const std::string path = (*arg)["path"];
    if (!path.starts_with("/") || path.size() < 2)
        return sendDropboxError(res, 409, "path/malformed_path/",
                                {{".tag", "path"}, {"reason", {{".tag", "malformed_path"}}}});
    const bool add = arg->value("mode", std::string("add")) == "add";
    const StoredFile stored = context.cloud.store(provider, path.substr(1), req.body, add);
    sendJson(res, metadataJson(stored));
}

} // namespace

void addDropboxRoutes(Router& router, SimContext& context) {
    router.post("/2/files/list_folder",
                [&context](const auto& req, auto& res) { listFolder(context, req, res); });
    router.post("/2/files/download",
                [&context](const auto& req, auto& res) { download(context, req, res); });
    router.post("/2/files/upload",
                [&context](const auto& req, auto& res) { upload(context, req, res); });
}

} // namespace SelvorSim
