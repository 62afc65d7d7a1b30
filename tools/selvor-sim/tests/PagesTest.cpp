#include "SimTestSupport.hpp"

#include <openssl/evp.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

using namespace SimTest;

namespace {

std::string headerOf(const SelvorSimTesting::HttpReply& reply, const std::string& name) {
    const auto it = reply.headers.find(name);
    return it == reply.headers.end() ? std::string() : it->second;
}

// The redirect target still percent-encoded, from the link in the redirect's body.
std::string encodedRedirect(const SelvorSimTesting::HttpReply& reply) {
    const auto start = reply.body.find("href=\"");
    if (reply.status != 302 || start == std::string::npos)
        return {};
    return reply.body.substr(start + 6, reply.body.find('"', start + 6) - start - 6);
}

// The first value of the attribute in the feed: the newest item's enclosure's.
std::string attribute(const std::string& feed, const std::string& name) {
    const std::string opening = " " + name + "=\"";
    const auto start = feed.find(opening);
    if (start == std::string::npos)
        return {};
    const auto value = start + opening.size();
    return feed.substr(value, feed.find('"', value) - value);
}

std::string decodeBase64(const std::string& text) {
    std::string bytes(text.size() / 4 * 3, '\0');
    const int decoded = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                        reinterpret_cast<const unsigned char*>(text.data()),
                                        static_cast<int>(text.size()));
    if (decoded < 0)
        return {};
    const std::size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
    bytes.resize(static_cast<std::size_t>(decoded) - padding);
    return bytes;
}

// Whether the signature verifies under the key development builds of the app trust.
bool verifies(const std::string& message, const std::string& signatureBase64) {
    const std::string key = decodeBase64("7VjRZ2mtWTe8qenIjZvn4YfFEylcqxFYl0amonSDUWs=");
    const std::string signature = decodeBase64(signatureBase64);
    const auto bytes = [](const std::string& text) {
        return reinterpret_cast<const unsigned char*>(text.data());
    };
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> publicKey(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, bytes(key), key.size()),
        EVP_PKEY_free);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          EVP_MD_CTX_free);
    return publicKey && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) == 1 &&
           EVP_DigestVerify(context.get(), bytes(signature), signature.size(), bytes(message),
                            message.size()) == 1;
}

} // namespace

TEST(PortalPage, opensTheCallbackWithTheChosenPerson) {
    SimProcess sim;
    const auto page = sim.send("GET", "/?callback_uri=selvorlogin%3A%2F%2Fauth%2Fcallback");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(SimProcess::seededFullName), std::string::npos);
    EXPECT_NE(page.body.find("value=\"selvorlogin://auth/callback\""), std::string::npos);

    const auto picked = sim.send(
        "GET", "/portal/continue?callback_uri=selvorlogin://auth/callback&person=ЧЕ88111524");
    EXPECT_EQ(picked.status, 302);
    EXPECT_EQ(headerOf(picked, "Location"),
              "selvorlogin://auth/callback?national_id=ЧЕ88111524&name=Ганбаатар Сарангэрэл");
    EXPECT_EQ(
        encodedRedirect(picked),
        "selvorlogin://auth/callback?national_id=%D0%A7%D0%9588111524&amp;name=%D0%93%D0%B0%D0%"
        "BD%D0%B1%D0%B0%D0%B0%D1%82%D0%B0%D1%80%20%D0%A1%D0%B0%D1%80%D0%B0%D0%BD%D0%B3%D1%"
        "8D%D1%80%D1%8D%D0%BB");

    const auto typed =
        sim.send("GET", "/portal/continue?callback_uri=selvorlogin://auth/callback&person="
                        "&national_id=+%D0%90%D0%9199010155+&name=A%26B");
    EXPECT_EQ(encodedRedirect(typed),
              "selvorlogin://auth/callback?national_id=%D0%90%D0%9199010155&amp;name=A%26B");

    EXPECT_EQ(sim.send("GET", "/portal/continue?callback_uri=selvorlogin://auth/callback"
                              "&national_id=12")
                  .status,
              400);
    EXPECT_EQ(sim.send("GET", "/?callback_uri=https://evil.example/").status, 400);
    EXPECT_EQ(sim.send("GET", "/portal/continue?callback_uri=https://evil.example/&person="
                              "ЧЕ88111524")
                  .status,
              400)
        << "no open redirect";
}

TEST(PhonePage, listsPendingRequestsAndDecidesThroughItsForms) {
    SimProcess sim;
    EXPECT_NE(sim.send("GET", "/phone").body.find("Хүлээгдэж буй хүсэлт алга."), std::string::npos);
    const std::string sessionId = startSignIn(sim, SimProcess::seededNationalId);
    const std::string code = sim.waitForPending().verificationCode;
    const std::string page = sim.send("GET", "/phone").body;
    EXPECT_NE(page.find("Selvor Desktop нэвтрэлт"), std::string::npos);
    EXPECT_NE(page.find("<span>" + code.substr(0, 1) + "</span>"), std::string::npos);
    EXPECT_NE(page.find("/phone/requests/" + sessionId + "/approve"), std::string::npos);
    EXPECT_NE(page.find("Татгалзах"), std::string::npos);

    const auto approved = sim.send("POST", "/phone/requests/" + sessionId + "/approve", "", "",
                                   {{"Content-Type", "application/x-www-form-urlencoded"}});
    EXPECT_EQ(approved.status, 303);
    EXPECT_EQ(headerOf(approved, "Location"), "/phone");
    EXPECT_EQ(getJson(sim, "/web/auth/session/" + sessionId).at("result"), "OK");

    const std::string token = sim.send("POST", "/web/auth/qr/init").json().at("token");
    EXPECT_NE(sim.send("GET", "/phone").body.find("/phone/qr/" + token + "/scan"),
              std::string::npos);
    EXPECT_EQ(sim.send("POST", "/phone/qr/" + token + "/scan", "national_id=%D0%A7%D0%9588111524",
                       "application/x-www-form-urlencoded")
                  .status,
              303);
    EXPECT_EQ(sim.waitForPending().nationalId, "ЧЕ88111524");
    EXPECT_EQ(sim.send("POST", "/phone/requests/unknown/refuse", "", "").status, 404);
}

