#pragma once

// GET round trips to the simulator through APIClient and through a bare QNetworkAccessManager,
// interleaved in one run; prints both medians and the client's overhead.
void runRoundTripBench();
