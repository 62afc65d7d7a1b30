#pragma once

#include <optional>

namespace Selvor {

// Answers --help and --version on standard output, before any window or the single-instance
// socket: returns the exit code, or nothing when the command line is for the window (no
// arguments, or a "selvorlogin:" URL). Arguments it does not know, Qt's own among them, are
// left for the application.
[[nodiscard]] std::optional<int> answerCommandLine(int argc, char* argv[]);

} // namespace Selvor