TEST(Appcast, announcesASignedPackageOfItsTrueLength) {
    SimProcess sim({.extraArguments = {"--appcast-version", "2.3.4", "--update-size-kb", "64"}});
    const auto feed = sim.send("GET", "/appcast.xml");
    EXPECT_EQ(feed.status, 200);
    EXPECT_NE(feed.body.find("<sparkle:version>2.3.4</sparkle:version>"), std::string::npos);
    EXPECT_NE(
        feed.body.find("xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\""),
        std::string::npos);
    EXPECT_NE(feed.body.find("<sparkle:releaseNotesLink>" + sim.baseUrl() + "/download<"),
              std::string::npos);
    const std::string path = "/downloads/selvor_2.3.4_amd64.deb";
    EXPECT_EQ(attribute(feed.body, "url"), sim.baseUrl() + path);
    EXPECT_EQ(attribute(feed.body, "length"), "65536");

    const auto package = sim.send("GET", path);
    EXPECT_EQ(package.status, 200);
    EXPECT_EQ(package.body.size(), 65536u);
    EXPECT_EQ(headerOf(package, "Content-Type"), "application/vnd.debian.binary-package");
    EXPECT_TRUE(verifies(package.body, attribute(feed.body, "sparkle:edSignature")));
    EXPECT_EQ(sim.send("GET", "/downloads/selvor_9.9.9_amd64.deb").status, 404);
}

TEST(Appcast, variantsBreakThePackageOrTheFeedAndSwitchWhileRunning) {
    SimProcess sim({.extraArguments = {"--appcast-variant", "tampered", "--update-size-kb", "64"}});
    const std::string tamperedFeed = sim.send("GET", "/appcast.xml").body;
    const std::string tampered = sim.send("GET", "/downloads/selvor_1.1.0_amd64.deb").body;
    EXPECT_EQ(tampered.size(), 65536u);
    EXPECT_FALSE(verifies(tampered, attribute(tamperedFeed, "sparkle:edSignature")));

    sim.setAppcast("1.2.0", "truncated");
    const std::string feed = sim.send("GET", "/appcast.xml").body;
    EXPECT_NE(feed.find("<sparkle:version>1.2.0</sparkle:version>"), std::string::npos);
    EXPECT_EQ(attribute(feed, "length"), "65536");
    const std::string path = "/downloads/selvor_1.2.0_amd64.deb";
    EXPECT_EQ(sim.send("GET", path).body.size(), 65536u - 1024u);
    EXPECT_EQ(sim.send("GET", "/downloads/selvor_1.1.0_amd64.deb").status, 404);

    sim.setAppcast({}, "malformed");
    const auto cut = sim.send("GET", "/appcast.xml");
    EXPECT_EQ(cut.status, 200);
    EXPECT_TRUE(cut.body.size() < feed.size() && feed.starts_with(cut.body))
        << "a document cut short never closes its root element";

    EXPECT_THROW(sim.setAppcast({}, "corrupt"), std::runtime_error);
    sim.setAppcast({}, "signed");
    EXPECT_TRUE(verifies(sim.send("GET", path).body, attribute(feed, "sparkle:edSignature")));
}

TEST(SimProcess, refusesToStartWithBadOptions) {
    EXPECT_THROW(SimProcess({.extraArguments = {"--link", "onedrive"}}), std::runtime_error);
    EXPECT_THROW(SimProcess({.extraArguments = {"--auto-approve", "soon"}}), std::runtime_error);
    EXPECT_THROW(SimProcess({.extraArguments = {"--appcast-variant", "corrupt"}}),
                 std::runtime_error);
}

namespace {

// Ended, or a zombie nobody has reaped yet.
bool processEnded(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const std::size_t nameEnd = line.rfind(')');
    return nameEnd != std::string::npos && line.substr(nameEnd + 2, 1) == "Z";
}

} // namespace

// A test that crashes never stops its simulator: the kernel does, once the test is gone.
TEST(SimProcess, endsWithTheProcessThatStartedIt) {
    const std::unique_ptr<FILE, int (*)(FILE*)> shell(
        popen("sh -c '" SELVOR_SIM_EXECUTABLE
              " --exit-with-parent $$ >/dev/null 2>&1 & echo $!; sleep 0.2'",
              "r"),
        pclose);
    ASSERT_TRUE(shell);
    int simulator = 0;
    ASSERT_EQ(std::fscanf(shell.get(), "%d", &simulator), 1);
    ASSERT_GT(simulator, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!processEnded(simulator) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(processEnded(simulator)) << "the simulator outlived the shell that started it";
    if (!processEnded(simulator))
        kill(simulator, SIGKILL);
}
