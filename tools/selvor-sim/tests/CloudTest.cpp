#include "SimTestSupport.hpp"

#include <openssl/evp.h>

using namespace SimTest;

namespace {

const std::string driveListing =
    "/drive/v3/files?q=mimeType!='application/vnd.google-apps.folder'&fields=files(id,name)"
    "&pageSize=20&orderBy=modifiedTime%20desc";

std::multimap<std::string, std::string> bearer(const std::string& token) {
    return {{"Authorization", "Bearer " + token}};
}

std::multimap<std::string, std::string> withArg(std::multimap<std::string, std::string> headers,
                                                const std::string& arg) {
    headers.emplace("Dropbox-API-Arg", arg);
    return headers;
}

const std::string boundary = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

std::string multipart(const std::string& metadata, const std::string& content) {
    return "--" + boundary + "\r\nContent-Type: application/json\r\n\r\n" + metadata + "\r\n--" +
           boundary + "\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n--" +
           boundary + "--";
}

SelvorSimTesting::HttpReply uploadToDrive(SimProcess& sim, const std::string& token,
                                          const std::string& body) {
    return sim.send("POST", "/upload/drive/v3/files?uploadType=multipart", body,
                    "multipart/related; boundary=" + boundary, bearer(token));
}

std::string sha256Of(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr), 1);
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 0x0F];
    }
    return hex;
}

std::vector<std::string> names(const json& entries) {
    std::vector<std::string> list;
    for (const auto& entry : entries)
        list.push_back(entry.at("name"));
    return list;
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

    const std::string body =
        multipart(R"({"name":"signed_Гэрээ.pdf"})", std::string("\x01\x02\r\n--", 6));
    const auto uploaded = uploadToDrive(sim, token, body);
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
    EXPECT_EQ(uploadToDrive(sim, token, body.substr(0, body.size() - 2)).status, 400)
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

    const auto uploaded =
        sim.send("POST", "/2/files/upload", "signed bytes", "application/octet-stream",
                 withArg(auth, R"({"path":"/Гэрээ_101.pdf","mode":"add"})"));
    ASSERT_EQ(uploaded.status, 200) << uploaded.body;
    EXPECT_EQ(uploaded.json().at("name"), "Гэрээ_101 (1).pdf") << "add mode keeps the original";

    const auto content = sim.send(
        "POST", "/2/files/download", {}, {},
        withArg(auth, R"({"path":")" + uploaded.json().at("id").get<std::string>() + "\"}"));
    EXPECT_EQ(content.status, 200);
    EXPECT_EQ(content.body, "signed bytes");
    EXPECT_EQ(
        sim.send("POST", "/2/files/download", {}, {}, withArg(auth, R"({"path":"id:nothing"})"))
            .status,
        409);
}

TEST(CloudSeeds, awkwardNamesAreOnTheFirstPageOfBothProviders) {
    SimProcess sim({.linkedProviders = {"google", "dropbox"}});
    const auto drive = names(
        sim.send("GET", driveListing, {}, {}, bearer(tokenOf(sim, "google"))).json().at("files"));
    const auto dropbox = names(sim.send("POST", "/2/files/list_folder", R"({"path":"","limit":20})",
                                        {}, bearer(tokenOf(sim, "dropbox")))
                                   .json()
                                   .at("entries"));
    for (const std::string name : {"Тайлан \"2026\".pdf", "<b>bold</b> <img src=x>.pdf"}) {
        EXPECT_NE(std::find(drive.begin(), drive.end(), name), drive.end()) << name;
        EXPECT_NE(std::find(dropbox.begin(), dropbox.end(), name), dropbox.end()) << name;
    }
}

