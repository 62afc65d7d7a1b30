#include "SelvorSimTesting/SimProcess.hpp"

#include "PercentEncoding.hpp"

#include <httplib.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace SelvorSimTesting {
namespace {

std::vector<std::string> argumentsFor(const SimOptions& options) {
    std::vector<std::string> args{
        SELVOR_SIM_EXECUTABLE,   "--port", "0", "--print-port", "--exit-with-parent",
        std::to_string(getpid())};
    if (options.autoApproveSeconds) {
        args.push_back("--auto-approve");
        args.push_back(std::to_string(*options.autoApproveSeconds));
    }
    for (const std::string& id : options.largeHistory) {
        args.push_back("--large-history");
        args.push_back(id);
    }
    for (const std::string& provider : options.linkedProviders) {
        args.push_back("--link");
        args.push_back(provider);
    }
    if (options.largeCloudFileMb) {
        args.push_back("--large-cloud-file-mb");
        args.push_back(std::to_string(*options.largeCloudFileMb));
    }
    args.insert(args.end(), options.extraArguments.begin(), options.extraArguments.end());
    return args;
}

// Reads one stdout line by the deadline, so a broken binary fails a test instead of hanging it.
std::optional<std::string> readLine(int fd, std::chrono::steady_clock::time_point deadline) {
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(fd, &c, 1) != 1)
            break;
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> pairsOf(const nlohmann::json& list) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& pair : list)
        pairs.emplace_back(pair.at(0).get<std::string>(), pair.at(1).get<std::string>());
    return pairs;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

} // namespace

nlohmann::json HttpReply::json() const {
    nlohmann::json parsed = nlohmann::json::parse(body, nullptr, false);
    return parsed.is_discarded() ? nlohmann::json() : parsed;
}

std::optional<std::string> LoggedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (sameIgnoringCase(key, name))
            return value;
    }
    return std::nullopt;
}

SimProcess::SimProcess(const SimOptions& options) {
    if (access(SELVOR_SIM_EXECUTABLE, X_OK) != 0)
        throw std::runtime_error("selvor-sim executable missing: " SELVOR_SIM_EXECUTABLE);
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> args = argumentsFor(options);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        throw std::runtime_error("cannot start selvor-sim");
    }
    m_pid = pid;
    try {
        // The port, then the control token. A large history is made before the port is
        // printed, which takes its time in a sanitizer build.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const auto port = readLine(pipeFds[0], deadline);
        if (!port)
            throw std::runtime_error("selvor-sim did not print its port");
        m_port = std::stoi(*port);
        auto token = readLine(pipeFds[0], deadline);
        if (!token || token->empty())
            throw std::runtime_error("selvor-sim did not print its control token");
        m_controlToken = std::move(*token);
    } catch (...) {
        close(pipeFds[0]);
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        throw;
    }
    // The simulator writes nothing more to stdout; closing our end is safe.
    close(pipeFds[0]);
}

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

std::string SimProcess::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

HttpReply SimProcess::send(const std::string& method, const std::string& pathAndQuery,
                           const std::string& body, const std::string& contentType,
                           const std::multimap<std::string, std::string>& headers) {
    httplib::Client client("127.0.0.1", m_port);
    client.set_read_timeout(10, 0);
    // The path goes out byte for byte, so tests control every escape in it.
    client.set_url_encode(false);
    httplib::Request request;
    request.method = method;
    request.path = pathAndQuery;
    for (const auto& [name, value] : headers)
        request.set_header(name, value);
    if (!body.empty() || !contentType.empty()) {
        request.body = body;
        request.set_header("Content-Type", contentType.empty() ? "application/json" : contentType);
    }
    const httplib::Result result = client.send(request);
    if (!result)
        throw std::runtime_error("request to selvor-sim failed: " +
                                 httplib::to_string(result.error()));
    HttpReply reply{result->status, result->body, {}};
    for (const auto& [name, value] : result->headers)
        reply.headers.emplace(name, value);
    return reply;
}

