#pragma once

#include <QString>

#include <exception>

namespace Selvor {

// The user-facing text of whatever a request, sleep or file operation threw: the exact
// description of the service's and the network's errors, else the exception's message.
QString errorText(const std::exception_ptr& error);

} // namespace Selvor
