#pragma once

#include <QCoroTask>

#include <chrono>

namespace Selvor {

class Cancellation;

// Waits on the event loop for the given time. Ends early with CancelledError when the
// cancellation fires (or has fired already); a null cancellation never cancels.
QCoro::Task<> sleepFor(std::chrono::milliseconds duration, Cancellation* cancellation = nullptr);

} // namespace Selvor
