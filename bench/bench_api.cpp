// Service API figures: decoding a large dashboard, and the client's cost over a plain request.
#include "DashboardDecodeBench.hpp"
#include "RoundTripBench.hpp"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    runDashboardDecodeBench();
    runRoundTripBench();
    return 0;
}
