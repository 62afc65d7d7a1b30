#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace SelvorTokenKit {

// A failure reported by the smart-card service, passed on unchanged (not a TokenError).
class PcscError : public std::runtime_error {
public:
    PcscError(const std::string& operation, std::int64_t code);

    [[nodiscard]] std::int64_t code() const noexcept { return m_code; }
    // The call that failed, e.g. "SCardTransmit".
    [[nodiscard]] const std::string& operation() const noexcept { return m_operation; }
    // The service's own description of the failure, e.g. "Card was removed.".
    [[nodiscard]] std::string errorDescription() const { return what(); }

private:
    std::string m_operation;
    std::int64_t m_code;
};

} // namespace SelvorTokenKit
