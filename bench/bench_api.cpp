// Service API figures: decoding a large dashboard, fetching one from the simulator, and the
// client's cost over a plain request.
#include "DashboardDecodeBench.hpp"
#include "LargeDashboardBench.hpp"
#include "RoundTripBench.hpp"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Caught here so that the stack unwinds and every simulator a bench started is stopped.
    try {
        runDashboardDecodeBench();
        runLargeDashboardBench();
        runRoundTripBench();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_api: %s\n", error.what());
        return 1;
    }
    return 0;
}