nlohmann::json SimProcess::control(const std::string& method, const std::string& path,
                                   const nlohmann::json& body) {
    const HttpReply reply = send(method, path, body.is_null() ? std::string() : body.dump(),
                                 body.is_null() ? std::string() : "application/json",
                                 {{controlTokenHeader, m_controlToken}});
    if (reply.status != 200)
        throw std::runtime_error("selvor-sim control " + path + " answered " +
                                 std::to_string(reply.status) + ": " + reply.body);
    return nlohmann::json::parse(reply.body);
}

std::vector<PendingRequest> SimProcess::pending() {
    std::vector<PendingRequest> list;
    const nlohmann::json answer = control("GET", "/control/pending");
    for (const auto& item : answer.at("requests")) {
        list.push_back({item.at("id"), item.at("kind"), item.at("purpose"), item.at("national_id"),
                        item.at("name"), item.at("display_text"), item.at("verification_code"),
                        item.at("scanned")});
    }
    return list;
}

PendingRequest SimProcess::waitForPending(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto list = pending();
        if (!list.empty())
            return list.front();
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("no request became pending on the simulated phone");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void SimProcess::approve(const std::string& id) {
    control("POST", "/control/requests/" + id + "/approve");
}

void SimProcess::refuse(const std::string& id) {
    control("POST", "/control/requests/" + id + "/refuse");
}

void SimProcess::expire(const std::string& id) {
    control("POST", "/control/requests/" + id + "/expire");
}

void SimProcess::scanQr(const std::string& token, const std::string& nationalId) {
    control("POST", "/control/qr/" + token + "/scan",
            nationalId.empty() ? nlohmann::json::object()
                               : nlohmann::json{{"national_id", nationalId}});
}

int SimProcess::addFault(const Fault& fault) {
    nlohmann::json description = {{"path", fault.path},
                                  {"kind", fault.kind},
                                  {"method", fault.method},
                                  {"times", fault.times}};
    if (fault.status)
        description["status"] = *fault.status;
    if (fault.body)
        description["body"] = *fault.body;
    if (fault.contentType)
        description["content_type"] = *fault.contentType;
    if (fault.stallMs > 0)
        description["stall_ms"] = fault.stallMs;
    return control("POST", "/control/faults", description).at("id").get<int>();
}

void SimProcess::clearFaults() {
    control("DELETE", "/control/faults");
}

std::vector<LoggedRequest> SimProcess::requestLog() {
    std::vector<LoggedRequest> log;
    const nlohmann::json answer = control("GET", "/control/log");
    for (const auto& item : answer.at("requests")) {
        log.push_back({item.at("method"), item.at("path"), item.at("raw_query"),
                       pairsOf(item.at("query")), pairsOf(item.at("headers")), item.at("body")});
    }
    return log;
}

void SimProcess::clearRequestLog() {
    control("DELETE", "/control/log");
}

std::vector<CloudFileInfo> SimProcess::cloudFiles(const std::string& provider) {
    std::vector<CloudFileInfo> files;
    for (const auto& item : control("GET", "/control/cloud/" + provider + "/files")) {
        files.push_back({item.at("id"), item.at("name"), item.at("folder"), item.at("size"),
                         item.at("sha256")});
    }
    return files;
}

std::string SimProcess::cloudFileContent(const std::string& provider, const std::string& id) {
    const std::string path =
        "/control/cloud/" + provider + "/content?id=" + SelvorSim::percentEncode(id);
    HttpReply reply = send("GET", path, {}, {}, {{controlTokenHeader, m_controlToken}});
    if (reply.status != 200)
        throw std::runtime_error("selvor-sim control " + path + " answered " +
                                 std::to_string(reply.status) + ": " + reply.body);
    return std::move(reply.body);
}

std::string SimProcess::linkCloud(const std::string& provider) {
    return control("POST", "/control/cloud/" + provider + "/link").at("access_token");
}

void SimProcess::setAppcast(const std::string& version, const std::string& variant) {
    nlohmann::json body = nlohmann::json::object();
    if (!version.empty())
        body["version"] = version;
    if (!variant.empty())
        body["variant"] = variant;
    control("POST", "/control/appcast", body);
}

} // namespace SelvorSimTesting
