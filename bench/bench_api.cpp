// Service API figures: decoding a large dashboard, fetching one from the simulator, and the
// client's cost over a plain request.
#include "DashboardDecodeBench.hpp"
#include "LargeDashboardBench.hpp"
#include "RoundTripBench.hpp"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    runDashboardDecodeBench();
    runLargeDashboardBench();
    runRoundTripBench();
    return 0;
}
