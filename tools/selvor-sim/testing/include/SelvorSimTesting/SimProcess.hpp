#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace SelvorSimTesting {

struct SimOptions {
    // Approve every push this long after it starts (QR: scan after it, approve after twice it).
    std::optional<double> autoApproveSeconds = {};
    // Register numbers that get a history of 100,000 sessions.
    std::vector<std::string> largeHistory = {};
    // Cloud providers ("google", "dropbox") linked from the start.
    std::vector<std::string> linkedProviders = {};
    // Both cloud stores start with `Том_файл.bin` of this many MiB as their first file.
    std::optional<int> largeCloudFileMb = {};
    std::vector<std::string> extraArguments = {};
};

// A file or folder as a simulated cloud provider keeps it.
struct CloudFileInfo {
    std::string id;
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
    std::string sha256; // of the content, lower-case hex; a folder's content is empty
};

struct HttpReply {
    int status = 0;
    std::string body;
    // As httplib's client reads them: a Location header arrives percent-decoded.
    std::multimap<std::string, std::string> headers;
    // Null when the body is not JSON.
    [[nodiscard]] nlohmann::json json() const;
};

struct LoggedRequest {
    std::string method;
    std::string path;
    std::string rawQuery;
    std::vector<std::pair<std::string, std::string>> query;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // Case-insensitive header lookup.
    [[nodiscard]] std::optional<std::string> header(const std::string& name) const;
};

struct PendingRequest {
    std::string id;      // session id of a push, token of a QR code
    std::string kind;    // "push" or "qr"
    std::string purpose; // "signin", "director", "signing", "qr"
    std::string nationalId;
    std::string name;
    std::string displayText;
    std::string verificationCode;
    bool scanned = false;
};

// Every member has a default, so designated initializers name only what matters.
// kind: "status", "html", "broken_json", "stall", "drop". path: exact, or a prefix ending "*".
struct Fault {
    std::string path = {};
    std::string kind = "status";
    std::string method = {}; // empty: any
    std::optional<int> status = {};
    std::optional<std::string> body = {};
    std::optional<std::string> contentType = {};
    int stallMs = 0;
    int times = -1; // negative: until cleared
};

// Runs selvor-sim on a free loopback port for the lifetime of the object. Throws
// std::runtime_error when the simulator cannot be started; the process is killed on destruction.
class SimProcess {
public:
    explicit SimProcess(const SimOptions& options = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    [[nodiscard]] int port() const { return m_port; }
    // What the simulator printed at start. The control methods send it in `controlTokenHeader`;
    // `send` sends only the headers it is given.
    [[nodiscard]] const std::string& controlToken() const { return m_controlToken; }
    static constexpr const char* controlTokenHeader = "X-Selvor-Sim-Token";
    // "http://127.0.0.1:PORT", no trailing slash.
    [[nodiscard]] std::string baseUrl() const;

    // A plain request to the simulator; the path and query are sent exactly as given.
    HttpReply send(const std::string& method, const std::string& pathAndQuery,
                   const std::string& body = {}, const std::string& contentType = {},
                   const std::multimap<std::string, std::string>& headers = {});

    std::vector<PendingRequest> pending();
    // Waits (bounded polling) until a request is pending; throws when none comes in time.
    PendingRequest waitForPending(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    void approve(const std::string& id);
    void refuse(const std::string& id);
    void expire(const std::string& id);
    // The phone of `nationalId` (default: the first seeded person) scans the QR code.
    void scanQr(const std::string& token, const std::string& nationalId = {});

    int addFault(const Fault& fault);
    void clearFaults();

    std::vector<LoggedRequest> requestLog();
    void clearRequestLog();

    // What a provider ("google", "dropbox") keeps, uploads included, in its store order.
    std::vector<CloudFileInfo> cloudFiles(const std::string& provider);
    // The exact bytes of a stored file; throws when the id is unknown.
    std::string cloudFileContent(const std::string& provider, const std::string& id);
    // Links the provider as an approved consent would; returns the new access token.
    std::string linkCloud(const std::string& provider);

    // What the update feed announces from now on: `version`, and `variant` "signed",
    // "tampered", "truncated" or "malformed". An empty argument keeps what the feed had.
    void setAppcast(const std::string& version, const std::string& variant = {});

    // A register number the simulator has seeded, with the person's full name.
    static constexpr const char* seededNationalId = "УП91042312";
    static constexpr const char* seededFullName = "Батболд Тэмүүжин";
    // That person's two organisations: an ACTIVE one where the person is an ACTIVE admin and
    // the members are ACTIVE, PENDING and SUSPENDED, and a PENDING one with the person as signer.
    static constexpr const char* seededOrganizationId = "org_5b0e2f71";
    static constexpr const char* seededPendingOrganizationId = "org_91c4d803";

private:
    nlohmann::json control(const std::string& method, const std::string& path,
                           const nlohmann::json& body = nullptr);

    int m_pid = -1;
    int m_port = 0;
    std::string m_controlToken;
};

} // namespace SelvorSimTesting