TEST(CloudControl, linksAtRunTimeAndReadsUploadsBackByteForByte) {
    SimProcess sim;
    const std::string googleToken = sim.linkCloud("google");
    EXPECT_EQ(tokenOf(sim, "google"), googleToken);
    const auto dropbox = bearer(sim.linkCloud("dropbox"));
    constexpr char raw[] = "%PDF-1.7\0\r\n--\xff signed";
    const std::string bytes(raw, sizeof raw - 1);

    ASSERT_EQ(uploadToDrive(sim, googleToken, multipart(R"({"name":"signed.pdf"})", bytes)).status,
              200);
    ASSERT_EQ(sim.send("POST", "/2/files/upload", bytes, "application/octet-stream",
                       withArg(dropbox, R"({"path":"/signed.pdf","mode":"add"})"))
                  .status,
              200);
    for (const std::string provider : {"google", "dropbox"}) {
        const auto files = sim.cloudFiles(provider);
        ASSERT_GT(files.size(), 20u);
        EXPECT_TRUE(files.front().folder) << "seeded folders come first";
        const auto& uploaded = files.back();
        EXPECT_EQ(uploaded.name, "signed.pdf") << provider;
        EXPECT_FALSE(uploaded.folder);
        EXPECT_EQ(uploaded.size, bytes.size());
        EXPECT_EQ(uploaded.sha256, sha256Of(bytes));
        EXPECT_EQ(sim.cloudFileContent(provider, uploaded.id), bytes) << provider;
    }
    const std::multimap<std::string, std::string> control{
        {SimProcess::controlTokenHeader, sim.controlToken()}};
    EXPECT_EQ(sim.send("GET", "/control/cloud/google/content?id=nope", {}, {}, control).status,
              404);
    EXPECT_EQ(sim.send("GET", "/control/cloud/onedrive/files", {}, {}, control).status, 404);
    EXPECT_EQ(sim.send("POST", "/control/cloud/onedrive/link", {}, {}, control).status, 404);
}

TEST(CloudLargeFile, headsBothStoresAndDownloadsWhole) {
    SimProcess sim({.linkedProviders = {"google", "dropbox"}, .largeCloudFileMb = 2});
    constexpr std::uint64_t size = 2u << 20;
    const std::string googleToken = tokenOf(sim, "google");
    const auto driveFirst =
        sim.send("GET", driveListing, {}, {}, bearer(googleToken)).json().at("files").at(0);
    EXPECT_EQ(driveFirst.at("name"), "Том_файл.bin") << "the newest file";
    const std::string driveId = driveFirst.at("id");
    const auto fromDrive =
        sim.send("GET", "/drive/v3/files/" + driveId + "?alt=media", {}, {}, bearer(googleToken));
    const auto driveStored = sim.cloudFiles("google").front();
    EXPECT_EQ(driveStored.id, driveId);
    EXPECT_EQ(driveStored.size, size);
    EXPECT_EQ(fromDrive.body.size(), size);
    EXPECT_EQ(sha256Of(fromDrive.body), driveStored.sha256);

    const auto dropbox = bearer(tokenOf(sim, "dropbox"));
    const auto dropboxFirst =
        sim.send("POST", "/2/files/list_folder", R"({"path":"","limit":20})", {}, dropbox)
            .json()
            .at("entries")
            .at(0);
    EXPECT_EQ(dropboxFirst.at("name"), "Том_файл.bin") << "the first entry";
    EXPECT_EQ(dropboxFirst.at("size"), size);
    const auto fromDropbox = sim.send(
        "POST", "/2/files/download", {}, {},
        withArg(dropbox, R"({"path":")" + dropboxFirst.at("id").get<std::string>() + "\"}"));
    EXPECT_EQ(fromDropbox.body, fromDrive.body) << "both stores hold the same bytes";

    SimProcess again({.largeCloudFileMb = 2});
    EXPECT_EQ(again.cloudFiles("dropbox").front().sha256, driveStored.sha256)
        << "the same bytes on every run";
    EXPECT_THROW(SimProcess({.largeCloudFileMb = 0}), std::runtime_error);
}

// The desktop client sends every non-ASCII character of a name as a \u escape.
TEST(CloudUploads, escapedNamesAndIdsAreDecoded) {
    SimProcess sim({.linkedProviders = {"google", "dropbox"}});
    const auto dropbox = bearer(tokenOf(sim, "dropbox"));
    const auto uploaded = sim.send(
        "POST", "/2/files/upload", "signed", "application/octet-stream",
        withArg(dropbox,
                R"({"path":"/signed_\u0422\u0430\u0439\u043b\u0430\u043d.pdf","mode":"add"})"));
    ASSERT_EQ(uploaded.status, 200) << uploaded.body;
    EXPECT_EQ(sim.cloudFiles("dropbox").back().name, "signed_Тайлан.pdf");
    std::string escapedId = uploaded.json().at("id");
    escapedId.replace(escapedId.find(':'), 1, "\\u003a");
    const auto content = sim.send("POST", "/2/files/download", {}, {},
                                  withArg(dropbox, R"({"path":")" + escapedId + "\"}"));
    EXPECT_EQ(content.status, 200) << escapedId;
    EXPECT_EQ(content.body, "signed");

    const auto google = uploadToDrive(sim, tokenOf(sim, "google"),
                                      multipart(R"({"name":"\"\u0422\" signed.pdf"})", "signed"));
    ASSERT_EQ(google.status, 200) << google.body;
    EXPECT_EQ(sim.cloudFiles("google").back().name, "\"Т\" signed.pdf");
}
