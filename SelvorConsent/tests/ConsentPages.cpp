#include "ConsentPages.hpp"

#include <algorithm>
#include <stdexcept>

namespace SelvorConsent {
namespace {

constexpr const char* lastingCookie = "visited=1; Max-Age=86400; Path=/";

} // namespace

ConsentPages::ConsentPages() {
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        record(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", lastingCookie);
        response.set_header("Location", callback);
        response.status = 302;
    });
    m_server.Get("/script", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", lastingCookie);
        response.set_content(std::string("<!DOCTYPE html><title>Moving on</title><script>"
                                         "window.location.href = \"") +
                                 scriptCallback + "\";</script>",
                             "text/html; charset=utf-8");
    });
    m_server.Get("/still", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(
            "<!DOCTYPE html><title>Consent</title>"
            "<body style=\"font-family: sans-serif; margin: 24px\">"
            "<h2>Allow Selvor to use your files?</h2>"
            "<p>Selvor will be able to save signed documents in a folder of its own.</p>"
            "<p><input autofocus placeholder=\"Name\"></p><button>Allow</button>"
            "<script>window.onload = () => fetch(\"/still-loaded\");</script></body>",
            "text/html; charset=utf-8");
    });
    m_server.Get("/still-loaded", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("", "text/plain");
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("no loopback port for the consent pages");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
}

ConsentPages::~ConsentPages() {
    m_server.stop();
    m_thread.join();
}

std::string ConsentPages::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> ConsentPages::cookiesSentFor(const std::string& path) const {
    const std::lock_guard lock(m_mutex);
    std::vector<std::string> cookies;
    for (const Arrival& arrival : m_arrivals) {
        if (arrival.path == path)
            cookies.push_back(arrival.cookie);
    }
    return cookies;
}

bool ConsentPages::waitForRequest(const std::string& path, std::chrono::seconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] {
        return std::any_of(m_arrivals.begin(), m_arrivals.end(),
                           [&](const Arrival& arrival) { return arrival.path == path; });
    });
}

void ConsentPages::record(const httplib::Request& request) {
    {
        const std::lock_guard lock(m_mutex);
        m_arrivals.push_back({request.path, request.get_header_value("Cookie")});
    }
    m_arrived.notify_all();
}

} // namespace SelvorConsent
