#pragma once

#include <exception>
#include <string>

namespace Selvor {

// A request or sleep ended because its Cancellation was cancelled.
class CancelledError : public std::exception {
public:
    [[nodiscard]] std::string errorDescription() const { return "Үйлдэл цуцлагдлаа."; }
    [[nodiscard]] const char* what() const noexcept override { return "cancelled"; }
};

} // namespace Selvor
