// Service API figures: decoding a large dashboard, and the client's cost over a plain request.
#include "DashboardDecodeBench.hpp"

int main() {
    runDashboardDecodeBench();
    return 0;
}
