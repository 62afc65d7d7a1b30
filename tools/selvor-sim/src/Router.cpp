#include "Router.hpp"

#include "Http.hpp"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace SelvorSim {
namespace {

int portOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// httplib does not hand handlers their socket; the accepted connection is the one socket of
// this process whose peer port is the client's.
void dropConnection(const httplib::Request& req) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/proc/self/fd"), closedir);
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir.get())) {
        const int fd = std::atoi(entry->d_name);
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        if (fd <= 2 || getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
            continue;
        if (portOf(peer) == req.remote_port) {
            shutdown(fd, SHUT_RDWR);
            return;
        }
    }
}

std::string brokenJsonBody() {
    return R"({"session_id": "2f1c", "verification_code": "48)";
}

std::string htmlErrorBody(int status) {
    return "<!DOCTYPE html>\n<html><head><title>" + std::to_string(status) +
           " Bad Gateway</title></head><body><center><h1>" + std::to_string(status) +
           " Bad Gateway</h1></center><hr><center>nginx</center></body></html>\n";
}

// Applies a fault; true when the answer is complete and the real handler must not run.
bool applyFault(const Fault& fault, const httplib::Request& req, httplib::Response& res) {
    switch (fault.kind) {
    case FaultKind::Status:
        res.status = fault.status;
        res.set_content(
            fault.body.value_or(dumpJson({{"code", fault.status}, {"error", "Injected failure"}})),
            fault.contentType);
        return true;
    case FaultKind::Html:
        res.status = fault.status;
        res.set_content(fault.body.value_or(htmlErrorBody(fault.status)), "text/html");
        return true;
    case FaultKind::BrokenJson:
        res.status = fault.status;
        res.set_content(fault.body.value_or(brokenJsonBody()), "application/json");
        return true;
    case FaultKind::Stall:
        std::this_thread::sleep_for(fault.stall);
        return false;
    case FaultKind::Drop:
        dropConnection(req);
        res.status = 500;
        return true;
    }
    return false;
}

} // namespace

httplib::Server::HandlerWithContentReader withOptionalBody(httplib::Server::Handler handler) {
    return [handler = std::move(handler)](const httplib::Request& req, httplib::Response& res,
                                          const httplib::ContentReader& reader) {
        httplib::Request withBody = req;
        if (req.has_header("Content-Length") || req.has_header("Transfer-Encoding")) {
            reader([&withBody](const char* data, std::size_t length) {
                withBody.body.append(data, length);
                return true;
            });
        }
        handler(withBody, res);
    };
}

Router::Router(httplib::Server& server, RequestLog& log, Faults& faults)
    : m_server(server), m_log(log), m_faults(faults) {}

void Router::get(const std::string& pattern, httplib::Server::Handler handler) {
    m_server.Get(pattern, wrap(std::move(handler)));
}

void Router::post(const std::string& pattern, httplib::Server::Handler handler) {
    m_server.Post(pattern, withOptionalBody(wrap(std::move(handler))));
}

void Router::del(const std::string& pattern, httplib::Server::Handler handler) {
    m_server.Delete(pattern, withOptionalBody(wrap(std::move(handler))));
}

httplib::Server::Handler Router::wrap(httplib::Server::Handler handler) {
    // The router itself is short-lived; handlers keep the log and fault table it points to.
    return [&log = m_log, &faults = m_faults,
            handler = std::move(handler)](const httplib::Request& req, httplib::Response& res) {
        log.record(req);
        if (const auto fault = faults.take(req.method, req.path)) {
            if (applyFault(*fault, req, res))
                return;
        }
        handler(req, res);
    };
}

} // namespace SelvorSim
