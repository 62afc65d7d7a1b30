#pragma once

#include "SelvorTokenKit/Bytes.hpp"
#include "SelvorTokenKit/KaltorDriver.hpp"
#include "SelvorTokenKit/TokenError.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace SelvorTokenKit::Testing {

inline const Bytes defaultTransportKey(KaltorDriver::defaultTransportKey.begin(),
                                       KaltorDriver::defaultTransportKey.end());

// The kind of TokenError the action throws; fails the test when it throws none.
inline TokenError::Kind thrownKind(const std::function<void()>& action) {
    try {
        action();
    } catch (const TokenError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no TokenError";
    return TokenError::Kind::transmitFailed;
}

} // namespace SelvorTokenKit::Testing
