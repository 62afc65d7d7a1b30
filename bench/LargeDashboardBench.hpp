#pragma once

// The 100,000-session dashboard from the simulator over loopback HTTP: fetched and decoded
// through APIClient, and fetched alone through a bare QNetworkAccessManager; prints both medians.
void runLargeDashboardBench();
