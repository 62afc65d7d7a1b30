#include "SimTestSupport.hpp"

using namespace SimTest;

namespace {

const std::string driveListing =
    "/drive/v3/files?q=mimeType!='application/vnd.google-apps.folder'&fields=files(id,name)"
    "&pageSize=20&orderBy=modifiedTime%20desc";

std::multimap<std::string, std::string> bearer(const std::string& token) {
    return {{"Authorization", "Bearer " + token}};
}

std::string tokenOf(SimProcess& sim, const std::string& provider) {
    return getJson(sim, "/web/cloud/" + provider + "/token").at("access_token");
}

// Follows the consent page's approval and returns the "code" of the selvorlogin redirect.
std::string consentCode(SimProcess& sim, const std::string& provider) {
    const std::string url = getJson(sim, "/web/cloud/" + provider + "/auth-url").at("url");
    EXPECT_TRUE(url.starts_with(sim.baseUrl() + "/cloud/consent/" + provider + "?state="));
    const std::string page = url.substr(sim.baseUrl().size());
    EXPECT_NE(sim.send("GET", page).body.find("Зөвшөөрөх"), std::string::npos);
    const auto allow = sim.send("GET", "/cloud/consent/" + provider + "/allow?state=s1");
    EXPECT_EQ(allow.status, 302);
    const std::string location = allow.headers.find("Location")->second;
    EXPECT_TRUE(location.starts_with("selvorlogin://cloud/callback?state=s1&code=")) << location;
    return location.substr(location.find("&code=") + 6);
}

} // namespace

TEST(CloudLinks, consentCodeLinksTheProviderOnce) {
    SimProcess sim;
    EXPECT_EQ(getJson(sim, "/web/cloud/connections"), (json{{"connections", json::array()}}));
    EXPECT_EQ(getJson(sim, "/web/cloud/google/token", 404).at("code"), 404);
    EXPECT_EQ(getJson(sim, "/web/cloud/onedrive/auth-url", 404).at("code"), 404);

    const std::string encodedCode = consentCode(sim, "google");
    const std::string code = "4/" + encodedCode.substr(encodedCode.find("%2F") + 3);
    EXPECT_EQ(postJson(sim, "/web/cloud/google/callback", {{"code", "wrong"}}),
              (json{{"connected", false}}));
    EXPECT_EQ(postJson(sim, "/web/cloud/google/callback", {{"code", code}}),
              (json{{"connected", true}}));
    EXPECT_EQ(postJson(sim, "/web/cloud/google/callback", {{"code", code}}),
              (json{{"connected", false}}))
        << "a consent code is spent";
    EXPECT_EQ(getJson(sim, "/web/cloud/connections").at("connections"),
              (json{{{"provider", "google_drive"}, {"provider_email", "temuujin.b@gmail.com"}}}));
    const std::string token = tokenOf(sim, "google");
    EXPECT_EQ(sim.send("GET", driveListing, {}, {}, bearer(token)).status, 200);

    EXPECT_EQ(sim.send("DELETE", "/web/cloud/google/disconnect").json(), (json{{"success", true}}));
    EXPECT_EQ(sim.send("GET", driveListing, {}, {}, bearer(token)).status, 401)
        << "the token dies with the link";
}

TEST(GoogleDrive, listingUploadAndDownload) {
    SimProcess sim({.linkedProviders = {"google"}});
    const std::string token = tokenOf(sim, "google");
    EXPECT_EQ(sim.send("GET", driveListing).status, 401);
    EXPECT_EQ(sim.send("GET", driveListing, {}, {}, bearer("x" + token)).status, 401);
    EXPECT_EQ(sim.send("GET", "/drive/v3/files?pageSize=20", {}, {}, bearer(token)).status, 400);

    const std::string boundary = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";
    const std::string body = "--" + boundary +
                             "\r\nContent-Type: application/json\r\n\r\n{\"name\":\"signed_Гэрээ."
                             "pdf\"}\r\n--" +
                             boundary + "\r\nContent-Type: application/octet-stream\r\n\r\n" +
                             std::string("\x01\x02\r\n--", 6) + "\r\n--" + boundary + "--";
    const auto uploaded = sim.send("POST", "/upload/drive/v3/files?uploadType=multipart", body,
                                   "multipart/related; boundary=" + boundary, bearer(token));
    ASSERT_EQ(uploaded.status, 200) << uploaded.body;
    const std::string id = uploaded.json().at("id");

    const auto files = sim.send("GET", driveListing, {}, {}, bearer(token)).json().at("files");
    ASSERT_EQ(files.size(), 20u) << "at most one page of 20";
    EXPECT_EQ(files.at(0), (json{{"id", id}, {"name", "signed_Гэрээ.pdf"}})) << "newest first";
    for (const auto& file : files)
        EXPECT_EQ(file.at("name").get<std::string>().find("Архив"), std::string::npos);

    const auto content =
        sim.send("GET", "/drive/v3/files/" + id + "?alt=media", {}, {}, bearer(token));
    EXPECT_EQ(content.body, std::string("\x01\x02\r\n--", 6));
    EXPECT_EQ(sim.send("GET", "/drive/v3/files/nope?alt=media", {}, {}, bearer(token)).status, 404);
    EXPECT_EQ(sim.send("POST", "/upload/drive/v3/files?uploadType=multipart",
                       body.substr(0, body.size() - 2), "multipart/related; boundary=" + boundary,
                       bearer(token))
                  .status,
              400)
        << "a body without its closing delimiter";
}

TEST(Dropbox, listingUploadAndDownload) {
    SimProcess sim({.linkedProviders = {"dropbox"}});
    const auto auth = bearer(tokenOf(sim, "dropbox"));
    EXPECT_EQ(sim.send("POST", "/2/files/list_folder", R"({"path":"","limit":20})").status, 401);

    const auto listing =
        sim.send("POST", "/2/files/list_folder", R"({"path":"","limit":20})", {}, auth).json();
    EXPECT_EQ(listing.at("entries").size(), 20u);
    EXPECT_TRUE(listing.at("has_more"));
    EXPECT_EQ(listing.at("entries").at(0).at(".tag"), "folder");

    auto uploadHeaders = auth;
    uploadHeaders.emplace("Dropbox-API-Arg", R"({"path":"/Гэрээ_101.pdf","mode":"add"})");
    const auto uploaded = sim.send("POST", "/2/files/upload", "signed bytes",
                                   "application/octet-stream", uploadHeaders);
    ASSERT_EQ(uploaded.status, 200) << uploaded.body;
    EXPECT_EQ(uploaded.json().at("name"), "Гэрээ_101 (1).pdf") << "add mode keeps the original";

    auto downloadHeaders = auth;
    downloadHeaders.emplace("Dropbox-API-Arg",
                            R"({"path":")" + uploaded.json().at("id").get<std::string>() + "\"}");
    const auto content = sim.send("POST", "/2/files/download", {}, {}, downloadHeaders);
    EXPECT_EQ(content.status, 200);
    EXPECT_EQ(content.body, "signed bytes");
    auto missing = auth;
    missing.emplace("Dropbox-API-Arg", R"({"path":"id:nothing"})");
    EXPECT_EQ(sim.send("POST", "/2/files/download", {}, {}, missing).status, 409);
}
