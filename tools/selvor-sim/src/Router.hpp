#pragma once

#include "Faults.hpp"
#include "RequestLog.hpp"

#include <httplib.h>

#include <string>

namespace SelvorSim {

// httplib 0.11 waits for a body until its read timeout when a POST or DELETE carries neither
// Content-Length nor Transfer-Encoding, then answers 400; HTTP/1.1 says such a request has no
// body. Handlers registered through this read the body only when one is announced.
httplib::Server::HandlerWithContentReader withOptionalBody(httplib::Server::Handler handler);

// Registers the routes that the client under test talks to. Every request through them is
// logged and passes the fault table before its handler runs; control routes bypass both.
class Router {
public:
    Router(httplib::Server& server, RequestLog& log, Faults& faults);

    void get(const std::string& pattern, httplib::Server::Handler handler);
    void post(const std::string& pattern, httplib::Server::Handler handler);
    void del(const std::string& pattern, httplib::Server::Handler handler);

private:
    httplib::Server::Handler wrap(httplib::Server::Handler handler);

    httplib::Server& m_server;
    RequestLog& m_log;
    Faults& m_faults;
};

} // namespace SelvorSim
