#pragma once

namespace Selvor {

// Starts Selvor: hands a "selvorlogin:" argument to an already running instance and returns,
// or opens the window and runs until it closes. Returns the process exit code.
int runApplication(int argc, char* argv[]);

} // namespace Selvor
