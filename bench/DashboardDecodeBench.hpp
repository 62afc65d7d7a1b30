#pragma once

// Decodes a dashboard answer with 10,000 sessions and prints the time taken.
void runDashboardDecodeBench();
