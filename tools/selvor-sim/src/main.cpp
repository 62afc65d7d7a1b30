#include "Options.hpp"
#include "Simulator.hpp"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    SelvorSim::Options options;
    try {
        options = SelvorSim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "selvor-sim: " << error.what() << '\n' << SelvorSim::usage();
        return 2;
    }
    // A dropped connection must not kill the server when it writes to the closed socket.
    std::signal(SIGPIPE, SIG_IGN);
    // A test that crashes never stops its simulator; the kernel does, once the test is gone.
    if (options.parentPid) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != *options.parentPid)
            return 1;
    }

    SelvorSim::Simulator simulator(std::move(options));
    const int port = simulator.bind();
    if (port < 0) {
        std::cerr << "selvor-sim: cannot listen on 127.0.0.1\n";
        return 1;
    }
    // Callers read the port from the first line and the control token from the second.
    std::cout << port << '\n' << simulator.controlToken() << std::endl;
    std::cerr << "selvor-sim: serving http://127.0.0.1:" << port << " (phone page: /phone)\n";
    return simulator.listen() ? 0 : 1;
}
