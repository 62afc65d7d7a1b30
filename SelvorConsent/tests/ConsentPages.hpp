#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace SelvorConsent {

// The pages the consent tests open, served over loopback on a free port while the object lives.
//   /redirect  answers 302 to `callback`
//   /script    a page whose script sets window.location.href to `scriptCallback`
//   /still     a page with a focused text field that never leaves; once loaded it asks for
//              /still-loaded
// /redirect and /script set a cookie that would last a day.
class ConsentPages {
public:
    static constexpr const char* callback =
        "selvorlogin://cloud/callback?state=x&code=abc&code=def";
    static constexpr const char* scriptCallback =
        "selvorlogin://cloud/callback?state=x%2Fy%20z&code=%D0%B0%D0%B1";

    ConsentPages();
    ~ConsentPages();
    ConsentPages(const ConsentPages&) = delete;
    ConsentPages& operator=(const ConsentPages&) = delete;

    [[nodiscard]] std::string url(const std::string& path) const;
    // The Cookie header of each request for `path` so far ("" when none), in order of arrival.
    [[nodiscard]] std::vector<std::string> cookiesSentFor(const std::string& path) const;
    // Waits until a request for `path` has arrived; false when none came in time.
    bool waitForRequest(const std::string& path, std::chrono::seconds timeout);

private:
    void record(const httplib::Request& request);

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    struct Arrival {
        std::string path;
        std::string cookie;
    };
    std::vector<Arrival> m_arrivals;
};

} // namespace SelvorConsent
