#pragma once

#include <stdexcept>
#include <string>

namespace Selvor {

// A body that is not JSON, or not JSON of the expected shape. what() says where and why.
class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace Selvor
