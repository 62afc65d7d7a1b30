#pragma once

#include "SimContext.hpp"

#include <httplib.h>

namespace SelvorSim {

// The service, the phone and the cloud providers on one loopback HTTP server.
class Simulator {
public:
    explicit Simulator(Options options);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& controlToken() const { return m_context.controlToken; }

    // Binds 127.0.0.1 on the configured port (0: any free port); returns the port or -1.
    int bind();
    // Serves until the process ends.
    bool listen();

private:
    void onDecision(const PhoneRequest& request);

    SimContext m_context;
    httplib::Server m_server;
};

} // namespace SelvorSim
